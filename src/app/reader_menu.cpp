#include "app/reader_menu.h"

#include "app/card_reader_list.h"

#include <algorithm>
#include <QAction>
#include <QMenu>

namespace {

const QString kReaderCaption = QString::fromUtf8("Čtečka karet – %1");
const QString kNoReader = QString::fromUtf8("Čtečka karet – žádná");

} // namespace

ReaderMenu::ReaderMenu(QMenu& menu, const CardReaderList& readers, ChooseReader choose, TellWhy tellWhy)
    : QObject(&menu), m_menu(menu), m_readers(readers), m_choose(std::move(choose)),
      m_tellWhy(std::move(tellWhy)) {
    connect(&m_menu, &QMenu::aboutToShow, this, &ReaderMenu::refresh);
}

void ReaderMenu::refresh() {
    qDeleteAll(m_added);
    m_added.clear();
    m_added << m_menu.addSeparator();
    const platform::ReaderList list = m_readers.present();
    std::vector<std::string> names = list.names;
    // A reader unplugged after it was chosen still shows that it is the chosen one.
    if (!m_checked.empty() && std::find(names.begin(), names.end(), m_checked) == names.end())
        names.push_back(m_checked);
    for (const std::string& reader : names) {
        QAction& item = addItem(kReaderCaption.arg(QString::fromStdString(reader)));
        item.setCheckable(true);
        item.setData(QString::fromStdString(reader));
        item.setToolTip(QString::fromUtf8("Karta SIM ve čtečce karet, bez telefonu"));
        connect(&item, &QAction::triggered, this, [this, &item, reader] {
            // The check mark follows the choice, not the click.
            item.setChecked(!item.isChecked());
            m_choose(reader);
        });
    }
    if (names.empty()) {
        const std::string why = platform::smartCardFaultText(
            list.error.fault == platform::SmartCardFault::None
                ? platform::SmartCardError{platform::SmartCardFault::NoReaders, 0}
                : list.error,
            {});
        QAction& item = addItem(kNoReader);
        item.setToolTip(QString::fromStdString(why));
        connect(&item, &QAction::triggered, this, [this, why] { m_tellWhy(why); });
    }
    updateChecks();
}

QAction& ReaderMenu::addItem(const QString& caption) {
    QAction* item = m_menu.addAction(caption);
    m_added << item;
    return *item;
}

void ReaderMenu::checkReader(const std::string& reader) {
    m_checked = reader;
    updateChecks();
}

void ReaderMenu::updateChecks() {
    for (QAction* item : m_added)
        if (item->isCheckable())
            item->setChecked(!m_checked.empty() && item->data().toString().toStdString() == m_checked);
}
