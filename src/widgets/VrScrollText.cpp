#include "widgets/VrScrollText.h"

#include <algorithm>
#include <QAccessible>
#include <QHideEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QShowEvent>
#include <QTimerEvent>

VrScrollText::VrScrollText(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleDescription(QStringLiteral("Běžící text"));
}

void VrScrollText::setText(const QString& text) {
    m_text = text;
    // Told once per text: the animation's steps change nothing a reader says.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    update();
}

void VrScrollText::setInterval(int milliseconds) {
    m_interval = std::max(1, milliseconds);
    if (m_timer.isActive())
        m_timer.start(m_interval, this);
}

void VrScrollText::setStep(int pixels) {
    m_step = std::max(1, pixels);
}

void VrScrollText::setEdgeWidth(int pixels) {
    m_edgeWidth = std::max(0, pixels);
    update();
}

void VrScrollText::setActive(bool active) {
    m_active = active;
    updateTimer();
}

void VrScrollText::advance() {
    m_travelled += m_step;
    // Gone when its right end has passed the left edge.
    if (m_travelled >= width() + textWidth()) {
        m_travelled = 0;
        emit wrapped();
    }
    update();
}

QSize VrScrollText::sizeHint() const {
    const QFontMetrics metrics(font());
    return {textWidth() + 2 * m_edgeWidth, metrics.height()};
}

int VrScrollText::textWidth() const {
    return QFontMetrics(font()).horizontalAdvance(m_text);
}

void VrScrollText::updateTimer() {
    if (m_active && isVisible())
        m_timer.start(m_interval, this);
    else
        m_timer.stop();
}

void VrScrollText::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId())
        advance();
    else
        QWidget::timerEvent(event);
}

void VrScrollText::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTimer();
}

void VrScrollText::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Also on minimising, where the window stays "visible" but nothing is seen.
    m_timer.stop();
}

void VrScrollText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor background = palette().color(backgroundRole());
    painter.fillRect(rect(), background);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QRect(textLeft(), 0, textWidth() + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                     m_text);

    const int edge = std::min(m_edgeWidth, width() / 2);
    if (edge <= 0)
        return;
    QColor clear = background;
    clear.setAlpha(0);
    QLinearGradient left(0, 0, edge, 0);
    left.setColorAt(0, background);
    left.setColorAt(1, clear);
    painter.fillRect(QRect(0, 0, edge, height()), left);
    QLinearGradient right(width() - edge, 0, width(), 0);
    right.setColorAt(0, clear);
    right.setColorAt(1, background);
    painter.fillRect(QRect(width() - edge, 0, edge, height()), right);
}
