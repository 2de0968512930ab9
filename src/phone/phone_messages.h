#pragma once
// The fixed Czech texts of the phone exchanges (UTF-8; shown through the widget layer).

namespace phone_messages {

inline constexpr const char* kPortNotOpen = "POZOR - sériový port není otevřen !";
inline constexpr const char* kPhoneSilent = "POZOR - telefon nekomunikuje !";
inline constexpr const char* kNumbersMalformed = "POZOR - telefonní čísla nejsou ve správném formátu !";
inline constexpr const char* kWorking = "Moment prosím, pracuji";

// %1: the command, as sent.
inline constexpr const char* kCommandRefused = "POZOR - telefon odmítl příkaz %1 !";
// %1: the positions the phone did not confirm, as "5, 6".
inline constexpr const char* kWriteUnconfirmed = "POZOR - telefon nepotvrdil zápis na pozice: %1 !";
inline constexpr const char* kStoreUnconfirmed = "POZOR - telefon nepotvrdil uložení SMS na pozice: %1 !";
inline constexpr const char* kDeleteUnconfirmed = "POZOR - telefon nepotvrdil smazání SMS na pozicích: %1 !";

} // namespace phone_messages
