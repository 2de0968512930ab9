#include "widgets/RoundButton.h"

#include <algorithm>
#include <QPainter>
#include <QRadialGradient>

RoundButton::RoundButton(QWidget* parent) : RoundButton(QString(), parent) {}

RoundButton::RoundButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setCursor(Qt::PointingHandCursor);
}

QSize RoundButton::sizeHint() const {
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, this->text());
    const int side = std::max(text.width(), text.height()) + 2 * fontMetrics().height();
    return {side, side};
}

bool RoundButton::hitButton(const QPoint& pos) const {
    const double rx = width() / 2.0;
    const double ry = height() / 2.0;
    if (rx <= 0 || ry <= 0)
        return false;
    const double dx = (pos.x() + 0.5 - rx) / rx;
    const double dy = (pos.y() + 0.5 - ry) / ry;
    return dx * dx + dy * dy <= 1.0;
}

void RoundButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body = QRectF(rect()).adjusted(1, 1, -1, -1);
    const bool down = isDown() || isChecked();
    const QColor face = palette().color(QPalette::Button);

    // Lit from the top left; pressed, the light moves to the bottom right so the button looks sunk.
    QRadialGradient shading(down ? body.bottomRight() : body.topLeft(),
                            std::max(body.width(), body.height()));
    shading.setColorAt(0, face.lighter(down ? 105 : 130));
    shading.setColorAt(1, face.darker(down ? 130 : 110));
    painter.setBrush(isEnabled() ? QBrush(shading) : QBrush(face));
    painter.setPen(QPen(palette().color(QPalette::Shadow), 1.5));
    painter.drawEllipse(body);

    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawEllipse(body.adjusted(4, 4, -4, -4));
    }

    painter.setFont(font());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRectF label = down ? body.translated(1, 1) : body;
    painter.drawText(label, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}
