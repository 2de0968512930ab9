#pragma once
// The fixed Czech texts of the phone exchanges (UTF-8; shown through the widget layer).

namespace phone_messages {

inline constexpr const char* kPortNotOpen = "POZOR - sériový port není otevřen !";
inline constexpr const char* kPhoneSilent = "POZOR - telefon nekomunikuje !";
inline constexpr const char* kNumbersMalformed = "POZOR - telefonní čísla nejsou ve správném formátu !";
inline constexpr const char* kWorking = "Moment prosím, pracuji";

// %1: the command, as sent.
inline constexpr const char* kCommandRefused = "POZOR - telefon odmítl příkaz %1 !";
// %1: the positions the phone did not confirm or could not read, as "5, 6".
inline constexpr const char* kWriteUnconfirmed = "POZOR - telefon nepotvrdil zápis na pozice: %1 !";
inline constexpr const char* kStoreUnconfirmed = "POZOR - telefon nepotvrdil uložení SMS na pozice: %1 !";
inline constexpr const char* kDeleteUnconfirmed = "POZOR - telefon nepotvrdil smazání SMS na pozicích: %1 !";
inline constexpr const char* kReadFailed = "POZOR - telefon neodpověděl na čtení pozic: %1 !";
// %1: the empty positions, as "5, 6".
inline constexpr const char* kNoConfiguration = "POZOR - na SIM není uložena konfigurace (pozice %1) !";

// The SIM's PIN: the dialog's texts, and what the phone said of it.
inline constexpr const char* kPinAsked =
    "Karta SIM v telefonu je zamčená.\nZadejte její PIN (4 až 8 číslic):";
inline constexpr const char* kPinWrong =
    "Telefon tento PIN odmítl.\nZadejte správný PIN (po třetím chybném pokusu se karta SIM zablokuje):";
inline constexpr const char* kPinRepeated = "Tento PIN už telefon odmítl.\nZadejte jiný PIN (4 až 8 číslic):";
// %1: what the phone waits for, as AT+CPIN? says it ("PH-SIM PIN").
inline constexpr const char* kSimWaits = "POZOR - telefon čeká na heslo %1 !";

} // namespace phone_messages
