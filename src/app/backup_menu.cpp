#include "app/backup_menu.h"

#include "app/file_path.h"
#include "app/full_stop.h"
#include "platform/text_file.h"

#include <QAction>
#include <QMenu>

namespace {

// The system's ampersand would underline the next letter of a name or a number.
QString shownAsIs(QString text) {
    return text.replace('&', QStringLiteral("&&"));
}

} // namespace

BackupMenu::BackupMenu(QMenu& menu, const BackupFolder& folder, std::vector<std::unique_ptr<AlarmSet>> sets,
                       Choose choose)
    : QObject(&menu), m_menu(menu), m_folder(folder), m_sets(std::move(sets)), m_choose(std::move(choose)) {
    m_menu.setToolTipsVisible(true);
    connect(&m_menu, &QMenu::aboutToShow, this, &BackupMenu::refresh);
}

void BackupMenu::refresh() {
    qDeleteAll(m_added);
    m_added.clear();
    for (const BackupFile& backup : m_folder.list()) {
        const AlarmSet* set = setOf(backup.extension);
        if (!set)
            continue;
        QAction* item = addItem(captionOf(backup, *set));
        item->setToolTip(backup.path);
        item->setStatusTip(backup.path);
        connect(item, &QAction::triggered, this, [this, backup] { m_choose(backup); });
    }
    if (m_added.isEmpty())
        addItem(QString::fromUtf8("Žádné zálohy"))->setEnabled(false);
    auto* const separator = new QAction(&m_menu);
    separator->setSeparator(true);
    insert(separator);
}

QAction* BackupMenu::addItem(const QString& caption) {
    auto* const item = new QAction(caption, &m_menu);
    insert(item);
    return item;
}

// Above the fixed entries, in the order listed.
void BackupMenu::insert(QAction* action) {
    m_menu.insertAction(m_menu.actions().value(m_added.size()), action);
    m_added << action;
}

const AlarmSet* BackupMenu::setOf(const std::string& extension) const {
    for (const auto& set : m_sets)
        if (set->extension() == extension)
            return set.get();
    return nullptr;
}

// "9. 12. 2026 14:30:05 – Telefonní čísla – +420603123456, +420777000111"
QString BackupMenu::captionOf(const BackupFile& backup, const AlarmSet& set) const {
    QString held;
    try {
        SetLines lines = platform::readTextLines(filePathOf(backup.path), set.lineCount());
        lines.resize(set.lineCount());
        held = set.summary(lines);
    } catch (const platform::IoError& error) {
        held = QString::fromStdString(withFullStop(error.what()));
    }
    return shownAsIs(QStringLiteral("%1 – %2 – %3")
                         .arg(backup.when.toString(QStringLiteral("d. M. yyyy H:mm:ss")), set.title(), held));
}
