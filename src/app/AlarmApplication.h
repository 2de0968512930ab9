#pragma once
// The Qt application whose event dispatch reports every error that escapes a handler, so that no
// handler needs a catch of its own; the program then goes on.
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
