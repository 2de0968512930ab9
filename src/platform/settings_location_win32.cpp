#include "platform/settings_location.h"

#include "platform/wide_text.h"

#include <filesystem>
#include <shlobj.h>
#include <windows.h>

namespace platform {
namespace {

std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = utf8FromWide(path);
    ::CoTaskMemFree(path);
    return folder;
}

// Access rights and UAC decide, not the attributes: the only sure test is to create a file.
bool canCreateFilesIn(const std::string& directory) {
    const std::wstring probe = wideFromUtf8(directory) + L"\\alarmgsm-write-test.tmp";
    const HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

} // namespace

std::string executableDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return utf8FromWide(std::filesystem::current_path().wstring());
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return utf8FromWide(std::filesystem::path(path).parent_path().wstring());
}

std::string settingsDirectory() {
    WindowsSettingsLocationInputs inputs;
    inputs.executableDirectory = executableDirectory();
    inputs.executableDirectoryWritable = canCreateFilesIn(inputs.executableDirectory);
    inputs.appData = knownFolder(FOLDERID_RoamingAppData);
    for (const auto& id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86})
        if (std::string folder = knownFolder(id); !folder.empty())
            inputs.programFilesDirectories.push_back(folder);
    const std::string chosen = chooseWindowsSettingsDirectory(inputs);
    std::error_code ignored; // a folder that cannot be made shows up as a file error later
    std::filesystem::create_directories(std::filesystem::path(wideFromUtf8(chosen)), ignored);
    return chosen;
}

} // namespace platform
