#pragma once
// Where a backup goes: "sim-20261209-143005" and the sets' extensions in the backup directory. A
// second backup within the same second gets "-2", "-3", …, so none is ever overwritten.
#include <QDateTime>
#include <QString>
#include <string>
#include <vector>

// The path without extension; none of its files exists yet.
QString freeBackupStem(const QString& directory, const QDateTime& when,
                       const std::vector<std::string>& extensions);
