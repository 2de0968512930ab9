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

std::optional<std::vector<std::string>>
loadLinesFromChosenFile(UserDialogs& dialogs, const FileDialogSpec& spec, std::size_t count) {
    const auto chosen = dialogs.openFileName(spec);
    if (!chosen)
        return std::nullopt;
    auto lines = platform::readTextLines(filePathOf(*chosen), count);
    lines.resize(count);
    return lines;
}
