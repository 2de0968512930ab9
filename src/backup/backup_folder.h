#pragma once
// The window's copies of what its writes replaced: a file per set in the set's own format, named as
// the command line names its backups ("sim-20261209-143005.num", "-2" for a second one in the same
// second), the newest kKept kept. Files of other names are not backups: never listed, never removed.
#include <optional>
#include <QDateTime>
#include <QString>
#include <string>
#include <vector>

struct BackupFile {
    QString path;
    QDateTime when; // from its name
    std::string extension;
};

class BackupFolder {
public:
    static constexpr std::size_t kKept = 200;

    explicit BackupFolder(QString path) : m_path(std::move(path)) {}
    const QString& path() const { return m_path; }

    // Newest first; none when the folder does not exist yet.
    std::vector<BackupFile> list() const;

    // Saves the set's lines as its newest backup, then removes the oldest beyond kKept. Nothing is
    // saved when every line is empty (there is nothing to lose) or when the set's newest backup
    // holds the same lines. The path saved, if any. Raises std::runtime_error (platform::IoError
    // for the file) when the folder or the file cannot be written.
    std::optional<QString> save(const std::string& extension, const std::vector<std::string>& lines,
                                const QDateTime& when);

private:
    bool sameAsNewest(const std::string& extension, const std::vector<std::string>& lines) const;
    void removeOldest() const;

    QString m_path;
};
