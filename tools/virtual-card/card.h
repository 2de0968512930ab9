#pragma once
// The SIM's command side: takes one command APDU and gives back the response, data and status word,
// as a 2G SIM answers class A0 under T=0. A USIM without GSM access refuses class A0 altogether.
// No timing and no I/O here: a changed record is handed to `recordsChanged`, which says whether it
// was kept.
#include "card_files.h"
#include "chv.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace vcard {

struct CardSetup {
    CardSizes sizes;
    std::string pin;
    int pinTries = Chv1::maxTries;
    std::string puk = "12345678";
    int pukTries = Chv1::maxUnblockTries;
    bool usimOnly = false;
};

using Bytes = std::vector<std::uint8_t>;

class Card {
public:
    Card(const CardSetup& setup, std::function<bool(const CardFiles&)> recordsChanged);

    CardFiles& files() { return m_files; }

    Bytes answer(std::span<const std::uint8_t> apdu);
    // Power-off and reset alike: the verification, the selection and any pending response are gone.
    void reset();

    // What the card answers to "get ATR": T=0 only, no historical bytes.
    static Bytes atr() { return {0x3B, 0x80, 0x00}; }

private:
    struct Command {
        std::uint8_t ins, p1, p2, p3;
        std::span<const std::uint8_t> data;
    };

    Bytes gsm(const Command& command);
    Bytes select(const Command& command);
    Bytes getResponse(const Command& command);
    Bytes status(const Command& command);
    Bytes readBinary(const Command& command);
    Bytes record(const Command& command, bool update);
    Bytes verify(const Command& command);
    Bytes unblock(const Command& command);

    Bytes directoryHeader(const CardFile& directory) const;
    // The record a READ or UPDATE RECORD names, moving the record pointer; 0 when out of range.
    int recordNumber(const CardFile& file, std::uint8_t p1, std::uint8_t mode);
    Bytes updateRecord(CardFile& file, int number, std::span<const std::uint8_t> data);

    CardFiles m_files;
    Chv1 m_chv;
    bool m_usimOnly;
    std::function<bool(const CardFiles&)> m_recordsChanged;
    Bytes m_pending;  // what GET RESPONSE hands out, after a SELECT
    int m_record = 0; // the record pointer of the current EF; 0: none
};

} // namespace vcard
