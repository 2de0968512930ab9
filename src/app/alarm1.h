#pragma once
// The main window: three tabs hosting the editor pages, the port menu, the About/help menu.
#include "phone/exchange_lock.h"
#include "phone/page_context.h"
#include "phone/port_link.h"
#include "phone/shared_state.h"

#include <QMainWindow>
#include <memory>

namespace Ui {
class TForm1;
}
class TForm4;
class TForm5;
class TForm6;
class UserDialogs;
namespace platform {
class Pause;
}

struct MainWindowEnvironment {
    std::string settingsDirectory; // setting.ini and the dosdevices links
    UserDialogs& dialogs;
    platform::Pause& pause;
};

class TForm1 : public QMainWindow, private PortLink {
    Q_OBJECT
public:
    explicit TForm1(MainWindowEnvironment environment, QWidget* parent = nullptr);
    ~TForm1() override;

    SharedState& shared() { return m_shared; }
    TForm5& configurationPage() { return *m_form5; }
    TForm6& numbersPage() { return *m_form6; }
    TForm4& smsPage() { return *m_form4; }

private:
    bool IsOpen() const override;
    void SendText(const std::string& text) override;

    void FormCreate();
    void embedPage(QWidget& page, QWidget& tab);

    const std::unique_ptr<Ui::TForm1> m_ui;
    MainWindowEnvironment m_environment;
    SharedState m_shared;
    ExchangeLock m_exchanges;
    PageContext m_pageContext;
    TForm5* m_form5 = nullptr;
    TForm4* m_form4 = nullptr;
    TForm6* m_form6 = nullptr;
};
