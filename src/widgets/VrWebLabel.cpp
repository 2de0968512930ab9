#include "widgets/VrWebLabel.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

namespace {

bool openWithDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace

VrWebLabel::VrWebLabel(QWidget* parent) : QLabel(parent), m_opener(openWithDesktop) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);
    // A plain-text caption: an address must never be taken for markup.
    setTextFormat(Qt::PlainText);
}

void VrWebLabel::setUrl(const QUrl& url) {
    m_url = url;
    QAccessibleEvent described(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
}

void VrWebLabel::setOpener(Opener opener) {
    m_opener = opener ? std::move(opener) : Opener(openWithDesktop);
}

void VrWebLabel::setHot(bool hot) {
    if (hot == m_hot)
        return;
    m_hot = hot;
    QFont underlined = font();
    underlined.setUnderline(hot);
    setFont(underlined);
}

void VrWebLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    setHot(true);
}

void VrWebLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    setHot(hasFocus());
}

// The underline is the only mark of the focus a label has.
void VrWebLabel::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    setHot(true);
}

void VrWebLabel::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    setHot(underMouse());
}

void VrWebLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        activate();
        break;
    default:
        QLabel::keyPressEvent(event);
    }
}

void VrWebLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    // Dragging off the link before letting go is the usual way to change one's mind.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        activate();
}

void VrWebLabel::activate() {
    if (m_url.isEmpty())
        return;
    emit openRequested(m_url);
    // A browser that does not start is not worth a message box in an About window.
    m_opener(m_url);
}
