#pragma once
// setting.ini: line 1 the chosen port ("COM1".."COM6", a device's absolute path, on Windows a port's
// path "\\.\COMn", "reader:" and a card reader's name, or a single space), line 2 the SMS-centre
// number. No sections and no keys: the meaning of a line is its position. A copy that knows
// COM1..COM6 only reads a path or a reader as no port, so both can share the file.
#include <string>

inline constexpr const char* kDefaultSmscNumber = "+420603052000";

struct StoredSettings {
    int portNumber = 0;     // 1..6, or 0 when line 1 names no COM port
    std::string devicePath; // a device named on line 1; it wins over portNumber when writing
    std::string smscNumber;
    std::string cardReader; // a card reader named on line 1; it wins over the port when writing
};

class SettingsFile {
public:
    explicit SettingsFile(const std::string& directory);
    const std::string& path() const { return m_path; }

    // A missing file is created empty and reads as no port and the default centre number.
    // Raises platform::IoError.
    StoredSettings read() const;
    // The same without creating a missing file, for a caller that must never write it.
    StoredSettings readExisting() const;
    // No port writes the single space. The old file is replaced only once the new one is complete.
    // Raises platform::IoError.
    void write(const StoredSettings& settings) const;

private:
    std::string m_path;
};

// Exact, case-sensitive comparison with "COM1".."COM6".
int portNumberOfLine(const std::string& line);
std::string portLineOf(int portNumber);
