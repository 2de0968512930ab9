#pragma once
// The phone-number page: the four numbers the alarm unit calls, each with a name, checked for the
// international form, written to and read from SIM positions 1 to 4, saved to and loaded from a
// ".num" file.
#include "exchange/exchange_runner.h"
#include "numbers/number_list.h"
#include "numbers/numbers_transfer.h"
#include "widgets/exchange_view.h"
#include "widgets/page_context.h"
#include "widgets/user_dialogs.h"

#include <array>
#include <memory>
#include <QTimer>
#include <QWidget>
#include <string>

namespace Ui {
class TForm6;
}
class VrStrEdit;

class TForm6 : public QWidget {
    Q_OBJECT
public:
    TForm6(PageContext& context, QWidget* parent = nullptr);
    ~TForm6() override;

    // True when every number is empty or in the international form; names are not looked at.
    bool Kontrola() const;
    void Zakaz_tlacitka();
    void Povol_tlacitka();

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void Button1Click();
    void Button2Click();
    void Timer2Timer();
    // A ".num" file into the fields, as the load button does with the file chosen.
    void loadFile(const QString& path);

    const FileDialogSpec OpenDialog1{QStringLiteral("*.num"), QStringLiteral("*.num"), QStringLiteral("num")};
    const FileDialogSpec SaveDialog1{QStringLiteral("num"), QStringLiteral("*.num"), QStringLiteral("num")};

private:
    void applyLook();
    void connectControls();
    // Position 1 to 4.
    VrStrEdit& numberField(int position) const;
    VrStrEdit& nameField(int position) const;
    // Number 1, name 1, number 2, ... name 4: the file's line order and the clearing order.
    std::array<VrStrEdit*, 2 * number_list::kPositions> fieldsInOrder() const;
    void clearFields();
    bool startExchange(std::int32_t firstStep);
    TransferOutcome readPositions(sim::Session& sim, const TransferProgress& progress);
    numbers_transfer::Entries entriesOnPage() const;
    // Back to rest: busy label empty, gauge hidden, buttons enabled.
    void endExchange();

    PageContext& m_context;
    const std::unique_ptr<Ui::TForm6> m_ui;
    QTimer Timer2;
    std::unique_ptr<ExchangeView> m_view;
    ExchangeRunner m_runner;
};
