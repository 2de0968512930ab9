#include "card.h"

#include <algorithm>

namespace vcard {

namespace {

constexpr std::uint8_t gsmClass = 0xA0;
constexpr std::uint8_t uiccClass = 0x00;

// Status words: 9Fxx, 67xx and 6Bxx carry a length or nothing in their second byte.
enum Sw : std::uint16_t {
    Ok = 0x9000,
    ResponseReady = 0x9F00,
    NoEfSelected = 0x9400,
    OutOfRange = 0x9402,
    NotFound = 0x9404,
    Inconsistent = 0x9408,
    NoChv = 0x9802,
    AccessDenied = 0x9804,
    ChvContradiction = 0x9808,
    ChvBlocked = 0x9840,
    WrongLength = 0x6700,
    WrongParameters = 0x6B00,
    UnknownInstruction = 0x6D00,
    WrongClass = 0x6E00,
    TechnicalProblem = 0x6F00,
    UiccNotFound = 0x6A82,
};

Bytes sw(std::uint16_t word, std::size_t low = 0) {
    return {std::uint8_t(word >> 8), std::uint8_t((word & 0xFF) | low)};
}

Bytes withOk(Bytes data) {
    data.push_back(0x90);
    data.push_back(0x00);
    return data;
}

// T=0 sends P3 = 0 for 256 bytes out.
std::size_t expected(std::uint8_t p3) {
    return p3 == 0 ? 256 : p3;
}

Bytes outcome(Chv1::Outcome result) {
    switch (result) {
    case Chv1::Outcome::Right:
        return sw(Ok);
    case Chv1::Outcome::Wrong:
        return sw(AccessDenied);
    case Chv1::Outcome::Blocked:
        return sw(ChvBlocked);
    case Chv1::Outcome::Disabled:
        break;
    }
    return sw(ChvContradiction);
}

bool allowed(Access condition, const Chv1& chv) {
    return condition == Access::Always || (condition == Access::Chv1 && chv.satisfied());
}

enum RecordMode : std::uint8_t { Next = 0x02, Previous = 0x03, Absolute = 0x04 };

} // namespace

Card::Card(const CardSetup& setup, std::function<bool(const CardFiles&)> recordsChanged)
    : m_files(setup.sizes), m_chv(setup.pin, setup.pinTries, setup.puk, setup.pukTries),
      m_usimOnly(setup.usimOnly), m_recordsChanged(std::move(recordsChanged)) {}

void Card::reset() {
    m_chv.forget();
    m_files.selectMaster();
    m_pending.clear();
    m_record = 0;
}

Bytes Card::answer(std::span<const std::uint8_t> apdu) {
    if (apdu.size() < 5)
        return sw(WrongLength);
    const Command command{apdu[1], apdu[2], apdu[3], apdu[4], apdu.subspan(5)};
    if (apdu[0] == gsmClass && !m_usimOnly)
        return gsm(command);
    // A USIM without GSM access knows no file of the 2G tree.
    if (apdu[0] == uiccClass && m_usimOnly)
        return sw(command.ins == 0xA4 ? UiccNotFound : UnknownInstruction);
    return sw(WrongClass);
}

Bytes Card::gsm(const Command& command) {
    // A response waits for the GET RESPONSE right after its command, and for no other.
    if (command.ins != 0xC0)
        m_pending.clear();
    switch (command.ins) {
    case 0xA4:
        return select(command);
    case 0xC0:
        return getResponse(command);
    case 0xF2:
        return status(command);
    case 0xB0:
        return readBinary(command);
    case 0xB2:
        return record(command, false);
    case 0xDC:
        return record(command, true);
    case 0x20:
        return verify(command);
    case 0x2C:
        return unblock(command);
    default:
        return sw(UnknownInstruction);
    }
}

Bytes Card::directoryHeader(const CardFile& directory) const {
    Bytes header = m_files.directoryHeader(directory);
    if (!m_chv.enabled())
        header[13] |= 0x80;
    header[18] = std::uint8_t(0x80 | m_chv.triesLeft());
    header[19] = std::uint8_t(0x80 | m_chv.unblockTriesLeft());
    return header;
}

Bytes Card::select(const Command& command) {
    if (command.p1 != 0 || command.p2 != 0)
        return sw(WrongParameters);
    if (command.data.size() != command.p3)
        return sw(WrongLength);
    // A path is no file ID: the 2G card selects one level at a time.
    if (command.p3 != 2)
        return command.p3 > 2 && command.p3 % 2 == 0 ? sw(NotFound) : sw(WrongLength, 2);
    const CardFile* file = m_files.select(std::uint16_t(command.data[0] << 8 | command.data[1]));
    if (file == nullptr)
        return sw(NotFound);
    m_record = 0;
    m_pending = file->isDirectory() ? directoryHeader(*file) : CardFiles::fileHeader(*file);
    return sw(ResponseReady, m_pending.size());
}

Bytes Card::getResponse(const Command& command) {
    if (command.p1 != 0 || command.p2 != 0)
        return sw(WrongParameters);
    if (!command.data.empty() || expected(command.p3) != m_pending.size())
        return sw(WrongLength, m_pending.size());
    return withOk(m_pending);
}

Bytes Card::status(const Command& command) {
    if (command.p1 != 0 || command.p2 != 0)
        return sw(WrongParameters);
    Bytes header = directoryHeader(m_files.currentDirectory());
    if (!command.data.empty() || expected(command.p3) != header.size())
        return sw(WrongLength, header.size());
    return withOk(std::move(header));
}

Bytes Card::readBinary(const Command& command) {
    const CardFile* file = m_files.currentFile();
    if (file == nullptr)
        return sw(NoEfSelected);
    if (file->kind != FileKind::Transparent)
        return sw(Inconsistent);
    if (command.p1 & 0x80)
        return sw(WrongParameters);
    if (!allowed(file->read, m_chv))
        return sw(AccessDenied);
    const std::size_t offset = std::size_t(command.p1) << 8 | command.p2;
    if (offset >= file->content.size())
        return sw(OutOfRange);
    const std::size_t left = file->content.size() - offset;
    if (!command.data.empty() || expected(command.p3) > left)
        return sw(WrongLength, std::min<std::size_t>(left, 0xFF));
    const auto from = file->content.begin() + std::ptrdiff_t(offset);
    return withOk(Bytes(from, from + std::ptrdiff_t(expected(command.p3))));
}

int Card::recordNumber(const CardFile& file, std::uint8_t p1, std::uint8_t mode) {
    const int count = file.recordCount();
    int number = 0;
    if (mode == Absolute)
        number = p1 == 0 ? m_record : p1; // record 00: the current one
    else if (mode == Next)
        number = m_record == 0 ? 1 : m_record + 1;
    else
        number = m_record == 0 ? count : m_record - 1;
    if (number < 1 || number > count)
        return 0;
    m_record = number;
    return number;
}

Bytes Card::record(const Command& command, bool update) {
    CardFile* file = m_files.currentFile();
    if (file == nullptr)
        return sw(NoEfSelected);
    if (file->kind != FileKind::LinearFixed)
        return sw(Inconsistent);
    const bool relative = command.p2 == Next || command.p2 == Previous;
    if (!(command.p2 == Absolute || (relative && command.p1 == 0)))
        return sw(WrongParameters);
    if (command.data.size() != (update ? command.p3 : 0u) ||
        expected(command.p3) != std::size_t(file->recordLength))
        return sw(WrongLength, std::size_t(file->recordLength));
    if (!allowed(update ? file->update : file->read, m_chv))
        return sw(AccessDenied);
    const int number = recordNumber(*file, command.p1, command.p2);
    if (number == 0)
        return sw(OutOfRange);
    if (update)
        return updateRecord(*file, number, command.data);
    const auto from = file->content.begin() + std::ptrdiff_t(number - 1) * file->recordLength;
    return withOk(Bytes(from, from + file->recordLength));
}

// A record the card could not keep stays as it was, as after a failed write to its memory.
Bytes Card::updateRecord(CardFile& file, int number, std::span<const std::uint8_t> data) {
    const auto at = file.content.begin() + std::ptrdiff_t(number - 1) * file.recordLength;
    const Bytes before(at, at + file.recordLength);
    std::copy(data.begin(), data.end(), at);
    if (m_recordsChanged && !m_recordsChanged(m_files)) {
        std::copy(before.begin(), before.end(), at);
        return sw(TechnicalProblem);
    }
    return sw(Ok);
}

Bytes Card::verify(const Command& command) {
    if (command.p1 != 0 || (command.p2 != 0x01 && command.p2 != 0x02))
        return sw(WrongParameters);
    if (command.p2 == 0x02)
        return sw(NoChv); // the card has no CHV2
    if (command.p3 != 8 || command.data.size() != 8)
        return sw(WrongLength, 8);
    return outcome(m_chv.verify(command.data));
}

Bytes Card::unblock(const Command& command) {
    if (command.p1 != 0 || (command.p2 != 0x00 && command.p2 != 0x02))
        return sw(WrongParameters);
    if (command.p2 == 0x02)
        return sw(NoChv);
    if (command.p3 != 16 || command.data.size() != 16)
        return sw(WrongLength, 16);
    return outcome(m_chv.unblock(command.data.first(8), command.data.subspan(8)));
}

} // namespace vcard
