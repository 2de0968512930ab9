#pragma once
// The main window: three tabs hosting the editor pages, the port menu, the About/help menu, the
// handler that takes the phone's replies, and the settings file at start and exit.
#include "app/card_reader_list.h"
#include "app/exchange_aware_report.h"
#include "app/serial_port_list.h"
#include "backup/backup_folder.h"
#include "card/card_access.h"
#include "exchange/exchange_context.h"
#include "exchange/exchange_lock.h"
#include "exchange/phone_port.h"
#include "phone/phone_access.h"
#include "phone/shared_state.h"
#include "serial/AfComPort.h"
#include "sim/chosen_access.h"
#include "widgets/dialog_prompts.h"
#include "widgets/page_context.h"

#include <functional>
#include <memory>
#include <QMainWindow>
#include <QTimer>

namespace Ui {
class TForm1;
}
class BackupMenu;
class ErrorReport;
class PortMenu;
class ReaderMenu;
class QAction;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class UserDialogs;
namespace platform {
class Pause;
}

struct MainWindowEnvironment {
    std::string settingsDirectory; // setting.ini, the dosdevices links and the backups' folder
    UserDialogs& dialogs;
    ErrorReport& errors;
    platform::Pause& pause;
    TAfSafeSync& delivery;
    const SerialPortList* serialPorts = nullptr; // none: the machine's own
    const CardReaderList* cardReaders = nullptr; // none: the machine's own
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(MainWindowEnvironment environment, QWidget* parent = nullptr);
    ~TForm1() override;

    SharedState& shared() { return m_shared; }
    TAfComPort& AfComPort1() { return m_line.port(); }
    TForm5& configurationPage() { return *m_form5; }
    TForm6& numbersPage() { return *m_form6; }
    TForm4& smsPage() { return *m_form4; }
    TForm2& aboutWindow() { return *m_form2; }
    TForm3& helpWindow() { return *m_form3; }
    QAction& portItem(int portNumber) const;
    const BackupFolder& backups() const { return m_backups; }
    // Into its page, as a load of that file from the page; the page is shown.
    void loadBackup(const BackupFile& backup);

    // The port menu's handlers (COM11Click .. COM61Click): close, choose, open, check the item.
    void choosePort(int portNumber);
    // The same for a device item, or a device path remembered in the settings file.
    void chooseDevice(const std::string& path);
    // A card reader: the port is closed, and the exchanges go to the card in that reader.
    void chooseReader(const std::string& reader);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void embedPage(QWidget& page, QWidget& tab);
    void centreOnDesktop();
    void connectMenu();
    void Smazni_oznaceni();
    void portLost();
    const SerialPortList& serialPorts() const;
    const CardReaderList& cardReaders() const;
    // The exchanges go to the phone on the port again.
    void usePhone();
    void closeOnceIdle(bool exchangeRunning);
    void NactiIni();
    void UlozIni();
    void Oaplikaci2Click();
    void N8pov2da1Click();
    void SlozkaZaloh1Click();

    const std::unique_ptr<Ui::TForm1> m_ui;
    MainWindowEnvironment m_environment;
    SharedState m_shared;
    ExchangeLock m_exchanges;
    PhonePort m_line;
    bool m_closeWhenIdle = false;
    DialogPrompts m_prompts;
    PhoneAccess m_phone;
    std::unique_ptr<card::CardAccess> m_card;
    ChosenAccess m_access{m_phone};
    ExchangeContext m_exchangeContext;
    BackupFolder m_backups;
    PageContext m_pageContext;
    TForm5* m_form5 = nullptr;
    TForm4* m_form4 = nullptr;
    TForm6* m_form6 = nullptr;
    TForm2* m_form2 = nullptr;
    TForm3* m_form3 = nullptr;
    SystemSerialPorts m_systemPorts;
    SystemCardReaders m_systemReaders;
    PortMenu* m_portMenu = nullptr;     // owned by the Port menu
    ReaderMenu* m_readerMenu = nullptr; // owned by the Port menu
    BackupMenu* m_backupMenu = nullptr; // owned by the Backups menu
    ExchangeAwareReport m_portLossReport{m_exchanges, m_environment.errors};
};
