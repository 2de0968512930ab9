#pragma once
// The phone's settings that an exchange changes and other programs rely on: the character set
// (AT+CSCS), the message format (AT+CMGF) and the error codes (AT+CMEE). What the phone said of
// them before the exchange changed them is kept, so that the end of the exchange can put back
// exactly what it changed and nothing else.
#include "phone/final_answers.h"

#include <array>
#include <optional>
#include <string>

class FoundSettings {
public:
    enum class Setting { Charset, MessageFormat, ErrorCodes };

    // Takes the values the phone reported ("+CSCS: "GSM"", "+CMGF: 1", "+CMEE: 0"); the first
    // report of each counts, as later ones may follow the exchange's own change.
    void takeFrom(const final_answers::Answer& answer);
    // The value the exchange set, as the command gives it: "\"UCS2\"", "0".
    void changed(Setting setting, std::string value);
    // "AT+CSCS="GSM";+CMGF=1" and CR: one command line that puts back each setting changed from a
    // value the phone reported; empty when there is none.
    std::string restoreCommand() const;
    // The restore command was carried out.
    void putBack();

private:
    struct Value {
        std::optional<std::string> found;
        std::optional<std::string> set;
    };
    std::array<Value, 3> m_values;
};
