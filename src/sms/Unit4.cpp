#include "sms/Unit4.h"

#include "app/error_report.h"
#include "exchange/exchange_lock.h"
#include "phone/phone_messages.h"
#include "phone/shared_state.h"
#include "sms/messages_transfer.h"
#include "ui_Unit4.h"
#include "widgets/page_files.h"
#include "widgets/phone_buttons.h"
#include "widgets/VrStrEdit.h"

#include <utility>

namespace {

// The tick hands the read from the click to the event loop; the phone's answers, not the clock, pace
// it from there.
constexpr int kReadTickMs = 0;
using message_set::kPositions;
constexpr int kNumberTypedLimit = 13;
constexpr int kTextTypedLimit = 50;

constexpr std::int32_t kStepProbe = 18;

const QString kDeleting = QStringLiteral("Mažu pozice na SIM");
const QString kStoring = QStringLiteral("Ukládám na pozice na SIM");
const QString kIdle = QStringLiteral(" ");

} // namespace

TForm4::TForm4(PageContext& context, QWidget* parent)
    : QWidget(parent), Timer1(this), m_context(context), m_ui(std::make_unique<Ui::TForm4>()),
      m_runner(context.exchange, this, [this] { endExchange(); }) {
    m_ui->setupUi(this);
    applyLook();
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kReadTickMs);
    m_view = std::make_unique<ExchangeView>(
        *m_ui->VrLabel1, *m_ui->Gauge1,
        QList<QAbstractButton*>{m_ui->Button1, m_ui->Button3, m_ui->Button4, m_ui->Button2, m_ui->Button5});
    m_ui->VrLabel1->setText(kIdle); // at rest the label holds a single space, which .ui text cannot keep
    for (QAbstractButton* phoneButton : {m_ui->Button1, m_ui->Button3, m_ui->Button4})
        greyWhileExchanging(m_context.exchange.exchanges, *phoneButton);
    for (int position = 1; position <= kPositions; ++position) {
        numberField(position).setTypedLimit(kNumberTypedLimit);
        textField(position).setTypedLimit(kTextTypedLimit);
    }
    m_ui->VrStrEdit19->setTypedLimit(kNumberTypedLimit);
    connectControls();
}

// A page that goes while its exchange runs must not leave the phone locked for the others.
TForm4::~TForm4() {
    m_context.exchange.exchanges.release(this);
}

// The designer's fonts are given in pixels, which the .ui format cannot hold. The default sans
// face is wider than the one the layout was drawn for: condensed, the centre number fits its
// field and the longest note its line.
void TForm4::applyLook() {
    QFont page = font();
    page.setPixelSize(11);
    page.setStretch(QFont::Condensed);
    setFont(page);

    const QList<VrStrEdit*> edits = findChildren<VrStrEdit*>();
    for (VrStrEdit* edit : edits) {
        QPalette silver = edit->palette();
        silver.setColor(QPalette::Base, QColor(192, 192, 192));
        edit->setPalette(silver);
    }

    QFont headings = page;
    headings.setPixelSize(16);
    m_ui->Label10->setFont(headings);
    m_ui->Label11->setFont(headings);

    QFont busy(QStringLiteral("Arial"));
    busy.setPixelSize(13);
    busy.setBold(true);
    m_ui->VrLabel1->setFont(busy);
    QPalette red = m_ui->VrLabel1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_ui->VrLabel1->setPalette(red);

    m_ui->Gauge1->setForeColor(Qt::yellow);
    m_ui->Gauge1->setBackColor(palette().color(QPalette::Link));
}

void TForm4::connectControls() {
    connect(m_ui->VrStrEdit19, &QLineEdit::textChanged, this, &TForm4::VrStrEdit19Change);
    connectReported(m_ui->Button1, &QPushButton::clicked, this, &TForm4::Button1Click, m_context.errors);
    connectReported(m_ui->Button2, &QPushButton::clicked, this, &TForm4::Button2Click, m_context.errors);
    connectReported(m_ui->Button3, &QPushButton::clicked, this, &TForm4::Button3Click, m_context.errors);
    connectReported(m_ui->Button4, &QPushButton::clicked, this, &TForm4::Button4Click, m_context.errors);
    connectReported(m_ui->Button5, &QPushButton::clicked, this, &TForm4::Button5Click, m_context.errors);
    connectReported(&Timer1, &QTimer::timeout, this, &TForm4::Timer1Timer, m_context.errors);
}

VrStrEdit& TForm4::numberField(int position) const {
    VrStrEdit* const fields[] = {m_ui->VrStrEdit1, m_ui->VrStrEdit3, m_ui->VrStrEdit5, m_ui->VrStrEdit7};
    return *fields[position - 1];
}

VrStrEdit& TForm4::textField(int position) const {
    VrStrEdit* const fields[] = {m_ui->VrStrEdit2, m_ui->VrStrEdit4, m_ui->VrStrEdit6, m_ui->VrStrEdit8};
    return *fields[position - 1];
}

void TForm4::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

// The settings file is read after the page is made, so the centre number comes in on showing.
void TForm4::FormShow() {
    m_ui->VrStrEdit19->setText1250(m_context.shared().SmscNumber);
}

// Copied at once, so the settings file written at exit holds what the user typed even when nothing
// was stored in the phone.
void TForm4::VrStrEdit19Change() {
    m_context.shared().SmscNumber = m_ui->VrStrEdit19->text1250();
}

bool TForm4::Kontrola() const {
    return message_set::acceptable(m_ui->VrStrEdit19->text1250(), rowsOnPage());
}

message_set::Messages TForm4::rowsOnPage() const {
    message_set::Messages rows;
    for (int position = 1; position <= kPositions; ++position)
        rows[std::size_t(position - 1)] = {numberField(position).text1250(), textField(position).text1250()};
    return rows;
}

TransferProgress TForm4::gauge() {
    return [this](int percent) { m_view->setProgress(percent); };
}

void TForm4::Button2Click() {
    std::vector<std::string> lines;
    for (int position = 1; position <= kPositions; ++position) {
        lines.push_back(numberField(position).text1250());
        lines.push_back(textField(position).text1250());
    }
    saveLinesToChosenFile(m_context.dialogs, SaveDialog1, lines);
}

void TForm4::Button5Click() {
    if (const auto chosen = m_context.dialogs.openFileName(OpenDialog1))
        loadFile(*chosen);
}

void TForm4::loadFile(const QString& path) {
    const auto lines = loadLines(path, 2 * kPositions);
    for (int position = 1; position <= kPositions; ++position) {
        numberField(position).setText1250(lines.at(2 * position - 2));
        textField(position).setText1250(lines.at(2 * position - 1));
    }
}

void TForm4::emptyRows() {
    for (int position = 1; position <= kPositions; ++position) {
        numberField(position).clear();
        textField(position).clear();
    }
}

void TForm4::endExchange() {
    m_view->setBusyText(kIdle);
    m_view->hideGauge();
    m_view->setButtonsEnabled(true);
}

void TForm4::showDeleting() {
    m_view->setButtonsEnabled(false);
    m_view->showBusy(kDeleting);
}

void TForm4::Button1Click() {
    if (!m_runner.start(Timer1))
        return;
    m_view->setButtonsEnabled(false);
    m_context.shared().StepState = kStepProbe;
    // The rows are emptied only once the phone has answered every read: a switched-off phone must
    // not wipe messages the user has not saved anywhere.
}

// All four positions are read before a row changes: a read the SIM did not answer whole changes
// nothing, so the user never mistakes a message it could not read for an empty position.
void TForm4::Timer1Timer() {
    Timer1.stop();
    if (m_context.shared().StepState != kStepProbe)
        return;
    m_runner.atTick([this] { m_view->showBusy(QString::fromUtf8(phone_messages::kWorking)); },
                    [this](sim::Session& sim) {
                        const auto read = messages_transfer::read(sim, m_context.shared().StepState, gauge());
                        if (read.outcome == TransferOutcome::Done)
                            for (int position = 1; position <= kPositions; ++position) {
                                numberField(position).setText1250(
                                    read.data[std::size_t(position - 1)].number);
                                textField(position).setText1250(read.data[std::size_t(position - 1)].text);
                            }
                        return read.outcome;
                    });
}

void TForm4::Koduj() {
    m_encoded = alarm_pdu::encode(m_ui->VrStrEdit19->text1250(), SmsNumber, SmsText);
    EncodeRecord = m_encoded.record;
    PduLength = m_encoded.length;
    SmsText = EncodeRecord.PduText;
}

// A message counts as stored only when the SIM confirmed it in its own position.
void TForm4::Button3Click() {
    if (!Kontrola()) {
        m_context.dialogs.error(QString::fromUtf8(phone_messages::kNumbersMalformed));
        return;
    }
    const auto encode = [this](int position) {
        SmsNumber = numberField(position).text1250();
        SmsText = textField(position).text1250();
        Koduj();
        return m_encoded;
    };
    // The store's own part of the gauge starts afresh.
    const auto storing = [this](const TransferProgress& progress) {
        m_view->setBusyText(kIdle);
        progress(0);
        m_view->setBusyText(kStoring);
    };
    m_runner.run(
        ExchangeRunner::Start::WithoutProbe, [this] { showDeleting(); },
        [&](sim::Session& sim) {
            return backedUp(sim, [&](const TransferProgress& progress) {
                return messages_transfer::store(sim, encode, progress, [&] { storing(progress); });
            });
        });
}

// The rows are emptied only when the SIM confirmed every deletion: otherwise the SIM still holds
// messages, and the rows may be all the user has of them. With the port closed nothing happens.
void TForm4::Button4Click() {
    m_runner.run(
        ExchangeRunner::Start::WithoutProbeQuietly, [this] { showDeleting(); },
        [this](sim::Session& sim) {
            const TransferOutcome outcome = backedUp(sim, [&](const TransferProgress& progress) {
                return messages_transfer::erase(sim, progress);
            });
            if (outcome == TransferOutcome::PhoneUnusable)
                return outcome;
            m_view->hideGauge();
            m_view->setBusyText(kIdle);
            m_view->setProgress(0);
            if (outcome == TransferOutcome::Done)
                emptyRows();
            return outcome;
        });
}

// A delete replaces the messages as a store does: both keep what the SIM held first.
TransferOutcome TForm4::backedUp(sim::Session& sim, const SetWrite& write) {
    return writeBackedUp(*messagesSet(m_ui->VrStrEdit19->text1250()), m_context.backups, m_context.exchange,
                         sim, gauge(), write);
}
