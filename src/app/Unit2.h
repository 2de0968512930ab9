#pragma once
// The About window: the tool's name, the maker's logo, web link and a running credit line.
#include "app/secondary_window.h"

#include <memory>

namespace Ui {
class TForm2;
}

class TForm2 : public SecondaryWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    void RoundButton1Click();

private:
    const std::unique_ptr<Ui::TForm2> m_ui;
};
