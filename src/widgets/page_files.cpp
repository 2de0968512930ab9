#include "widgets/page_files.h"

#include "platform/text_file.h"

bool saveLinesToChosenFile(UserDialogs& dialogs, const FileDialogSpec& spec,
                           const std::vector<std::string>& lines) {
    const auto chosen = dialogs.saveFileName(spec);
    if (!chosen)
        return false;
    if (platform::fileExists(filePathOf(*chosen)) && !dialogs.askYesNo(overwriteQuestion(*chosen)))
        return false;
    platform::writeTextLines(filePathOf(*chosen), lines);
    return true;
}

std::vector<std::string> loadLines(const QString& path, std::size_t count) {
    auto lines = platform::readTextLines(filePathOf(path), count);
    lines.resize(count);
    return lines;
}
