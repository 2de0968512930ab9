#pragma once
// The progress gauge as a screen reader's progress bar: its percentage as the value.
#include <QAccessibleWidget>

class TGauge;

class AccessibleGauge : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleGauge(TGauge* gauge);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    // The gauge shows what an exchange has done; nobody sets it from outside.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    TGauge* gauge() const;
};
