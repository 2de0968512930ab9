#include "app/Unit3.h"

#include "ui_Unit3.h"

TForm3::TForm3(QWidget* parent) : SecondaryWindow(parent), m_ui(std::make_unique<Ui::TForm3>()) {
    m_ui->setupUi(this);
    fixClientSize(476, 395);

    // Editable on purpose, so a user may mark up the text while reading; nothing typed is kept.
    QPalette memo = m_ui->Memo1->palette();
    memo.setColor(QPalette::Base, QColor(192, 192, 192));
    m_ui->Memo1->setPalette(memo);
    m_ui->Memo1->setAccessibleName(windowTitle());
    m_ui->Button1->setAccessibleName(m_ui->Button1->text());

    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

TForm3::~TForm3() = default;

void TForm3::Button1Click() {
    close();
}
