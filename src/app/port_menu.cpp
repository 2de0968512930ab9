#include "app/port_menu.h"

#include "app/serial_port_list.h"
#include "platform/device_paths.h"

#include <QAction>
#include <QMenu>
#include <set>

namespace {

// "ttyUSB0 – FT232R USB UART (FTDI)": the name users know, then what the system knows of it.
QString captionOf(const SerialPortEntry& entry) {
    QString details = QString::fromStdString(entry.description);
    const QString maker = QString::fromStdString(entry.manufacturer);
    if (!maker.isEmpty())
        details = details.isEmpty() ? maker : QStringLiteral("%1 (%2)").arg(details, maker);
    const QString name = QString::fromStdString(platform::deviceName(entry.path));
    return details.isEmpty() ? name : name + QStringLiteral(" – ") + details;
}

} // namespace

PortMenu::PortMenu(QMenu& menu, QList<QAction*> comItems, ComTarget comTarget, const SerialPortList& ports,
                   ChooseDevice choose)
    : QObject(&menu), m_menu(menu), m_comItems(std::move(comItems)), m_comTarget(std::move(comTarget)),
      m_ports(ports), m_choose(std::move(choose)) {
    m_menu.setToolTipsVisible(true);
    connect(&m_menu, &QMenu::aboutToShow, this, &PortMenu::refresh);
}

void PortMenu::refresh() {
    qDeleteAll(m_added);
    m_added.clear();
    // A device that a COM item already stands for is not offered twice.
    std::set<std::string> shown;
    for (int n = 1; n <= m_comItems.size(); ++n) {
        const std::string target = m_comTarget(n);
        m_comItems[n - 1]->setToolTip(QString::fromStdString(target));
        shown.insert(target);
    }
    bool checkedListed = m_checked.empty();
    for (const SerialPortEntry& entry : m_ports.present()) {
        if (!shown.insert(platform::deviceTarget(entry.path)).second)
            continue;
        addDeviceItem(entry.path, captionOf(entry));
        checkedListed = checkedListed || platform::sameDevice(entry.path, m_checked);
    }
    // A device no enumeration knows (a pseudo-terminal) still shows that it is the open one.
    if (!checkedListed)
        addDeviceItem(m_checked, QString::fromStdString(platform::deviceName(m_checked)));
    updateChecks();
}

void PortMenu::addDeviceItem(const std::string& path, const QString& caption) {
    if (m_added.isEmpty())
        m_added << m_menu.addSeparator();
    QAction* item = m_menu.addAction(caption);
    item->setCheckable(true);
    item->setToolTip(QString::fromStdString(path));
    item->setData(QString::fromStdString(path));
    connect(item, &QAction::triggered, this, [this, item, path] {
        // The check marks follow successful opens only, not the click itself.
        item->setChecked(!item->isChecked());
        m_choose(platform::stableDevicePath(path));
    });
    m_added << item;
}

void PortMenu::checkDevice(const std::string& path) {
    m_checked = path;
    updateChecks();
}

void PortMenu::updateChecks() {
    for (QAction* item : m_added)
        if (item->isCheckable())
            item->setChecked(!m_checked.empty() &&
                             platform::sameDevice(item->data().toString().toStdString(), m_checked));
}
