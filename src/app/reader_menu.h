#pragma once
// The card readers in the Port menu, below the serial devices and listed afresh whenever the menu
// opens, so that a reader plugged in after start appears. At most one is checked: the one chosen.
// When none can be listed (no smart-card service, no reader), one item says so and, chosen, why.
#include <functional>
#include <QList>
#include <QObject>
#include <string>

class CardReaderList;
class QAction;
class QMenu;

class ReaderMenu : public QObject {
    Q_OBJECT
public:
    using ChooseReader = std::function<void(const std::string& reader)>;
    using TellWhy = std::function<void(const std::string& text)>;

    // Create it after the menu's other lists, so that its items come last.
    ReaderMenu(QMenu& menu, const CardReaderList& readers, ChooseReader choose, TellWhy tellWhy);

    void refresh();
    const std::string& checkedReader() const { return m_checked; }
    void checkReader(const std::string& reader);

private:
    QAction& addItem(const QString& caption);
    void updateChecks();

    QMenu& m_menu;
    const CardReaderList& m_readers;
    ChooseReader m_choose;
    TellWhy m_tellWhy;
    QList<QAction*> m_added; // the separator and the reader items, rebuilt on every refresh
    std::string m_checked;
};
