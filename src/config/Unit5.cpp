#include "config/Unit5.h"

#include "app/error_report.h"
#include "backup/backed_up_write.h"
#include "exchange/exchange_lock.h"
#include "phone/phone_messages.h"
#include "phone/shared_state.h"
#include "platform/cp1250.h"
#include "ui_Unit5.h"
#include "widgets/page_files.h"
#include "widgets/phone_buttons.h"

#include <utility>

using setup_codes::Option;
using setup_codes::TimeDigit;

namespace {

// The ticks hand the exchange from the click to the event loop; the phone's answers, not the clock,
// pace it from there.
constexpr int kTickMs = 0;

const std::string kModeProbe = "test_komunikace";
const std::string kModeWriting = "prvni_konfigurak";

constexpr std::int32_t kStepProbe = 0;

constexpr Option kResetOrder[] = {Option::Authentication, Option::Relay2Pulse,   Option::RepeatCall,
                                  Option::AlarmSms,       Option::CreditKeeping, Option::TwoControlNumbers,
                                  Option::OptocouplerTest};

QString fromCp1250(const std::string& text) {
    return QString::fromStdU16String(platform::cp1250ToUtf16(text));
}

std::string toCp1250(const QString& text) {
    return platform::utf16ToCp1250(text.toStdU16String());
}

} // namespace

TForm5::TForm5(PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_ui(std::make_unique<Ui::TForm5>()), Timer1(this), Timer2(this),
      m_runner(context.exchange, this, [this] { endExchange(); }) {
    m_ui->setupUi(this);
    applyFonts();
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kTickMs);
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(kTickMs);
    m_view = std::make_unique<ExchangeView>(
        *m_ui->VrLabel1, *m_ui->Gauge1,
        QList<QAbstractButton*>{m_ui->BitBtn1, m_ui->Button1, m_ui->BitBtn3, m_ui->BitBtn4, m_ui->BitBtn2});
    greyWhileExchanging(m_context.exchange.exchanges, *m_ui->BitBtn3);
    greyWhileExchanging(m_context.exchange.exchanges, *m_ui->Button1);
    connectControls();
    FormCreate();
}

// A page that goes while its exchange runs must not leave the phone locked for the others.
TForm5::~TForm5() {
    m_context.exchange.exchanges.release(this);
}

// The designer's fonts are given in pixels, which the .ui format cannot hold.
void TForm5::applyFonts() {
    QFont page = font();
    page.setPixelSize(11);
    setFont(page);

    QFont plus = page;
    plus.setBold(true);
    m_ui->Label2->setFont(plus);
    m_ui->Label5->setFont(plus);

    QFont codes = page;
    codes.setPixelSize(18);
    codes.setBold(true);
    QPalette red = m_ui->StaticText1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    red.setColor(QPalette::Text, Qt::red);
    for (QLineEdit* code : {m_ui->StaticText1, m_ui->StaticText2}) {
        code->setFont(codes);
        code->setPalette(red);
    }

    QFont busy(QStringLiteral("Arial"));
    busy.setPixelSize(13);
    busy.setBold(true);
    m_ui->VrLabel1->setFont(busy);
    m_ui->VrLabel1->setPalette(red);
}

void TForm5::connectControls() {
    using Handler = void (TForm5::*)();
    const std::pair<QRadioButton*, Handler> choices[] = {
        {m_ui->RadioButton1, &TForm5::RadioButton1Click},
        {m_ui->RadioButton2, &TForm5::RadioButton2Click},
        {m_ui->RadioButton3, &TForm5::RadioButton3Click},
        {m_ui->RadioButton4, &TForm5::RadioButton4Click},
        {m_ui->RadioButton5, &TForm5::RadioButton5Click},
        {m_ui->RadioButton6, &TForm5::RadioButton6Click},
        {m_ui->RadioButton7, &TForm5::RadioButton7Click},
        {m_ui->RadioButton8, &TForm5::RadioButton8Click},
        {m_ui->RadioButton9, &TForm5::RadioButton9Click},
        {m_ui->RadioButton10, &TForm5::RadioButton10Click},
        {m_ui->RadioButton11, &TForm5::RadioButton11Click},
        {m_ui->RadioButton12, &TForm5::RadioButton12Click},
        {m_ui->RadioButton13, &TForm5::RadioButton13Click},
        {m_ui->RadioButton14, &TForm5::RadioButton14Click},
    };
    // A choice counts when it becomes selected, by the user, the reset or a decode alike.
    for (const auto& [button, handler] : choices)
        connect(button, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });

    // Only the user's pick: the reset and the decodes select items without rebuilding the code.
    connect(m_ui->ComboBox1, &QComboBox::activated, this, &TForm5::ComboBox1Change);
    connect(m_ui->ComboBox2, &QComboBox::activated, this, &TForm5::ComboBox2Change);
    connect(m_ui->ComboBox3, &QComboBox::activated, this, &TForm5::ComboBox3Change);
    connect(m_ui->ComboBox4, &QComboBox::activated, this, &TForm5::ComboBox4Change);

    connectReported(m_ui->BitBtn1, &QPushButton::clicked, this, &TForm5::BitBtn1Click, m_context.errors);
    connectReported(m_ui->BitBtn2, &QPushButton::clicked, this, &TForm5::BitBtn2Click, m_context.errors);
    connectReported(m_ui->BitBtn3, &QPushButton::clicked, this, &TForm5::BitBtn3Click, m_context.errors);
    connectReported(m_ui->BitBtn4, &QPushButton::clicked, this, &TForm5::BitBtn4Click, m_context.errors);
    connectReported(m_ui->Button1, &QPushButton::clicked, this, &TForm5::Button1Click, m_context.errors);
    connectReported(&Timer1, &QTimer::timeout, this, &TForm5::Timer1Timer, m_context.errors);
    connectReported(&Timer2, &QTimer::timeout, this, &TForm5::Timer2Timer, m_context.errors);
}

// The "0" choice of every group is selected in the designer already.
void TForm5::FormCreate() {
    m_options.fill('0');
    aktualizace();
    m_times.fill('0');
    aktualizace1();
    for (auto* list : {m_ui->ComboBox1, m_ui->ComboBox2, m_ui->ComboBox3, m_ui->ComboBox4})
        list->setCurrentIndex(0);
}

std::string TForm5::staticText1() const {
    return toCp1250(m_ui->StaticText1->text());
}

std::string TForm5::staticText2() const {
    return toCp1250(m_ui->StaticText2->text());
}

void TForm5::setStaticText1(const std::string& text) {
    m_ui->StaticText1->setText(fromCp1250(text));
}

void TForm5::setStaticText2(const std::string& text) {
    m_ui->StaticText2->setText(fromCp1250(text));
}

void TForm5::aktualizace() {
    setStaticText1(setup_codes::encodeSetupCode(m_options));
}

void TForm5::aktualizace1() {
    setStaticText2(setup_codes::encodeCasyCode(m_times));
}

QRadioButton& TForm5::onChoice(Option option) const {
    QRadioButton* const choices[] = {m_ui->RadioButton1, m_ui->RadioButton4,  m_ui->RadioButton6,
                                     m_ui->RadioButton8, m_ui->RadioButton10, m_ui->RadioButton12,
                                     m_ui->RadioButton14};
    return *choices[std::size_t(option)];
}

QRadioButton& TForm5::offChoice(Option option) const {
    QRadioButton* const choices[] = {m_ui->RadioButton2, m_ui->RadioButton3, m_ui->RadioButton5,
                                     m_ui->RadioButton7, m_ui->RadioButton9, m_ui->RadioButton11,
                                     m_ui->RadioButton13};
    return *choices[std::size_t(option)];
}

QComboBox& TForm5::timeList(TimeDigit digit) const {
    QComboBox* const lists[] = {m_ui->ComboBox1, m_ui->ComboBox2, m_ui->ComboBox3, m_ui->ComboBox4};
    return *lists[std::size_t(digit)];
}

void TForm5::setOption(Option option, char character) {
    m_options[std::size_t(option)] = character;
    aktualizace();
}

void TForm5::setTimeDigit(TimeDigit digit, char character) {
    m_times[std::size_t(digit)] = character;
}

// Taken by value: selecting a choice rebuilds the display the code may have come from.
void TForm5::Nastaveni_checku(std::string setupCode) {
    setup_codes::decodeSetupCode(setupCode, [this](Option option) { onChoice(option).setChecked(true); });
}

void TForm5::Nastaveni_casu(std::string casyCode) {
    setup_codes::decodeCasyCode(casyCode, [this](TimeDigit digit, int index, char character) {
        timeList(digit).setCurrentIndex(index);
        setTimeDigit(digit, character);
    });
}

void TForm5::Smaz_nastaveni() {
    for (const Option option : kResetOrder)
        offChoice(option).setChecked(true);
    m_options.fill('0');
    aktualizace();
    m_times.fill('0');
    aktualizace1();
    for (auto* list : {m_ui->ComboBox1, m_ui->ComboBox2, m_ui->ComboBox3, m_ui->ComboBox4})
        list->setCurrentIndex(0);
}

void TForm5::Zakaz_tlacitka() {
    m_view->setButtonsEnabled(false);
}

void TForm5::Povol_tlacitka() {
    m_view->setButtonsEnabled(true);
}

void TForm5::RadioButton1Click() {
    setOption(Option::Authentication, '1');
}
void TForm5::RadioButton2Click() {
    setOption(Option::Authentication, '0');
}
void TForm5::RadioButton3Click() {
    setOption(Option::Relay2Pulse, '0');
}
void TForm5::RadioButton4Click() {
    setOption(Option::Relay2Pulse, '1');
}
void TForm5::RadioButton5Click() {
    setOption(Option::RepeatCall, '0');
}
void TForm5::RadioButton6Click() {
    setOption(Option::RepeatCall, '1');
}
void TForm5::RadioButton7Click() {
    setOption(Option::AlarmSms, '0');
}
void TForm5::RadioButton8Click() {
    setOption(Option::AlarmSms, '1');
}
void TForm5::RadioButton9Click() {
    setOption(Option::CreditKeeping, '0');
}
void TForm5::RadioButton10Click() {
    setOption(Option::CreditKeeping, '1');
}
void TForm5::RadioButton11Click() {
    setOption(Option::TwoControlNumbers, '0');
}
void TForm5::RadioButton12Click() {
    setOption(Option::TwoControlNumbers, '1');
}
void TForm5::RadioButton13Click() {
    setOption(Option::OptocouplerTest, '0');
}
void TForm5::RadioButton14Click() {
    setOption(Option::OptocouplerTest, '1');
}

void TForm5::ComboBox1Change() {
    setTimeDigit(TimeDigit::DeactivationMinute, toCp1250(m_ui->ComboBox1->currentText()).at(0));
    aktualizace1();
}

void TForm5::ComboBox2Change() {
    setTimeDigit(TimeDigit::DeactivationTenSecond,
                 setup_codes::tenSecondDigit(toCp1250(m_ui->ComboBox2->currentText())));
    aktualizace1();
}

void TForm5::ComboBox3Change() {
    setTimeDigit(TimeDigit::AfterActivationMinute, toCp1250(m_ui->ComboBox3->currentText()).at(0));
    aktualizace1();
}

void TForm5::ComboBox4Change() {
    setTimeDigit(TimeDigit::AfterActivationTenSecond,
                 setup_codes::tenSecondDigit(toCp1250(m_ui->ComboBox4->currentText())));
    aktualizace1();
}

// Clears the page only; the phone keeps what it has.
void TForm5::BitBtn1Click() {
    Smaz_nastaveni();
}

void TForm5::BitBtn2Click() {
    saveLinesToChosenFile(m_context.dialogs, SaveDialog1, {staticText1(), staticText2()});
}

void TForm5::BitBtn4Click() {
    if (const auto chosen = m_context.dialogs.openFileName(OpenDialog1))
        loadFile(*chosen);
}

void TForm5::loadFile(const QString& path) {
    const auto lines = loadLines(path, 2);
    Smaz_nastaveni();
    setStaticText1(lines.at(0));
    setStaticText2(lines.at(1));
    Nastaveni_checku(staticText1());
    Nastaveni_casu(staticText2());
}

void TForm5::endExchange() {
    m_view->setBusyText(QString());
    m_view->hideGauge();
    Povol_tlacitka();
}

void TForm5::showBusy() {
    Zakaz_tlacitka();
    m_view->showBusy(QString::fromUtf8(phone_messages::kWorking));
}

TransferProgress TForm5::gauge() {
    return [this](int percent) { m_view->setProgress(percent); };
}

void TForm5::BitBtn3Click() {
    if (m_runner.start(Timer1))
        m_context.shared().ExchangeMode = kModeProbe;
}

// The write's only tick. Each entry goes once the SIM has confirmed the last; what it did not
// confirm is told.
void TForm5::Timer1Timer() {
    Timer1.stop();
    auto& shared = m_context.shared();
    if (shared.ExchangeMode != kModeProbe)
        return;
    const auto busy = [&] {
        showBusy();
        shared.ExchangeMode = kModeWriting;
    };
    m_runner.atTick(busy, [&](sim::Session& sim) {
        const TransferOutcome outcome = writeBackedUp(
            *configurationSet(), m_context.backups, m_context.exchange, sim, gauge(),
            [&](const TransferProgress& progress) {
                return configuration_transfer::write(sim, staticText1(), staticText2(), progress);
            });
        shared.ReplyBuffer.assign(1, ' ');
        return outcome;
    });
}

void TForm5::Button1Click() {
    if (m_runner.start(Timer2))
        m_context.shared().StepState = kStepProbe;
}

// Both positions are read before the page changes: a read that fails changes nothing, and an empty
// position leaves the page's own values for it.
void TForm5::Timer2Timer() {
    Timer2.stop();
    auto& shared = m_context.shared();
    if (shared.StepState != kStepProbe)
        return;
    m_runner.atTick([this] { showBusy(); },
                    [&](sim::Session& sim) {
                        const auto read = configuration_transfer::read(sim, shared.StepState, gauge());
                        if (read.outcome == TransferOutcome::Done)
                            showCodes(read.data);
                        return read.outcome;
                    });
}

void TForm5::showCodes(const configuration_transfer::StoredCodes& codes) {
    if (codes.setup) {
        // Options the stored code leaves at "0" must end up off, and the decode only switches on.
        Smaz_nastaveni();
        setStaticText1(*codes.setup);
        Nastaveni_checku(staticText1());
    }
    if (codes.casy) {
        setStaticText2(*codes.casy);
        Nastaveni_casu(staticText2());
    }
    configuration_transfer::tellMissing(codes, m_context.exchange.prompts);
}
