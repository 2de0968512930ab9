#include "app/alarm1.h"

#include "config/Unit5.h"
#include "numbers/Unit6.h"
#include "sms/Unit4.h"
#include "ui_alarm1.h"

#include <QVBoxLayout>

TForm1::TForm1(MainWindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::TForm1>()), m_environment(std::move(environment)),
      m_pageContext{*this, m_shared, m_environment.dialogs, m_environment.pause, m_exchanges} {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    FormCreate();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    m_form5 = new TForm5(m_pageContext, this);
    m_form4 = new TForm4(m_pageContext, this);
    m_form6 = new TForm6(m_pageContext, this);
    embedPage(*m_form5, *m_ui->TabSheet1);
    embedPage(*m_form6, *m_ui->TabSheet2);
    embedPage(*m_form4, *m_ui->TabSheet3);
}

void TForm1::embedPage(QWidget& page, QWidget& tab) {
    auto* fill = new QVBoxLayout(&tab);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(&page);
    page.setVisible(true);
}

bool TForm1::IsOpen() const { return false; }

void TForm1::SendText(const std::string&) {}
