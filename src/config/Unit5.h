#pragma once
// The configuration page: the alarm unit's seven options and two delay times, shown as the two
// SIM codes, written to and read from SIM positions 5 and 6, saved to and loaded from a ".par" file.
#include "config/configuration_transfer.h"
#include "config/setup_codes.h"
#include "exchange/exchange_runner.h"
#include "widgets/exchange_view.h"
#include "widgets/page_context.h"
#include "widgets/user_dialogs.h"

#include <memory>
#include <optional>
#include <QTimer>
#include <QWidget>
#include <string>

namespace Ui {
class TForm5;
}
class QComboBox;
class QRadioButton;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    TForm5(PageContext& context, QWidget* parent = nullptr);
    ~TForm5() override;

    // The displayed codes, as Windows-1250 text: exactly what a write or a save sends.
    std::string staticText1() const;
    std::string staticText2() const;

    void aktualizace();
    void aktualizace1();
    // Switches on the options whose positions hold "1"; the others are left alone.
    void Nastaveni_checku(std::string setupCode);
    // Raises setup_codes::EConvertError at a position that is not a digit.
    void Nastaveni_casu(std::string casyCode);
    void Smaz_nastaveni();
    void Zakaz_tlacitka();
    void Povol_tlacitka();

    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void RadioButton6Click();
    void RadioButton7Click();
    void RadioButton8Click();
    void RadioButton9Click();
    void RadioButton10Click();
    void RadioButton11Click();
    void RadioButton12Click();
    void RadioButton13Click();
    void RadioButton14Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void ComboBox3Change();
    void ComboBox4Change();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void Button1Click();
    void Timer1Timer();
    void Timer2Timer();
    // A ".par" file into the page, as the load button does with the file chosen.
    void loadFile(const QString& path);

    const FileDialogSpec SaveDialog1{QStringLiteral("par"), QStringLiteral("*.par"), QStringLiteral("par")};
    const FileDialogSpec OpenDialog1{QStringLiteral("*.par"), QStringLiteral("*.par"), QStringLiteral("par")};

private:
    void FormCreate();
    void applyFonts();
    void connectControls();
    void setOption(setup_codes::Option option, char character);
    QRadioButton& onChoice(setup_codes::Option option) const;
    QRadioButton& offChoice(setup_codes::Option option) const;
    QComboBox& timeList(setup_codes::TimeDigit digit) const;
    void setTimeDigit(setup_codes::TimeDigit digit, char character);
    void setStaticText1(const std::string& text);
    void setStaticText2(const std::string& text);
    // The codes read, into the page; an empty position is told and keeps the page's own values.
    void showCodes(const configuration_transfer::StoredCodes& codes);
    void showBusy();
    TransferProgress gauge();
    // Back to idle: busy label empty, gauge hidden, buttons enabled.
    void endExchange();

    PageContext& m_context;
    const std::unique_ptr<Ui::TForm5> m_ui;
    QTimer Timer1;
    QTimer Timer2;
    std::unique_ptr<ExchangeView> m_view;
    ExchangeRunner m_runner;
    setup_codes::OptionChars m_options{};
    setup_codes::TimeDigits m_times{};
};
