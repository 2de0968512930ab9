#include "widgets/accessible_gauge.h"

#include "widgets/TGauge.h"

AccessibleGauge::AccessibleGauge(TGauge* gauge) : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

TGauge* AccessibleGauge::gauge() const {
    return static_cast<TGauge*>(widget());
}

void* AccessibleGauge::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleGauge::text(QAccessible::Text type) const {
    if (type == QAccessible::Value)
        return QStringLiteral("%1%").arg(gauge()->progress());
    return QAccessibleWidget::text(type);
}

QVariant AccessibleGauge::currentValue() const {
    return gauge()->progress();
}

QVariant AccessibleGauge::maximumValue() const {
    return 100;
}

QVariant AccessibleGauge::minimumValue() const {
    return 0;
}

QVariant AccessibleGauge::minimumStepSize() const {
    return 1;
}
