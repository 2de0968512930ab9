#include "numbers/Unit6.h"

#include "app/error_report.h"
#include "backup/backed_up_write.h"
#include "exchange/exchange_lock.h"
#include "phone/phone_messages.h"
#include "phone/shared_state.h"
#include "ui_Unit6.h"
#include "widgets/page_files.h"
#include "widgets/phone_buttons.h"

#include <utility>

using number_list::kPositions;

namespace {

// The tick hands the exchange from the click to the event loop; the phone's answers, not the clock,
// pace it from there.
constexpr int kTickMs = 0;
constexpr int kTypedNumberLimit = 13;

constexpr std::int32_t kStepProbe = 0;
constexpr std::int32_t kStepWrite = 10;

} // namespace

TForm6::TForm6(PageContext& context, QWidget* parent)
    : QWidget(parent), m_context(context), m_ui(std::make_unique<Ui::TForm6>()), Timer2(this),
      m_runner(context.exchange, this, [this] { endExchange(); }) {
    m_ui->setupUi(this);
    applyLook();
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer2.setInterval(kTickMs);
    m_view = std::make_unique<ExchangeView>(
        *m_ui->VrLabel1, *m_ui->Gauge1,
        QList<QAbstractButton*>{m_ui->BitBtn1, m_ui->BitBtn3, m_ui->Button2, m_ui->Button1, m_ui->BitBtn2});
    greyWhileExchanging(m_context.exchange.exchanges, *m_ui->Button1);
    greyWhileExchanging(m_context.exchange.exchanges, *m_ui->Button2);
    connectControls();
}

// A page that goes while its exchange runs must not leave the phone locked for the others.
TForm6::~TForm6() {
    m_context.exchange.exchanges.release(this);
}

// The designer's fonts are given in pixels, which the .ui format cannot hold.
void TForm6::applyLook() {
    QFont page = font();
    page.setPixelSize(11);
    // The sans fonts here run wider than the designer's, and the texts must fit the given boxes.
    page.setStretch(QFont::Condensed);
    setFont(page);

    QFont heading = page;
    heading.setPixelSize(13);
    heading.setBold(true);
    m_ui->Label1->setFont(heading);
    m_ui->Label2->setFont(heading);

    QFont busy = heading;
    m_ui->VrLabel1->setFont(busy);
    QPalette red = m_ui->VrLabel1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_ui->VrLabel1->setPalette(red);

    for (int position = 1; position <= kPositions; ++position) {
        numberField(position).setTypedLimit(kTypedNumberLimit);
        for (VrStrEdit* field : {&numberField(position), &nameField(position)}) {
            QPalette silver = field->palette();
            silver.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
            field->setPalette(silver);
        }
    }

    // A line along the bottom of its box; the box overlaps the write button, which must stay clickable.
    m_ui->Bevel2->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_ui->Bevel2->setStyleSheet(
        QStringLiteral("QFrame#Bevel2 { border: none; border-bottom: 2px groove palette(mid); }"));
}

void TForm6::connectControls() {
    connectReported(m_ui->BitBtn1, &QPushButton::clicked, this, &TForm6::BitBtn1Click, m_context.errors);
    connectReported(m_ui->BitBtn2, &QPushButton::clicked, this, &TForm6::BitBtn2Click, m_context.errors);
    connectReported(m_ui->BitBtn3, &QPushButton::clicked, this, &TForm6::BitBtn3Click, m_context.errors);
    connectReported(m_ui->Button1, &QPushButton::clicked, this, &TForm6::Button1Click, m_context.errors);
    connectReported(m_ui->Button2, &QPushButton::clicked, this, &TForm6::Button2Click, m_context.errors);
    connectReported(&Timer2, &QTimer::timeout, this, &TForm6::Timer2Timer, m_context.errors);
}

VrStrEdit& TForm6::numberField(int position) const {
    return *fieldsInOrder().at(std::size_t(2 * (position - 1)));
}

VrStrEdit& TForm6::nameField(int position) const {
    return *fieldsInOrder().at(std::size_t(2 * (position - 1) + 1));
}

std::array<VrStrEdit*, 2 * kPositions> TForm6::fieldsInOrder() const {
    return {m_ui->VrStrEdit1, m_ui->VrStrEdit2, m_ui->VrStrEdit3, m_ui->VrStrEdit4,
            m_ui->VrStrEdit5, m_ui->VrStrEdit6, m_ui->VrStrEdit7, m_ui->VrStrEdit8};
}

void TForm6::clearFields() {
    for (VrStrEdit* field : fieldsInOrder())
        field->setText1250(std::string());
}

bool TForm6::Kontrola() const {
    std::array<std::string, kPositions> numbers;
    for (int position = 1; position <= kPositions; ++position)
        numbers[std::size_t(position - 1)] = numberField(position).text1250();
    return number_list::allNumbersAcceptable(numbers);
}

void TForm6::Zakaz_tlacitka() {
    m_view->setButtonsEnabled(false);
}

void TForm6::Povol_tlacitka() {
    m_view->setButtonsEnabled(true);
}

// Clears the page only; the phone keeps what it has.
void TForm6::BitBtn1Click() {
    clearFields();
}

void TForm6::BitBtn3Click() {
    std::vector<std::string> lines;
    for (const VrStrEdit* field : fieldsInOrder())
        lines.push_back(field->text1250());
    saveLinesToChosenFile(m_context.dialogs, SaveDialog1, lines);
}

void TForm6::BitBtn2Click() {
    if (const auto chosen = m_context.dialogs.openFileName(OpenDialog1))
        loadFile(*chosen);
}

// The whole file is read before any field changes, so a failed read leaves the page as it was.
void TForm6::loadFile(const QString& path) {
    const auto fields = fieldsInOrder();
    const auto lines = loadLines(path, fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i]->setText1250(lines.at(i));
}

void TForm6::endExchange() {
    m_view->setBusyText(QString());
    m_view->setProgress(100);
    Povol_tlacitka();
    m_view->hideGauge();
}

// The probe; the buttons stay enabled until the phone has answered it.
bool TForm6::startExchange(std::int32_t firstStep) {
    if (!m_runner.start(Timer2))
        return false;
    m_context.shared().StepState = firstStep;
    return true;
}

void TForm6::Button1Click() {
    startExchange(kStepProbe);
}

void TForm6::Button2Click() {
    if (!Kontrola()) {
        m_context.dialogs.error(QString::fromUtf8(phone_messages::kNumbersMalformed));
        return;
    }
    startExchange(kStepWrite);
}

void TForm6::Timer2Timer() {
    Timer2.stop();
    const std::int32_t step = m_context.shared().StepState;
    if (step != kStepProbe && step != kStepWrite)
        return;
    const auto busy = [this] {
        Zakaz_tlacitka();
        m_view->setBusyText(QString::fromUtf8(phone_messages::kWorking));
        m_view->showGauge();
    };
    const TransferProgress progress = [this](int percent) { m_view->setProgress(percent); };
    m_runner.atTick(busy, [&](sim::Session& sim) {
        if (step == kStepProbe)
            return readPositions(sim, progress);
        return writeBackedUp(*numbersSet(), m_context.backups, m_context.exchange, sim, progress,
                             [&](const TransferProgress& gauge) {
                                 return numbers_transfer::write(sim, entriesOnPage(), gauge);
                             });
    });
}

// All four positions are read before a field changes: a read the SIM did not answer whole changes
// nothing, so the user never mistakes a position it could not read for an empty one.
TransferOutcome TForm6::readPositions(sim::Session& sim, const TransferProgress& progress) {
    const auto read = numbers_transfer::read(sim, m_context.shared().StepState, progress);
    if (read.outcome != TransferOutcome::Done)
        return read.outcome;
    clearFields();
    for (int position = 1; position <= kPositions; ++position) {
        numberField(position).setText1250(read.data[std::size_t(position - 1)].number);
        nameField(position).setText1250(read.data[std::size_t(position - 1)].name);
    }
    return read.outcome;
}

numbers_transfer::Entries TForm6::entriesOnPage() const {
    numbers_transfer::Entries entries;
    for (int position = 1; position <= kPositions; ++position)
        entries[std::size_t(position - 1)] = {numberField(position).text1250(),
                                              nameField(position).text1250()};
    return entries;
}
