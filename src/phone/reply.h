#pragma once
// Reading the phone's reply at fixed 1-based character positions. The reply layout relies on
// command echo and CR LF line ends: the first reply line starts at (command length + CR) + 3.
// A reply too short for a position never counts as holding the character tested.
#include <cstddef>
#include <string>
#include <string_view>

namespace reply {

inline constexpr char kCR = '\r';
inline constexpr char kCtrlZ = 26;
inline constexpr const char* kProbe = "AT\r";
inline constexpr std::size_t kProbeAnswerPosition = 6;
inline constexpr std::size_t kEntryMarkPosition = 13;   // "O" for an empty phonebook position
inline constexpr std::size_t kEntryNumberPosition = 23; // 13 characters of the stored number
inline constexpr std::size_t kEntryNumberLength = 13;
inline constexpr std::size_t kEntryNamePosition = 43; // the name, up to the next double quote

bool holdsAt(std::string_view reply, std::size_t position, char expected);

// The probe test: "O" at position 6.
bool phoneAnswers(std::string_view reply);

// True when position 13 does not hold "O": the phonebook position has an entry.
bool holdsEntry(std::string_view reply);

// Up to count characters from position on; fewer, or none, where the reply ends first.
std::string takeAt(std::string_view reply, std::size_t position, std::size_t count);

// The characters from position on up to, not including, the first stop character or the end.
std::string takeUntil(std::string_view reply, std::size_t position, char stop);

} // namespace reply
