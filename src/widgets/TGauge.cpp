#include "widgets/TGauge.h"

#include <QAccessible>
#include <QPainter>

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Průběh"));
}

void TGauge::setProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == m_progress)
        return;
    m_progress = percent;
    QAccessibleValueChangeEvent changed(this, m_progress);
    QAccessible::updateAccessibility(&changed);
    if (isVisible())
        repaint();
}

void TGauge::setForeColor(const QColor& color) {
    m_foreColor = color;
    update();
}

void TGauge::setBackColor(const QColor& color) {
    m_backColor = color;
    update();
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), palette().color(QPalette::Dark));
    painter.fillRect(area, m_backColor);
    QRect done = area;
    done.setWidth(area.width() * m_progress / 100);
    painter.fillRect(done, m_foreColor);
    painter.setPen(Qt::black);
    painter.drawText(area, Qt::AlignCenter, QStringLiteral("%1%").arg(m_progress));
}
