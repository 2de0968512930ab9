#pragma once
// The SMS page: the four alarm messages with their destination numbers and the SMS-centre number,
// saved to and loaded from a ".sms" file, stored in, read from and deleted in SIM SMS positions 1
// to 4 of the phone in PDU mode.
#include "phone/exchange_view.h"
#include "phone/page_context.h"
#include "phone/transfer.h"
#include "sms/message_set.h"
#include "sms/PDU.h"
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
class VerifiedSequence;

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
    // Back to idle: busy label a single space, gauge hidden, buttons on, the phone free for others.
    void endExchange();

    PageContext& m_context;
    const std::unique_ptr<Ui::TForm4> m_ui;
    PDU::Octets m_pduOctets; // the PDU of EncodeRecord, for the transfer
    std::unique_ptr<ExchangeView> m_view;
};
