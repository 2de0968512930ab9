#pragma once
// The Port menu beyond its fixed COM items: each COM item's tooltip names the device it stands
// for, and below a separator the machine's other serial devices, listed afresh whenever the menu
// opens, so that a cable plugged in after start appears. At most one device item is checked: the
// device last opened by its path.
#include <functional>
#include <QList>
#include <QObject>
#include <string>

class QAction;
class QMenu;
class SerialPortList;

class PortMenu : public QObject {
    Q_OBJECT
public:
    using ComTarget = std::function<std::string(int portNumber)>;
    using ChooseDevice = std::function<void(const std::string& path)>;

    // `comItems` are COM1..COM6 in order; `choose` gets the path to open and remember.
    PortMenu(QMenu& menu, QList<QAction*> comItems, ComTarget comTarget, const SerialPortList& ports,
             ChooseDevice choose);

    void refresh();
    const std::string& checkedDevice() const { return m_checked; }
    void checkDevice(const std::string& path);
    void clearDeviceCheck() { checkDevice({}); }

private:
    void addDeviceItem(const std::string& path, const QString& caption);
    void updateChecks();

    QMenu& m_menu;
    QList<QAction*> m_comItems;
    ComTarget m_comTarget;
    const SerialPortList& m_ports;
    ChooseDevice m_choose;
    QList<QAction*> m_added; // the separator and the device items, rebuilt on every refresh
    std::string m_checked;
};
