#include "card_files.h"

#include <algorithm>
#include <utility>

namespace vcard {

namespace {

constexpr std::uint16_t dfGsm = 0x7F20;
constexpr std::uint16_t dfTelecom = 0x7F10;
// Every EF_ADN record holds 14 bytes beside its name: number length, TON/NPI, 10 BCD bytes, CCP, EXT1.
constexpr int adnFixedBytes = 14;
constexpr int smsRecordLength = 176;
constexpr int smspRecordLength = 40; // 28 bytes and a 12-byte alpha tag, as common SIMs have

CardFile entry(std::uint16_t id, FileKind kind, std::uint16_t parent) {
    CardFile file;
    file.id = id;
    file.kind = kind;
    file.parent = parent;
    return file;
}

CardFile transparent(std::uint16_t id, std::uint16_t parent, Access read, std::vector<std::uint8_t> bytes) {
    CardFile file = entry(id, FileKind::Transparent, parent);
    file.read = read;
    file.content = std::move(bytes);
    return file;
}

// A blank record is all FF.
CardFile records(std::uint16_t id, const char* stateName, int length, int count) {
    return {.id = id,
            .kind = FileKind::LinearFixed,
            .parent = dfTelecom,
            .read = Access::Chv1,
            .update = Access::Chv1,
            .recordLength = length,
            .content = std::vector<std::uint8_t>(std::size_t(length) * std::size_t(count), 0xFF),
            .stateName = stateName};
}

void put16(std::vector<std::uint8_t>& bytes, std::size_t at, std::size_t value) {
    bytes[at] = std::uint8_t(value >> 8);
    bytes[at + 1] = std::uint8_t(value);
}

} // namespace

CardFiles::CardFiles(const CardSizes& sizes) {
    m_files = {
        entry(masterFile, FileKind::Master, 0),
        // ICCID 89420000000000000007 and IMSI 230019999999999, in the SIM's swapped BCD.
        transparent(0x2FE2, masterFile, Access::Always,
                    {0x98, 0x24, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x70}),
        entry(dfGsm, FileKind::Dedicated, masterFile),
        transparent(0x6F07, dfGsm, Access::Chv1, {0x08, 0x29, 0x03, 0x10, 0x99, 0x99, 0x99, 0x99, 0x99}),
        entry(dfTelecom, FileKind::Dedicated, masterFile),
        records(0x6F3A, "adn", sizes.nameBytes + adnFixedBytes, sizes.adnRecords),
        records(0x6F3C, "sms", smsRecordLength, sizes.smsRecords),
        records(0x6F42, "smsp", smspRecordLength, 1),
    };
}

const CardFile* CardFiles::find(std::uint16_t id) const {
    const auto it =
        std::find_if(m_files.begin(), m_files.end(), [id](const CardFile& f) { return f.id == id; });
    return it == m_files.end() ? nullptr : &*it;
}

CardFile* CardFiles::find(std::uint16_t id) {
    return const_cast<CardFile*>(std::as_const(*this).find(id));
}

bool CardFiles::reachable(const CardFile& target) const {
    const CardFile& current = currentDirectory();
    return target.id == current.id || target.id == masterFile || target.parent == current.id ||
           target.id == current.parent ||
           (target.isDirectory() && current.parent != 0 && target.parent == current.parent);
}

CardFile* CardFiles::select(std::uint16_t id) {
    CardFile* target = find(id);
    if (target == nullptr || !reachable(*target))
        return nullptr;
    if (target->isDirectory()) {
        m_directory = id;
        m_file = 0;
    } else {
        m_file = id;
    }
    return target;
}

void CardFiles::selectMaster() {
    m_directory = masterFile;
    m_file = 0;
}

std::vector<std::uint8_t> CardFiles::directoryHeader(const CardFile& dir) const {
    std::vector<std::uint8_t> header(22, 0x00);
    put16(header, 4, dir.id);
    header[6] = dir.kind == FileKind::Master ? 0x01 : 0x02;
    header[12] = 9;    // the GSM-specific bytes 14-22 follow
    header[13] = 0x33; // clock stop allowed, 3 V and 5 V; the caller sets b8 for a disabled CHV1
    header[14] = std::uint8_t(std::count_if(m_files.begin(), m_files.end(), [&](const CardFile& f) {
        return f.parent == dir.id && f.isDirectory();
    }));
    header[15] = std::uint8_t(std::count_if(m_files.begin(), m_files.end(), [&](const CardFile& f) {
        return f.parent == dir.id && !f.isDirectory();
    }));
    header[16] = 2; // CHV1 and UNBLOCK CHV1; no CHV2 and no administrative code
    return header;
}

std::vector<std::uint8_t> CardFiles::fileHeader(const CardFile& file) {
    std::vector<std::uint8_t> header(15, 0x00);
    put16(header, 2, file.content.size());
    put16(header, 4, file.id);
    header[6] = 0x04;
    header[8] = std::uint8_t(std::uint8_t(file.read) << 4 | std::uint8_t(file.update));
    header[9] = 0xFF;  // INCREASE never
    header[10] = 0xFF; // REHABILITATE and INVALIDATE never
    header[11] = 0x01; // not invalidated
    header[12] = 2;
    header[13] = file.kind == FileKind::LinearFixed ? 0x01 : 0x00;
    header[14] = std::uint8_t(file.recordLength);
    return header;
}

} // namespace vcard
