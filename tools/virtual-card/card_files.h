#pragma once
// The card's files as a 2G SIM lays them out, MF 3F00 with DF_GSM and DF_TELECOM, and the one rule
// of selection: a file ID only, from the current DF to its children, its parent, the DFs beside it,
// the MF or itself. No I/O here.
#include <cstdint>
#include <string>
#include <vector>

namespace vcard {

enum class FileKind { Master, Dedicated, Transparent, LinearFixed };

// An access condition nibble of the file header.
enum class Access : std::uint8_t { Always = 0x0, Chv1 = 0x1, Never = 0xF };

struct CardFile {
    std::uint16_t id = 0;
    FileKind kind = FileKind::Transparent;
    std::uint16_t parent = 0; // the MF's is 0
    Access read = Access::Always;
    Access update = Access::Never;
    int recordLength = 0;              // linear fixed only
    std::vector<std::uint8_t> content; // a transparent file's bytes, or the records one after another
    std::string stateName;             // how the state file names its records; empty: not kept there

    bool isDirectory() const { return kind == FileKind::Master || kind == FileKind::Dedicated; }
    int recordCount() const { return recordLength > 0 ? int(content.size()) / recordLength : 0; }
};

struct CardSizes {
    int adnRecords = 100;
    int nameBytes = 14;
    int smsRecords = 20;
};

class CardFiles {
public:
    static constexpr std::uint16_t masterFile = 0x3F00;

    explicit CardFiles(const CardSizes& sizes);

    // Null when the ID is unknown or not reachable from the current DF; selection is left as it was.
    CardFile* select(std::uint16_t id);
    void selectMaster();

    const CardFile& currentDirectory() const { return *find(m_directory); }
    CardFile* currentFile() { return m_file == 0 ? nullptr : find(m_file); }
    CardFile* find(std::uint16_t id);
    const CardFile* find(std::uint16_t id) const;
    std::vector<CardFile>& all() { return m_files; }
    const std::vector<CardFile>& all() const { return m_files; }

    // What GET RESPONSE gives after a SELECT: 22 bytes for a DF (its CHV status filled in by the
    // caller), 15 for an EF.
    std::vector<std::uint8_t> directoryHeader(const CardFile& directory) const;
    static std::vector<std::uint8_t> fileHeader(const CardFile& file);

private:
    bool reachable(const CardFile& target) const;

    std::vector<CardFile> m_files;
    std::uint16_t m_directory = masterFile;
    std::uint16_t m_file = 0; // 0: no EF selected
};

} // namespace vcard
