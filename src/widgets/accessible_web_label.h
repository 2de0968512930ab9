#pragma once
// The hyperlink label as a screen reader's link: named by its purpose, described by the address
// it opens, and opened by the reader's press action.
#include <QAccessibleWidget>

class VrWebLabel;

class AccessibleWebLabel : public QAccessibleWidget {
public:
    explicit AccessibleWebLabel(VrWebLabel* label);

    QString text(QAccessible::Text type) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    VrWebLabel* label() const;
};
