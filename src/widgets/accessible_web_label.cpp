#include "widgets/accessible_web_label.h"

#include "widgets/VrWebLabel.h"

AccessibleWebLabel::AccessibleWebLabel(VrWebLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

VrWebLabel* AccessibleWebLabel::label() const {
    return static_cast<VrWebLabel*>(widget());
}

QString AccessibleWebLabel::text(QAccessible::Text type) const {
    const QString own = QAccessibleWidget::text(type);
    switch (type) {
    case QAccessible::Name:
        return own.isEmpty() ? label()->text() : own;
    case QAccessible::Description:
    case QAccessible::Value:
        return label()->url().toString();
    default:
        return own;
    }
}

QStringList AccessibleWebLabel::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleWebLabel::doAction(const QString& actionName) {
    if (actionName == pressAction())
        label()->activate();
    else
        QAccessibleWidget::doAction(actionName);
}
