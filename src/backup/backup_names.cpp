#include "backup/backup_names.h"

#include <algorithm>
#include <QDir>
#include <QFileInfo>

QString freeBackupStem(const QString& directory, const QDateTime& when,
                       const std::vector<std::string>& extensions) {
    const QString base =
        QDir(directory).filePath(QStringLiteral("sim-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const auto taken = [&](const QString& stem) {
        return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& extension) {
            return QFileInfo::exists(stem + '.' + QString::fromStdString(extension));
        });
    };
    QString stem = base;
    for (int copy = 2; taken(stem); ++copy)
        stem = base + QStringLiteral("-%1").arg(copy);
    return stem;
}
