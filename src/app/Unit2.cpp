#include "app/Unit2.h"

#include "app/about_logo.h"
#include "ui_Unit2.h"

#include <QPixmap>

namespace {

const QColor kSilver(192, 192, 192);
const char* const kMakerAddress = "https://www.korvex.example";
const char* const kMakerCaption = "www.korvex.example";

QFont sized(QFont font, int pixels, bool bold) {
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The credit and button face was not made for Linux desktops; a bold sans of the same pixel size
// takes its place when it is missing.
QFont creditFont(const QFont& base, int pixels) {
    QFont font = sized(base, pixels, true);
    font.setFamilies({QStringLiteral("Abbess"), base.family()});
    return font;
}

} // namespace

TForm2::TForm2(QWidget* parent) : SecondaryWindow(parent), m_ui(std::make_unique<Ui::TForm2>()) {
    m_ui->setupUi(this);
    fixClientSize(410, 375);

    QPalette panel = m_ui->Panel1->palette();
    panel.setColor(QPalette::Window, kSilver);
    panel.setColor(QPalette::Button, kSilver);
    m_ui->Panel1->setPalette(panel);

    const QFont base = font();
    m_ui->Label3->setFont(sized(base, 16, false));
    m_ui->Label4->setFont(sized(base, 16, false));
    m_ui->Label1->setFont(sized(base, 13, true));
    // The separator's underscores sit below the baseline; a smaller face keeps them inside the line.
    m_ui->Label2->setFont(sized(base, 11, false));

    const QImage logo = about_logo::logo();
    if (!logo.isNull())
        m_ui->Image1->setPixmap(QPixmap::fromImage(logo));
    m_ui->Image1->setAccessibleName(QStringLiteral("Logo Korvex"));

    QFont link(QStringLiteral("Arial"));
    link.setStyleHint(QFont::SansSerif);
    link.setPixelSize(16);
    m_ui->VrWebLabel1->setFont(link);
    QPalette linkColours = m_ui->VrWebLabel1->palette();
    linkColours.setColor(QPalette::WindowText, Qt::blue);
    m_ui->VrWebLabel1->setPalette(linkColours);
    m_ui->VrWebLabel1->setText(QString::fromLatin1(kMakerCaption));
    m_ui->VrWebLabel1->setUrl(QUrl(QString::fromLatin1(kMakerAddress)));
    m_ui->VrWebLabel1->setAccessibleName(m_ui->VrWebLabel1->toolTip());

    m_ui->VrScrollText1->setFont(creditFont(base, 19));
    m_ui->VrScrollText1->setText(QStringLiteral("Korvex © 2005"));
    m_ui->VrScrollText1->setInterval(5);
    m_ui->VrScrollText1->setEdgeWidth(50);
    m_ui->VrScrollText1->setActive(true);

    m_ui->RoundButton1->setFont(creditFont(base, 16));
    m_ui->RoundButton1->setAccessibleName(QStringLiteral("OK"));
    m_ui->RoundButton1->setDefault(true);
    connect(m_ui->RoundButton1, &QPushButton::clicked, this, &TForm2::RoundButton1Click);
}

TForm2::~TForm2() = default;

void TForm2::RoundButton1Click() {
    close();
}
