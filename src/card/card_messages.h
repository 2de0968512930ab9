#pragma once
// The fixed Czech texts of the exchanges with a SIM in a card reader (UTF-8).

namespace card_messages {

// %1: the positions, as "5, 6".
inline constexpr const char* kWriteUnconfirmed = "POZOR - karta SIM nepotvrdila zápis na pozice: %1 !";
inline constexpr const char* kStoreUnconfirmed = "POZOR - karta SIM nepotvrdila uložení SMS na pozice: %1 !";
inline constexpr const char* kDeleteUnconfirmed =
    "POZOR - karta SIM nepotvrdila smazání SMS na pozicích: %1 !";
inline constexpr const char* kReadFailed = "POZOR - z karty SIM nelze přečíst pozice: %1 !";

// The alarm reads its SIM with GSM commands only; a USIM without GSM access answers none of them.
inline constexpr const char* kNoGsmAccess =
    "POZOR - karta SIM nepřijímá příkazy GSM (karta USIM bez přístupu GSM), alarm ji nepřečte !\n"
    "Na kartu se nic nezapsalo.";
// %1: the file, as "7F10"; %2: the card's status word, as "9404".
inline constexpr const char* kFileRefused = "POZOR - karta SIM nemá soubor %1 (stav %2) !";

// The causes quoted under the box.
inline constexpr const char* kNameTooLong = "jméno se do záznamu na kartě nevejde";
inline constexpr const char* kNumberTooLong = "číslo má víc než 20 číslic";
inline constexpr const char* kNumberNotDialable = "číslo obsahuje jiné znaky než číslice";
inline constexpr const char* kNotAsWritten = "karta uložila jiný obsah, než byl zapsán";
// %1: the card's status word.
inline constexpr const char* kCardStatus = "stav karty %1";

// The PIN: the dialog's texts, and what the card said of it.
inline constexpr const char* kPinAsked = "Karta SIM je zamčená.\nZadejte její PIN (4 až 8 číslic):";
inline constexpr const char* kPinWrong = "Karta SIM tento PIN odmítla.\nZadejte správný PIN:";
inline constexpr const char* kPinRepeated =
    "Tento PIN už karta SIM odmítla.\nZadejte jiný PIN (4 až 8 číslic):";
inline constexpr const char* kPinLastTry = "Karta SIM přijme už jen jeden pokus: po chybném PINu se "
                                           "zablokuje.\nZadejte PIN, jen jste-li si jím jisti:";
inline constexpr const char* kLastTryNotGiven =
    "POZOR - karta SIM přijme už jen jeden pokus o PIN: PIN se pošle jen s volbou --last-try !";

} // namespace card_messages
