#include "sms/Unit4.h"

#include "app/error_report.h"
#include "numbers/number_format.h"
#include "phone/exchange.h"
#include "phone/exchange_lock.h"
#include "phone/phone_messages.h"
#include "phone/port_link.h"
#include "phone/reply.h"
#include "phone/shared_state.h"
#include "phone/verified_sequence.h"
#include "platform/cp1250.h"
#include "ui_Unit4.h"
#include "widgets/page_files.h"
#include "widgets/VrStrEdit.h"

#include <array>
#include <optional>
#include <utility>

namespace {

// The tick hands the read from the click to the event loop; the phone's answers, not the clock, pace
// it from there.
constexpr int kReadTickMs = 0;
constexpr int kPositions = 4;
constexpr int kNumberTypedLimit = 13;
constexpr int kTextTypedLimit = 50;
constexpr int kCharTableVariant = 2;

constexpr std::int32_t kStepProbe = 18;
constexpr std::int32_t kStepFirstRead = 11; // 11 to 14: position 1 to 4 requested

constexpr int kStoreProgressStep = 12;

const QString kDeleting = QStringLiteral("Mažu pozice na SIM");
const QString kStoring = QStringLiteral("Ukládám na pozice na SIM");
const QString kIdle = QStringLiteral(" ");

std::string command(const char* name, int value) {
    return name + std::to_string(value) + reply::kCR;
}

} // namespace

TForm4::TForm4(PageContext& context, QWidget* parent)
    : QWidget(parent), Timer1(this), m_context(context), m_ui(std::make_unique<Ui::TForm4>()) {
    m_ui->setupUi(this);
    applyLook();
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer1.setInterval(kReadTickMs);
    m_view = std::make_unique<ExchangeView>(
        *m_ui->VrLabel1, *m_ui->Gauge1,
        QList<QAbstractButton*>{m_ui->Button1, m_ui->Button3, m_ui->Button4, m_ui->Button2, m_ui->Button5});
    m_ui->VrLabel1->setText(kIdle); // at rest the label holds a single space, which .ui text cannot keep
    for (QAbstractButton* phoneButton : {m_ui->Button1, m_ui->Button3, m_ui->Button4})
        m_context.exchanges.addPhoneButton(phoneButton);
    for (int position = 1; position <= kPositions; ++position) {
        numberField(position).setTypedLimit(kNumberTypedLimit);
        textField(position).setTypedLimit(kTextTypedLimit);
    }
    m_ui->VrStrEdit19->setTypedLimit(kNumberTypedLimit);
    connectControls();
}

// A page that goes while its exchange runs must not leave the phone locked for the others.
TForm4::~TForm4() {
    m_context.exchanges.release(this);
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
    m_ui->VrStrEdit19->setText1250(m_context.shared.SmscNumber);
}

// Copied at once, so the settings file written at exit holds what the user typed even when nothing
// was stored in the phone.
void TForm4::VrStrEdit19Change() {
    m_context.shared.SmscNumber = m_ui->VrStrEdit19->text1250();
}

bool TForm4::Kontrola() const {
    if (!hasInternationalFormat(m_ui->VrStrEdit19->text1250()))
        return false;
    for (int position = 1; position <= kPositions; ++position)
        if (!hasInternationalFormat(numberField(position).text1250()))
            return false;
    return true;
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
    const auto lines = loadLinesFromChosenFile(m_context.dialogs, OpenDialog1, 2 * kPositions);
    if (!lines)
        return;
    for (int position = 1; position <= kPositions; ++position) {
        numberField(position).setText1250(lines->at(2 * position - 2));
        textField(position).setText1250(lines->at(2 * position - 1));
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
    finishExchange(m_context, this);
}

void TForm4::Button1Click() {
    if (!beginExchange(m_context, this))
        return;
    // A probe that cannot be sent arms no tick, and only a tick would end the exchange.
    const EndUnlessTicking idleUnlessArmed(Timer1, [this] { endExchange(); });
    m_context.shared.ReplyBuffer = " ";
    m_view->setButtonsEnabled(false);
    m_context.shared.StepState = kStepProbe;
    m_context.port.SendText(reply::kProbe);
    Timer1.start();
    // The rows are emptied only once the phone has answered every read: a switched-off phone must
    // not wipe messages the user has not saved anywhere.
}

// All four positions are read before a row changes: a read the phone did not answer whole changes
// nothing, so the user never mistakes a message it could not read for an empty position.
void TForm4::Timer1Timer() {
    Timer1.stop();
    if (m_context.shared.StepState != kStepProbe)
        return;
    const OnExit idle([this] { endExchange(); });
    VerifiedSequence sequence(m_context);
    if (!sequence.probeAnswered())
        return;
    m_view->showBusy(QString::fromUtf8(phone_messages::kWorking));
    if (!sequence.select(SimStore::Messages))
        return;
    std::array<std::optional<Row>, kPositions> rows;
    for (int position = 1; position <= kPositions; ++position) {
        m_context.shared.StepState = kStepFirstRead + position - 1;
        if (const auto answer = sequence.read(command("AT+CMGR=", position), position)) {
            Retezec(*answer);
            if (!SmsText.empty())
                rows[std::size_t(position - 1)] = decodedRow();
        }
        m_view->setProgress(25 * position);
    }
    if (!sequence.finish(phone_messages::kReadFailed))
        return;
    emptyRows();
    for (int position = 1; position <= kPositions; ++position)
        if (const auto& row = rows[std::size_t(position - 1)]) {
            numberField(position).setText1250(row->number);
            textField(position).setText1250(row->text);
        }
}

// A fresh record for every message, so a field the PDU does not carry never shows a value left
// from another position. A received message carries no destination; its sender is shown instead.
TForm4::Row TForm4::decodedRow() {
    DecodeRecord = PDU::TSMS_Record{};
    DecodeRecord.PduText = SmsText;
    PDU::DecodeSms(DecodeRecord, kCharTableVariant);
    const bool submitted = DecodeRecord.FirstOctet & 1;
    return {submitted ? DecodeRecord.DestAddress : DecodeRecord.OrigAddress,
            platform::utf16ToCp1250(DecodeRecord.MessageText)};
}

// The PDU is the line of hex digits after the "+CMGR:" line; an unsolicited code may come between.
void TForm4::Retezec(const final_answers::Answer& answer) {
    SmsText = std::string(answer.hexLineAfter("+CMGR:").value_or(""));
}

void TForm4::Koduj() {
    EncodeRecord.SmscType = PDU::BitsToByte("00000001");
    EncodeRecord.SmscAddress = m_ui->VrStrEdit19->text1250();
    EncodeRecord.FirstOctet = PDU::BitsToByte("00010000");
    EncodeRecord.MessageRef = 0;
    EncodeRecord.DestAddressType = PDU::BitsToByte("00000001");
    EncodeRecord.DestAddress = SmsNumber;
    EncodeRecord.ProtocolId = PDU::BitsToByte("00000000");
    EncodeRecord.DataCoding = PDU::BitsToByte("00000000");
    EncodeRecord.ValidityPeriod[0] = 4; // relative: 25 minutes
    EncodeRecord.MessageText = platform::cp1250ToUtf16(SmsText);
    PduLength = PDU::EncodeSms(EncodeRecord, kCharTableVariant);
    SmsText = EncodeRecord.PduText;
}

void TForm4::Gauge_increment() {
    m_view->setProgress(m_ui->Gauge1->progress() + kStoreProgressStep);
}

// Deleting first makes the phone store the messages in positions 1 to 4 in order, as each goes into
// the first free position. An empty position is as good as a deleted one.
void TForm4::deletePositions(VerifiedSequence& sequence, bool reported) {
    for (int position = 1; position <= kPositions; ++position) {
        m_view->setProgress(25 * position);
        sequence.change(command("AT+CMGD=", position), reported ? position : 0, true);
    }
}

// The first selection tells whether the phone is there before anything is deleted. A message
// counts as stored only when the phone prompted for it and named the position it took.
void TForm4::Button3Click() {
    if (!Kontrola()) {
        m_context.dialogs.error(QString::fromUtf8(phone_messages::kNumbersMalformed));
        return;
    }
    if (!beginExchange(m_context, this))
        return;
    const OnExit idle([this] { endExchange(); });
    m_context.shared.ReplyBuffer = " ";
    m_view->setButtonsEnabled(false);
    m_view->showBusy(kDeleting);
    VerifiedSequence sequence(m_context);
    if (!sequence.select(SimStore::Messages))
        return;
    deletePositions(sequence, false);
    m_view->setBusyText(kIdle);
    m_view->setProgress(0);
    m_view->setBusyText(kStoring);

    for (int position = 1; position <= kPositions; ++position) {
        SmsNumber = numberField(position).text1250();
        SmsText = textField(position).text1250();
        Koduj();
        if (position == 1)
            m_view->setProgress(kStoreProgressStep);
        else
            Gauge_increment();
        sequence.storeMessage("AT+CMGW=" + std::to_string(PduLength) + reply::kCR, SmsText, position, [&] {
            if (position < kPositions)
                Gauge_increment();
            else
                m_view->setProgress(100);
        });
    }
    sequence.finish(phone_messages::kStoreUnconfirmed);
}

// The rows are emptied only when the phone confirmed every deletion: otherwise the SIM still holds
// messages, and the rows may be all the user has of them.
void TForm4::Button4Click() {
    if (!m_context.port.IsOpen())
        return;
    if (!m_context.exchanges.tryAcquire(this))
        return;
    const OnExit idle([this] { endExchange(); });
    m_context.shared.ReplyBuffer = " ";
    m_view->setButtonsEnabled(false);
    m_view->showBusy(kDeleting);
    VerifiedSequence sequence(m_context);
    if (!sequence.select(SimStore::Messages))
        return;
    deletePositions(sequence, true);
    const bool deleted = sequence.finish(phone_messages::kDeleteUnconfirmed);
    m_view->hideGauge();
    m_view->setBusyText(kIdle);
    m_view->setProgress(0);
    if (deleted)
        emptyRows();
}
