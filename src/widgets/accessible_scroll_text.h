#pragma once
// The running text line as a screen reader's label: its text as the name, whatever its position
// in the animation.
#include <QAccessibleWidget>

class VrScrollText;

class AccessibleScrollText : public QAccessibleWidget {
public:
    explicit AccessibleScrollText(VrScrollText* line);

    QString text(QAccessible::Text type) const override;
};
