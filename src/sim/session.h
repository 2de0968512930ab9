#pragma once
// One exchange with a SIM, in SIM terms: what the three sets need of any way to a SIM (the phone
// with AT commands, a card reader with APDUs). A write counts once the SIM confirmed it, a read once
// the SIM gave the position; what was not is told once, at the end, naming the positions with the
// device's own code for each. A way in may hold writes back to send them together: they are all
// confirmed or named by finish().
#include "sim/records.h"

#include <optional>

namespace sim {

// Which box finish() tells, should some positions not have gone well.
enum class Unfinished { Write, Store, Delete, Read };

// A way in's words for each box, the positions in their "%1" (UTF-8).
struct UnfinishedTexts {
    const char* write;
    const char* store;
    const char* erase;
    const char* read;

    constexpr const char* of(Unfinished box) const {
        switch (box) {
        case Unfinished::Write:
            return write;
        case Unfinished::Store:
            return store;
        case Unfinished::Delete:
            return erase;
        case Unfinished::Read:
            break;
        }
        return read;
    }
};

class Session {
public:
    virtual ~Session() = default;

    // Unlocks the SIM (its PIN asked through the prompts the session was given) and selects the
    // store. False, having told why, when nothing more may be sent: a PIN not given, a blocked
    // SIM, a refusal, a device that does not answer.
    virtual bool open(Store store) = 0;

    // Nothing when the position could not be read (noted for the end); an empty position reads as
    // an empty entry or a free record.
    virtual std::optional<Entry> readEntry(int position) = 0;
    virtual std::optional<Message> readMessage(int position) = 0;

    // An entry with an empty number empties its position.
    virtual void writeEntry(int position, const Entry& entry) = 0;
    // Position n of the alarm's messages holds this message afterwards.
    virtual void writeMessage(int position, const Message& message) = 0;
    virtual void eraseMessage(int position) = 0;

    // A position read whose content is of no use: counted as not read, with the cause.
    virtual void unreadable(int position, const std::string& cause) = 0;

    // Tells in one box which positions were not confirmed or read. True when every one went well.
    virtual bool finish(Unfinished box) = 0;
    // Puts back what the session changed in the device other than the SIM's content; nothing when
    // the line has gone. Errors of the line go to the caller.
    virtual void close() = 0;
};

} // namespace sim
