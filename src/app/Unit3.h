#pragma once
// The help window: a short Czech guide to both ways of working and the rules for the SIM card.
#include "app/secondary_window.h"

#include <memory>

namespace Ui {
class TForm3;
}

class TForm3 : public SecondaryWindow {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    void Button1Click();

private:
    const std::unique_ptr<Ui::TForm3> m_ui;
};
