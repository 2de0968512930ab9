#include "card/card_sim.h"

#include "card/adn_record.h"
#include "card/card_messages.h"
#include "card/sms_record.h"
#include "sim/prompts.h"
#include "sim/sim_texts.h"

#include <cstdio>
#include <utility>

namespace card {

namespace {

constexpr sim::PinTexts kPinTexts{card_messages::kPinAsked, card_messages::kPinWrong,
                                  card_messages::kPinRepeated, sim_texts::kPinForm};

std::string hex4(std::uint16_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", unsigned(value));
    return text;
}

const char* causeOf(AdnFault fault) {
    switch (fault) {
    case AdnFault::NameTooLong:
        return card_messages::kNameTooLong;
    case AdnFault::NumberTooLong:
        return card_messages::kNumberTooLong;
    case AdnFault::NumberNotDialable:
    case AdnFault::None:
        break;
    }
    return card_messages::kNumberNotDialable;
}

constexpr sim::UnfinishedTexts kBoxes{card_messages::kWriteUnconfirmed, card_messages::kStoreUnconfirmed,
                                      card_messages::kDeleteUnconfirmed, card_messages::kReadFailed};

} // namespace

CardSim::CardSim(std::shared_ptr<platform::SmartCardLink> link, platform::Pause& pause, sim::Prompts& prompts,
                 Options options)
    : m_link(std::move(link)), m_card(*m_link, pause), m_prompts(prompts), m_options(std::move(options)),
      m_pins(prompts, kPinTexts) {}

void CardSim::noteLink() {
    if (!m_card.linkLost() || std::exchange(m_gone, true))
        return;
    if (m_options.linkLost)
        m_options.linkLost();
}

std::string CardSim::cause() {
    if (m_card.linkLost())
        return platform::smartCardFaultText(m_card.linkError(), m_options.reader);
    return sim::filledIn(card_messages::kCardStatus, hex4(m_card.status()));
}

bool CardSim::refusedFile(std::uint16_t fid) {
    noteLink();
    if (m_gone)
        m_prompts.warn(cause());
    else if (fid == kMasterFile && m_card.status() == kWrongClass)
        m_prompts.warn(card_messages::kNoGsmAccess);
    else
        m_prompts.warn(
            sim::filledIn(sim::filledIn(card_messages::kFileRefused, hex4(fid)), hex4(m_card.status())));
    return false;
}

// One level per SELECT, from the MF, as the alarm goes.
std::optional<FileHeader> CardSim::selectFile(sim::Store store) {
    const std::uint16_t path[] = {kMasterFile, kTelecom,
                                  store == sim::Store::Phonebook ? kPhonebook : kMessages};
    std::optional<FileHeader> header;
    for (const std::uint16_t fid : path)
        if (!(header = m_card.select(fid))) {
            refusedFile(fid);
            return std::nullopt;
        }
    return header;
}

// The MF's header tells CHV1's tries without spending one.
std::optional<int> CardSim::triesLeft() {
    const auto mf = m_card.select(kMasterFile);
    if (!mf)
        return std::nullopt;
    return mf->chv1Enabled ? mf->chv1Tries : -1;
}

bool CardSim::open(sim::Store store) {
    if (m_opened == store)
        return true;
    m_opened.reset();
    const auto file = selectFile(store);
    if (!file)
        return false;
    if (!file->linearFixed || file->records() == 0) {
        m_prompts.warn(sim::filledIn(card_messages::kFileRefused, hex4(file->fid)));
        return false;
    }
    m_file = *file;
    // Record 1 tells whether the PIN must be given: a card whose CHV1 is off, or already verified,
    // lets it be read.
    if (!m_card.readRecord(1, m_file.recordLength)) {
        if (m_card.linkLost() || m_card.status() != kAccessDenied)
            return refusedFile(m_file.fid);
        if (!unlock() || !selectFile(store))
            return false;
    }
    m_opened = store;
    return true;
}

bool CardSim::unlock() {
    bool refused = false;
    for (;;) {
        const auto tries = triesLeft();
        if (!tries)
            return refusedFile(kMasterFile);
        if (*tries < 0)
            return refusedFile(m_file.fid); // CHV1 off, and still no access
        if (*tries == 0) {
            m_prompts.warn(sim_texts::kSimBlocked);
            return false;
        }
        if (*tries == 1 && !m_options.mayUseLastTry) {
            m_prompts.warn(card_messages::kLastTryNotGiven);
            return false;
        }
        const auto pin = *tries == 1 ? m_pins.ask(card_messages::kPinLastTry, 1)
                         : refused   ? m_pins.askAfterRefusal(*tries)
                                     : m_pins.askFirst(*tries);
        if (!pin)
            return false;
        const auto status = m_card.verifyChv1(*pin);
        if (!status)
            return refusedFile(kMasterFile);
        if (*status == kOk)
            return true;
        if (*status == kChvBlocked) {
            m_prompts.warn(sim_texts::kSimBlocked);
            return false;
        }
        if (*status != kAccessDenied)
            return refusedFile(kMasterFile);
        m_pins.refused(*pin);
        refused = true;
    }
}

std::optional<std::vector<std::uint8_t>> CardSim::read(int position) {
    if (m_gone) {
        m_report.answered(position, false, cause());
        return std::nullopt;
    }
    auto record = m_card.readRecord(position, m_file.recordLength);
    noteLink();
    m_report.answered(position, record.has_value(), record ? std::string() : cause());
    return record;
}

void CardSim::write(int position, const std::vector<std::uint8_t>& record) {
    if (m_gone || !m_card.updateRecord(position, record)) {
        noteLink();
        m_report.answered(position, false, cause());
        return;
    }
    const auto kept = m_card.readRecord(position, m_file.recordLength);
    noteLink();
    if (!kept)
        m_report.answered(position, false, cause());
    else
        m_report.answered(position, *kept == record, *kept == record ? "" : card_messages::kNotAsWritten);
}

std::optional<sim::Entry> CardSim::readEntry(int position) {
    const auto record = read(position);
    if (!record)
        return std::nullopt;
    return decodeAdn(*record);
}

std::optional<sim::Message> CardSim::readMessage(int position) {
    const auto record = read(position);
    if (!record)
        return std::nullopt;
    return decodeSms(*record);
}

void CardSim::writeEntry(int position, const sim::Entry& entry) {
    const AdnRecord record = encodeAdn(entry, m_file.recordLength);
    if (record.fault != AdnFault::None) {
        m_report.answered(position, false, causeOf(record.fault));
        return;
    }
    write(position, record.bytes);
}

// The alarm's positions are written straight: the card keeps no first-free rule.
void CardSim::writeMessage(int position, const sim::Message& message) {
    const auto record = encodeSms(message, m_file.recordLength);
    if (!record) {
        m_report.answered(position, false, sim_texts::kBrokenMessage);
        return;
    }
    write(position, *record);
}

void CardSim::eraseMessage(int position) {
    write(position, freeSms(m_file.recordLength));
}

void CardSim::unreadable(int position, const std::string& cause) {
    m_report.answered(position, false, cause);
}

// Each finish tells what went wrong since the last one.
bool CardSim::finish(sim::Unfinished box) {
    const auto told = std::exchange(m_report, {}).box(kBoxes.of(box));
    if (!told)
        return true;
    m_prompts.warn(*told);
    return false;
}

} // namespace card
