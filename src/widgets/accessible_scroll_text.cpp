#include "widgets/accessible_scroll_text.h"

#include "widgets/VrScrollText.h"

AccessibleScrollText::AccessibleScrollText(VrScrollText* line)
    : QAccessibleWidget(line, QAccessible::StaticText) {}

QString AccessibleScrollText::text(QAccessible::Text type) const {
    const QString own = QAccessibleWidget::text(type);
    if (type == QAccessible::Name && own.isEmpty())
        return static_cast<VrScrollText*>(widget())->text();
    return own;
}
