#pragma once
// Message boxes and file dialogs behind one small interface, so tests can script the answers.
#include <optional>
#include <QString>

class QWidget;

struct FileDialogSpec {
    QString filterDescription; // e.g. "par"
    QString filterPattern;     // e.g. "*.par"
    QString defaultExtension;  // added to a name typed without one
};

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    virtual void error(const QString& text) = 0;    // "Error" box with OK
    virtual void warning(const QString& text) = 0;  // "Warning" box with OK
    virtual bool askYesNo(const QString& text) = 0; // "Warning" box with Yes and No; true for Yes
    // The application's error report: title as caption, stop icon, OK.
    virtual void reportFailure(const QString& title, const QString& text) = 0;

    // Full path chosen, or nothing when the user cancels.
    virtual std::optional<QString> saveFileName(const FileDialogSpec& spec) = 0;
    virtual std::optional<QString> openFileName(const FileDialogSpec& spec) = 0;
    // The SIM's PIN, typed hidden; nothing when the user cancels.
    virtual std::optional<QString> askPin(const QString& text) = 0;
};

// The real dialogs, parented to the given window.
class QtUserDialogs final : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void error(const QString& text) override;
    void warning(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void reportFailure(const QString& title, const QString& text) override;
    std::optional<QString> saveFileName(const FileDialogSpec& spec) override;
    std::optional<QString> openFileName(const FileDialogSpec& spec) override;
    std::optional<QString> askPin(const QString& text) override;

private:
    QWidget* m_parent;
};

// "Soubor <path> již existuje, chcete jej přepsat ?"
QString overwriteQuestion(const QString& path);

// The path with ".ext" added when its file name has no extension.
QString withDefaultExtension(const QString& path, const QString& extension);
