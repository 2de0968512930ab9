#pragma once
// Saving and loading a page's set as a small text file: the dialog, the overwrite question, and
// the text-file rules. Saving replaces the old file only once the new one is complete.
#include "app/file_path.h"
#include "widgets/user_dialogs.h"

#include <optional>
#include <string>
#include <vector>

// False when the user cancelled the dialog or answered No; raises platform::IoError on failure.
bool saveLinesToChosenFile(UserDialogs& dialogs, const FileDialogSpec& spec,
                           const std::vector<std::string>& lines);

// The file's first `count` lines, a missing line as empty text. Raises platform::IoError when the
// file cannot be read.
std::vector<std::string> loadLines(const QString& path, std::size_t count);
