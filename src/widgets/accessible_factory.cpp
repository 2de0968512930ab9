#include "widgets/accessible_factory.h"

#include "widgets/accessible_gauge.h"
#include "widgets/accessible_scroll_text.h"
#include "widgets/accessible_web_label.h"
#include "widgets/TGauge.h"
#include "widgets/VrScrollText.h"
#include "widgets/VrWebLabel.h"

namespace widgets {

// Asked once for every class of an object's hierarchy, so the exact class name decides.
QAccessibleInterface* accessibleFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TGauge"))
        return new AccessibleGauge(static_cast<TGauge*>(object));
    if (className == QLatin1String("VrWebLabel"))
        return new AccessibleWebLabel(static_cast<VrWebLabel*>(object));
    if (className == QLatin1String("VrScrollText"))
        return new AccessibleScrollText(static_cast<VrScrollText*>(object));
    return nullptr;
}

} // namespace widgets
