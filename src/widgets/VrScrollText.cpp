#include "widgets/VrScrollText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <QAccessible>
#include <QHideEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimerEvent>

namespace {

// The common refresh rate, taken where a screen does not tell its own, and the most frames a second
// the line takes on a faster screen: each frame wakes the process, and beyond these a laptop would
// spend more on the line than its user sees.
constexpr qreal kMostFramesPerSecond = 60;
// The earliest a coarse timer comes, as a share of its period.
constexpr qreal kCoarseEarliest = 0.95;

qint64 steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

VrScrollText::VrScrollText(QWidget* parent) : QWidget(parent), m_clock(steadyMilliseconds) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleDescription(QStringLiteral("Běžící text"));
    lookChanged();
    startFromHere();
}

void VrScrollText::setText(const QString& text) {
    m_text = text;
    lookChanged();
    // Told once per text: the animation's steps change nothing a reader says.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    update();
}

void VrScrollText::setInterval(int milliseconds) {
    m_interval = std::max(1, milliseconds);
    speedChanged();
}

void VrScrollText::setStep(int pixels) {
    m_step = std::max(1, pixels);
    speedChanged();
}

void VrScrollText::setClock(Clock clock) {
    m_clock = std::move(clock);
    startFromHere();
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
    moveTo(m_startTravelled + (m_clock() - m_startMs) * m_step / m_interval);
}

void VrScrollText::moveTo(qint64 travelled) {
    // Gone when its right end has passed the left edge.
    const qint64 lap = width() + textWidth();
    if (lap <= 0) {
        travelled = 0;
    } else if (travelled >= lap) {
        // The next lap began when this one ended, not at this late tick, so the speed holds across.
        const qint64 laps = travelled / lap;
        m_startTravelled -= laps * lap;
        travelled -= laps * lap;
        emit wrapped();
    }
    if (travelled == m_travelled)
        return;
    const QRect before = textRect();
    m_travelled = int(travelled);
    // Only where the text was and is changes. Painted at once: the tick is the frame, and a posted
    // request would cost another turn of the event loop in every frame.
    repaint(before.united(textRect()));
}

QRect VrScrollText::textRect() const {
    // The text's own band, centred: a frame leaves alone what lies above and below it, such as the
    // About window's button, which overlaps the line and would be repainted with it.
    const int lineHeight = std::min(m_lineHeight, height());
    return {textLeft(), (height() - lineHeight) / 2, textWidth() + 1, lineHeight};
}

void VrScrollText::startFromHere() {
    m_startMs = m_clock();
    m_startTravelled = m_travelled;
}

void VrScrollText::speedChanged() {
    startFromHere();
    if (m_timer.isActive())
        startFrames();
}

QSize VrScrollText::sizeHint() const {
    const QFontMetrics metrics(font());
    return {textWidth() + 2 * m_edgeWidth, metrics.height()};
}

void VrScrollText::lookChanged() {
    const QFontMetrics metrics(font());
    m_textWidth = metrics.horizontalAdvance(m_text);
    m_lineHeight = metrics.height();
    m_renderedText = QPixmap();
}

const QPixmap& VrScrollText::renderedText() {
    const qreal ratio = devicePixelRatioF();
    if (!m_renderedText.isNull() && m_renderedText.devicePixelRatio() == ratio)
        return m_renderedText;
    const QSize size = textRect().size();
    m_renderedText = QPixmap(size * ratio);
    m_renderedText.setDevicePixelRatio(ratio);
    m_renderedText.fill(palette().color(backgroundRole()));
    QPainter painter(&m_renderedText);
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(QRect(QPoint(0, 0), size), Qt::AlignLeft | Qt::AlignVCenter, m_text);
    return m_renderedText;
}

int VrScrollText::framePeriodMs() const {
    const QScreen* shownOn = screen();
    const qreal hz = shownOn && shownOn->refreshRate() > 0
                         ? std::min(shownOn->refreshRate(), kMostFramesPerSecond)
                         : kMostFramesPerSecond;
    // The frame timer is coarse and may come up to 5 % early: a period a twentieth longer than the
    // frame, rounded up, never paints twice in one frame. Nor oftener than the text moves.
    return std::max(int(std::ceil(1000 / hz / kCoarseEarliest)), m_interval / m_step);
}

void VrScrollText::startFrames() {
    m_framePeriodMs = framePeriodMs();
    // Coarse, so that the system may bring the process's wake-ups together; on Windows a precise one
    // is a multimedia timer, which raises the system's timer resolution while it runs.
    m_timer.start(m_framePeriodMs, Qt::CoarseTimer, this);
}

void VrScrollText::updateTimer() {
    if (!m_active || !isVisible()) {
        m_timer.stop();
    } else if (!m_timer.isActive()) {
        // The time it stood hidden or switched off is not run through.
        startFromHere();
        startFrames();
    }
}

void VrScrollText::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    // The window may have moved to a screen of another refresh rate.
    if (framePeriodMs() != m_framePeriodMs)
        startFrames();
    advance();
}

void VrScrollText::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    updateTimer();
}

void VrScrollText::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        lookChanged();
}

void VrScrollText::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size().height() != event->oldSize().height())
        lookChanged();
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
    // Laid out and drawn once: each frame only copies it to its place.
    painter.drawPixmap(textRect().topLeft(), renderedText());

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
