#pragma once
// The texts of a SIM exchange that do not depend on the way to the SIM (UTF-8).

namespace sim_texts {

// The cause quoted under the box for a message whose stored PDU is cut short or malformed.
inline constexpr const char* kBrokenMessage = "SMS na SIM je neúplná nebo poškozená";

// A PIN typed in a form no SIM takes.
inline constexpr const char* kPinForm = "PIN má 4 až 8 číslic.\nZadejte PIN karty SIM:";

// A SIM whose PIN is blocked: the tool takes no PUK.
inline constexpr const char* kSimBlocked =
    "POZOR - karta SIM je zablokovaná a žádá PUK !\nOdblokujte ji v mobilním telefonu.";

} // namespace sim_texts
