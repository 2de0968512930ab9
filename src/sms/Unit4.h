#pragma once
// The SMS page: the four alarm messages with their destination numbers and the SMS-centre number,
// saved to and loaded from a ".sms" file, stored in, read from and deleted in SIM SMS positions 1
// to 4 of the phone in PDU mode.
#include "backup/backed_up_write.h"
#include "exchange/exchange_runner.h"
#include "sim/transfer.h"
#include "sms/alarm_pdu.h"
#include "sms/message_set.h"
#include "sms/PDU.h"
#include "widgets/exchange_view.h"
#include "widgets/page_context.h"
#include "widgets/user_dialogs.h"

#include <cstdint>
#include <memory>
#include <QTimer>
#include <QWidget>
#include <string>

namespace Ui {
class TForm4;
}
class VrStrEdit;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    TForm4(PageContext& context, QWidget* parent = nullptr);
    ~TForm4() override;

    void FormShow();
    void VrStrEdit19Change();
    // The SMS-centre number and the four numbers in the form the alarm unit expects.
    bool Kontrola() const;
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Timer1Timer();
    void Koduj();
    // A ".sms" file into the rows, as the load button does with the file chosen.
    void loadFile(const QString& path);

    const FileDialogSpec OpenDialog1{QStringLiteral("sms"), QStringLiteral("*.sms"), QStringLiteral("sms")};
    const FileDialogSpec SaveDialog1{QStringLiteral("sms"), QStringLiteral("*.sms"), QStringLiteral("sms")};

    QTimer Timer1;

    std::string SmsText;
    std::string SmsNumber;
    PDU::TSMS_Record EncodeRecord;
    std::uint16_t PduLength = 0;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyLook();
    void connectControls();
    VrStrEdit& numberField(int position) const;
    VrStrEdit& textField(int position) const;
    void emptyRows();
    message_set::Messages rowsOnPage() const;
    TransferProgress gauge();
    TransferOutcome backedUp(sim::Session& sim, const SetWrite& write);
    void showDeleting();
    // Back to idle: busy label a single space, gauge hidden, buttons on.
    void endExchange();

    PageContext& m_context;
    const std::unique_ptr<Ui::TForm4> m_ui;
    std::unique_ptr<ExchangeView> m_view;
    ExchangeRunner m_runner;
    alarm_pdu::Encoded m_encoded; // what Koduj made of the row at hand, as the SIM takes it
};
