#pragma once
// Screen-reader views of the widget set's own controls; installed once by the application.
#include <QAccessibleInterface>

namespace widgets {

QAccessibleInterface* accessibleFactory(const QString& className, QObject* object);

} // namespace widgets
