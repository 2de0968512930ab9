#pragma once
// The Qt application whose event dispatch reports every error that escapes a handler; the program
// then goes on. It catches above Qt's own frames, and Qt Gui and Widgets, built without exception
// support, skip their clean-ups when an error passes through them: a handler behind a click or a
// menu item reports its errors itself.
#include <QApplication>

class ErrorReport;

class AlarmApplication : public QApplication {
public:
    AlarmApplication(int& argc, char** argv);
    void setErrorReport(ErrorReport* report) { m_report = report; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    ErrorReport* m_report = nullptr;
};
