#pragma once
// The menu "Zálohy": the backups the pages' writes made, newest first, each with its date and
// time, its set and what tells its SIM apart, listed afresh whenever the menu opens, so the one a
// write made a moment ago is there. Choosing one hands it over to be loaded into its page. The
// fixed entries below them stay.
#include "backup/backup_folder.h"
#include "cli/alarm_set.h"

#include <functional>
#include <memory>
#include <QList>
#include <QObject>
#include <vector>

class QAction;
class QMenu;

class BackupMenu : public QObject {
    Q_OBJECT
public:
    using Choose = std::function<void(const BackupFile& backup)>;

    // `sets` say what each kind of backup holds; a backup of no set among them is not listed.
    BackupMenu(QMenu& menu, const BackupFolder& folder, std::vector<std::unique_ptr<AlarmSet>> sets,
               Choose choose);

    void refresh();

private:
    const AlarmSet* setOf(const std::string& extension) const;
    QString captionOf(const BackupFile& backup, const AlarmSet& set) const;
    QAction* addItem(const QString& caption);
    void insert(QAction* action);

    QMenu& m_menu;
    const BackupFolder& m_folder;
    std::vector<std::unique_ptr<AlarmSet>> m_sets;
    Choose m_choose;
    QList<QAction*> m_added; // the backups and the separator below them, rebuilt on every refresh
};
