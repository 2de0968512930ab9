#include "app/alarm1.h"

#include "app/backup_menu.h"
#include "app/error_report.h"
#include "app/port_menu.h"
#include "app/reader_menu.h"
#include "app/settings_file.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "backup/backup_texts.h"
#include "config/Unit5.h"
#include "numbers/Unit6.h"
#include "platform/com_names.h"
#include "platform/device_paths.h"
#include "sms/Unit4.h"
#include "ui_alarm1.h"
#include "widgets/user_dialogs.h"

#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace {

constexpr int kPortCount = 6;

QString backupFolderOf(const std::string& settingsDirectory) {
    return QDir(QString::fromStdString(settingsDirectory)).filePath(QStringLiteral("zalohy"));
}

} // namespace

TForm1::TForm1(MainWindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()), m_environment(std::move(environment)),
      m_line(
          m_environment.delivery,
          [directory = m_environment.settingsDirectory](int portNumber) {
              return platform::comDevicePath(directory, portNumber);
          },
          m_shared, m_exchanges),
      m_prompts(m_environment.dialogs), m_phone(m_line, m_shared, m_environment.pause, m_prompts),
      m_exchangeContext{m_access, m_shared, m_prompts, m_environment.pause, m_exchanges},
      m_backups(backupFolderOf(m_environment.settingsDirectory)),
      m_pageContext{m_exchangeContext, m_environment.dialogs, m_environment.errors, m_backups} {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    AfComPort1().OnDeviceLost = [this](TAfComPort&) { portLost(); };
    // The hourglass while a port opens.
    AfComPort1().OnOpenWait = [](bool waiting) {
        if (waiting)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QGuiApplication::restoreOverrideCursor();
    };
    connect(&m_exchanges, &ExchangeLock::busyChanged, this, &TForm1::closeOnceIdle);
    connectMenu();
    FormCreate();
    m_form2 = new TForm2(this);
    m_form3 = new TForm3(this);
    centreOnDesktop();
}

// The pages hold references into this window; they go before its members do.
TForm1::~TForm1() {
    AfComPort1().Close();
    delete m_form2;
    delete m_form3;
    delete m_form4;
    delete m_form5;
    delete m_form6;
}

QAction& TForm1::portItem(int portNumber) const {
    QAction* const items[kPortCount] = {m_ui->COM11, m_ui->COM21, m_ui->COM31,
                                        m_ui->COM41, m_ui->COM51, m_ui->COM61};
    return *items[portNumber - 1];
}

void TForm1::connectMenu() {
    QList<QAction*> comItems;
    for (int n = 1; n <= kPortCount; ++n) {
        QAction* item = &portItem(n);
        comItems << item;
        connect(item, &QAction::triggered, this, [this, item, n] {
            // The check marks follow successful opens only, not the click itself.
            item->setChecked(!item->isChecked());
            m_environment.errors.guard([this, n] { choosePort(n); });
        });
    }
    m_portMenu = new PortMenu(
        *m_ui->Port1, comItems,
        [directory = m_environment.settingsDirectory](int portNumber) {
            return platform::deviceTarget(platform::comDevicePath(directory, portNumber));
        },
        serialPorts(),
        [this](const std::string& path) {
            m_environment.errors.guard([this, &path] { chooseDevice(path); });
        });
    m_readerMenu = new ReaderMenu(
        *m_ui->Port1, cardReaders(), [this](const std::string& reader) { chooseReader(reader); },
        [this](const std::string& why) { m_environment.dialogs.warning(QString::fromStdString(why)); });
    std::vector<std::unique_ptr<AlarmSet>> sets;
    sets.push_back(configurationSet());
    sets.push_back(numbersSet());
    sets.push_back(messagesSet({})); // the centre is no part of what a backup's entry shows
    m_backupMenu =
        new BackupMenu(*m_ui->Zalohy1, m_backups, std::move(sets), [this](const BackupFile& backup) {
            m_environment.errors.guard([this, &backup] { loadBackup(backup); });
        });
    connect(m_ui->SlozkaZaloh1, &QAction::triggered, this, &TForm1::SlozkaZaloh1Click);
    connect(m_ui->Oaplikaci2, &QAction::triggered, this, &TForm1::Oaplikaci2Click);
    connect(m_ui->N8pov2da1, &QAction::triggered, this, &TForm1::N8pov2da1Click);
}

void TForm1::FormCreate() {
    m_form5 = new TForm5(m_pageContext, this);
    m_form4 = new TForm4(m_pageContext, this);
    m_form6 = new TForm6(m_pageContext, this);
    embedPage(*m_form5, *m_ui->TabSheet1);
    embedPage(*m_form6, *m_ui->TabSheet2);
    embedPage(*m_form4, *m_ui->TabSheet3);
    NactiIni();
}

void TForm1::centreOnDesktop() {
    adjustSize();
    if (const QScreen* desktop = QGuiApplication::primaryScreen())
        move(desktop->availableGeometry().center() - rect().center());
}

void TForm1::embedPage(QWidget& page, QWidget& tab) {
    auto* fill = new QVBoxLayout(&tab);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(&page);
    page.setVisible(true);
}

void TForm1::choosePort(int portNumber) {
    usePhone();
    AfComPort1().Close();
    AfComPort1().setDevicePath({});
    AfComPort1().setComNumber(static_cast<std::uint16_t>(portNumber));
    AfComPort1().Open();
    Smazni_oznaceni();
    portItem(portNumber).setChecked(true);
}

void TForm1::chooseDevice(const std::string& path) {
    usePhone();
    AfComPort1().Close();
    AfComPort1().setDevicePath(path);
    AfComPort1().Open();
    Smazni_oznaceni();
    m_portMenu->checkDevice(path);
}

// The card is opened for each exchange, so choosing its reader needs no card yet.
void TForm1::chooseReader(const std::string& reader) {
    AfComPort1().Close();
    Smazni_oznaceni();
    m_card = std::make_unique<card::CardAccess>(reader, m_environment.pause, m_prompts,
                                                card::CardAccess::Hold::EachExchange, true);
    m_access.choose(*m_card);
    m_readerMenu->checkReader(reader);
}

void TForm1::usePhone() {
    m_access.choose(m_phone);
    m_card.reset();
    m_readerMenu->checkReader({});
}

void TForm1::Smazni_oznaceni() {
    for (int n = 1; n <= kPortCount; ++n)
        portItem(n).setChecked(false);
    m_portMenu->clearDeviceCheck();
}

// The device went away under the open port (a cable pulled out). The engine keeps saying so until
// the port is closed; once closed, the user hears of it once.
void TForm1::portLost() {
    if (!AfComPort1().IsOpen())
        return;
    const std::string name = AfComPort1().DevicePath().empty()
                                 ? "COM" + std::to_string(AfComPort1().ComNumber())
                                 : platform::deviceName(AfComPort1().DevicePath());
    AfComPort1().Close();
    Smazni_oznaceni();
    m_portLossReport.report("Port " + name + " byl odpojen.");
}

const SerialPortList& TForm1::serialPorts() const {
    if (m_environment.serialPorts)
        return *m_environment.serialPorts;
    return m_systemPorts;
}

const CardReaderList& TForm1::cardReaders() const {
    if (m_environment.cardReaders)
        return *m_environment.cardReaders;
    return m_systemReaders;
}

// Both lines are read before the port is opened: a port that fails to open must not cost the
// user's SMS-centre number (it would be written back empty at exit and replaced by the default).
void TForm1::NactiIni() {
    StoredSettings settings;
    try {
        settings = SettingsFile(m_environment.settingsDirectory).read();
    } catch (const std::exception& error) {
        m_environment.errors.report(error);
        return;
    }
    m_shared.SmscNumber = settings.smscNumber;
    m_environment.errors.guard([this, &settings] {
        if (!settings.cardReader.empty())
            chooseReader(settings.cardReader);
        else if (!settings.devicePath.empty())
            chooseDevice(settings.devicePath);
        else if (settings.portNumber != 0)
            choosePort(settings.portNumber);
    });
}

void TForm1::UlozIni() {
    StoredSettings settings{0, m_portMenu->checkedDevice(), m_shared.SmscNumber, m_readerMenu->checkedReader()};
    for (int n = kPortCount; n >= 1 && settings.portNumber == 0; --n)
        if (portItem(n).isChecked())
            settings.portNumber = n;
    SettingsFile(m_environment.settingsDirectory).write(settings);
}

// The program always closes: a settings file that cannot be written is reported, then the
// window goes all the same. A running exchange is let finish first, so the SIM is never left half
// written and the port and the exchange lock are never left in between.
void TForm1::closeEvent(QCloseEvent* event) {
    if (m_exchanges.busy()) {
        m_closeWhenIdle = true;
        event->ignore();
        return;
    }
    m_line.Close();
    m_environment.errors.guard([this] { UlozIni(); });
    m_form2->hide();
    m_form3->hide();
    event->accept();
}

void TForm1::closeOnceIdle(bool exchangeRunning) {
    if (!exchangeRunning && std::exchange(m_closeWhenIdle, false))
        QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::Oaplikaci2Click() {
    m_form2->showCentred();
}

void TForm1::N8pov2da1Click() {
    m_form3->showCentred();
}

void TForm1::loadBackup(const BackupFile& backup) {
    const QString extension = QString::fromStdString(backup.extension);
    if (extension == m_form5->OpenDialog1.defaultExtension) {
        m_form5->loadFile(backup.path);
        m_ui->PageControl1->setCurrentWidget(m_ui->TabSheet1);
    } else if (extension == m_form6->OpenDialog1.defaultExtension) {
        m_form6->loadFile(backup.path);
        m_ui->PageControl1->setCurrentWidget(m_ui->TabSheet2);
    } else if (extension == m_form4->OpenDialog1.defaultExtension) {
        m_form4->loadFile(backup.path);
        m_ui->PageControl1->setCurrentWidget(m_ui->TabSheet3);
    }
}

// Made when missing, so the folder opens before the first backup too.
void TForm1::SlozkaZaloh1Click() {
    const QString& folder = m_backups.path();
    if (!QDir().mkpath(folder))
        m_environment.dialogs.error(QString::fromUtf8(backup_texts::kNoFolder).arg(folder));
    else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        m_environment.dialogs.error(
            QString::fromUtf8("Složku %1 nelze otevřít ve správci souborů.").arg(folder));
}
