#pragma once
// The fixed Czech texts of the phone exchanges (UTF-8; shown through the widget layer).

namespace phone_messages {

inline constexpr const char* kPortNotOpen = "POZOR - sériový port není otevřen !";
inline constexpr const char* kPhoneSilent = "POZOR - telefon nekomunikuje !";
inline constexpr const char* kNumbersMalformed = "POZOR - telefonní čísla nejsou ve správném formátu !";
inline constexpr const char* kWorking = "Moment prosím, pracuji";

} // namespace phone_messages
