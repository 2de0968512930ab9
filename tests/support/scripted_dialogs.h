#pragma once
// A UserDialogs whose answers a test scripts in advance and whose boxes it can read afterwards.
#include "widgets/user_dialogs.h"

#include <deque>
#include <QStringList>

class ScriptedDialogs final : public UserDialogs {
public:
    struct Shown {
        QString kind; // "error", "warning", "question", "failure", "pin"
        QString text;
        QString title; // failure reports only
    };

    std::vector<Shown> shown;
    std::deque<bool> yesNoAnswers;                // default: No
    std::deque<std::optional<QString>> savePaths; // default: cancel
    std::deque<std::optional<QString>> openPaths; // default: cancel
    std::deque<std::optional<QString>> pins;      // default: cancel
    std::vector<FileDialogSpec> fileDialogs;

    void error(const QString& text) override { shown.push_back({"error", text, {}}); }
    void warning(const QString& text) override { shown.push_back({"warning", text, {}}); }
    bool askYesNo(const QString& text) override {
        shown.push_back({"question", text, {}});
        return take(yesNoAnswers, false);
    }
    void reportFailure(const QString& title, const QString& text) override {
        shown.push_back({"failure", text, title});
    }
    std::optional<QString> saveFileName(const FileDialogSpec& spec) override {
        fileDialogs.push_back(spec);
        auto path = take(savePaths, std::optional<QString>());
        return path ? std::optional(withDefaultExtension(*path, spec.defaultExtension)) : std::nullopt;
    }
    std::optional<QString> openFileName(const FileDialogSpec& spec) override {
        fileDialogs.push_back(spec);
        return take(openPaths, std::optional<QString>());
    }

    std::optional<QString> askPin(const QString& text) override {
        shown.push_back({"pin", text, {}});
        return take(pins, std::optional<QString>());
    }

    QStringList texts() const {
        QStringList result;
        for (const auto& box : shown)
            result << box.text;
        return result;
    }

private:
    template <typename T> static T take(std::deque<T>& queue, T fallback) {
        if (!queue.empty()) {
            fallback = std::move(queue.front());
            queue.pop_front();
        }
        return fallback;
    }
};
