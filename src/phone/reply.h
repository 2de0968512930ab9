#pragma once
// The control characters and the probe of every exchange with the phone.

namespace reply {

inline constexpr char kCR = '\r';
inline constexpr char kCtrlZ = 26;
inline constexpr const char* kProbe = "AT\r";

} // namespace reply
