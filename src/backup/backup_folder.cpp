#include "backup/backup_folder.h"

#include "app/file_path.h"
#include "backup/backup_names.h"
#include "backup/backup_texts.h"
#include "platform/text_file.h"
#include "sim/position_report.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <stdexcept>

namespace {

const QString kTimeFormat = QStringLiteral("yyyyMMdd-HHmmss");

struct Found {
    BackupFile file;
    int copy = 1;       // "-2" in the name: the second of its second
    QDateTime modified; // tells apart two sets backed up in the same second
};

bool newerThan(const Found& a, const Found& b) {
    if (a.file.when != b.file.when)
        return a.file.when > b.file.when;
    if (a.copy != b.copy)
        return a.copy > b.copy;
    return a.modified > b.modified;
}

std::vector<Found> found(const QString& folder) {
    static const QRegularExpression name(QStringLiteral("^sim-(\\d{8}-\\d{6})(?:-(\\d+))?\\.([a-z]+)$"));
    const QDir dir(folder);
    std::vector<Found> backups;
    for (const QFileInfo& file : dir.entryInfoList(QDir::Files, QDir::Name)) {
        const auto match = name.match(file.fileName());
        const QDateTime when = QDateTime::fromString(match.captured(1), kTimeFormat);
        if (!match.hasMatch() || !when.isValid())
            continue;
        const int copy = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
        backups.push_back(
            {{file.filePath(), when, match.captured(3).toStdString()}, copy, file.lastModified()});
    }
    std::stable_sort(backups.begin(), backups.end(), newerThan);
    return backups;
}

} // namespace

std::vector<BackupFile> BackupFolder::list() const {
    std::vector<BackupFile> files;
    for (const Found& each : found(m_path))
        files.push_back(each.file);
    return files;
}

std::optional<QString> BackupFolder::save(const std::string& extension, const std::vector<std::string>& lines,
                                          const QDateTime& when) {
    const bool empty =
        std::all_of(lines.begin(), lines.end(), [](const std::string& line) { return line.empty(); });
    if (empty || sameAsNewest(extension, lines))
        return std::nullopt;
    if (!QDir().mkpath(m_path))
        throw std::runtime_error(sim::filledIn(backup_texts::kNoFolder, filePathOf(m_path)));
    const QString path = freeBackupStem(m_path, when, {extension}) + '.' + QString::fromStdString(extension);
    platform::writeTextLines(filePathOf(path), lines);
    removeOldest();
    return path;
}

bool BackupFolder::sameAsNewest(const std::string& extension, const std::vector<std::string>& lines) const {
    for (const BackupFile& file : list())
        if (file.extension == extension) {
            auto held = platform::readTextLines(filePathOf(file.path), lines.size());
            held.resize(lines.size());
            return held == lines;
        }
    return false;
}

// A backup that cannot be removed stays: that loses nothing, and the next save tries again.
void BackupFolder::removeOldest() const {
    const std::vector<Found> backups = found(m_path);
    for (std::size_t left = backups.size(); left > kKept; --left)
        QFile::remove(backups[left - 1].file.path);
}
