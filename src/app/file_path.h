#pragma once
// A path as the tool's file functions take it: UTF-8 on every system (Windows opens it as UTF-16),
// never the ANSI code page, which loses every letter outside it.
#include <QString>
#include <string>

inline std::string filePathOf(const QString& path) {
    return path.toStdString();
}
