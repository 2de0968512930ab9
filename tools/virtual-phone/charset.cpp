#include "charset.h"

#include "params.h"

#include <cstdint>

namespace vphone {

namespace {

constexpr char16_t gsmBasic[128] = {0x0040, 0x00A3, 0x0024, 0x00A5, 0x00E8, 0x00E9, 0x00F9,
                                    0x00EC, 0x00F2, 0x00C7, 0x000A, 0x00D8, 0x00F8, 0x000D,
                                    0x00C5, 0x00E5, 0x0394, 0x005F, 0x03A6, 0x0393, 0x039B,
                                    0x03A9, 0x03A0, 0x03A8, 0x03A3, 0x0398, 0x039E, 0x0000 /* escape */,
                                    0x00C6, 0x00E6, 0x00DF, 0x00C9, ' ',    '!',    '"',
                                    '#',    0x00A4, '%',    '&',    '\'',   '(',    ')',
                                    '*',    '+',    ',',    '-',    '.',    '/',    '0',
                                    '1',    '2',    '3',    '4',    '5',    '6',    '7',
                                    '8',    '9',    ':',    ';',    '<',    '=',    '>',
                                    '?',    0x00A1, 'A',    'B',    'C',    'D',    'E',
                                    'F',    'G',    'H',    'I',    'J',    'K',    'L',
                                    'M',    'N',    'O',    'P',    'Q',    'R',    'S',
                                    'T',    'U',    'V',    'W',    'X',    'Y',    'Z',
                                    0x00C4, 0x00D6, 0x00D1, 0x00DC, 0x00A7, 0x00BF, 'a',
                                    'b',    'c',    'd',    'e',    'f',    'g',    'h',
                                    'i',    'j',    'k',    'l',    'm',    'n',    'o',
                                    'p',    'q',    'r',    's',    't',    'u',    'v',
                                    'w',    'x',    'y',    'z',    0x00E4, 0x00F6, 0x00F1,
                                    0x00FC, 0x00E0};

struct Extension {
    char code;
    char16_t unicode;
};
constexpr Extension gsmExtension[] = {{0x0A, 0x000C}, {0x14, '^'}, {0x28, '{'}, {0x29, '}'}, {0x2F, '\\'},
                                      {0x3C, '['},    {0x3D, '~'}, {0x3E, ']'}, {0x40, '|'}, {0x65, 0x20AC}};

// The upper half of Windows-1250; 0 marks the five unassigned codes.
constexpr char16_t cp1250High[128] = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, 0,      0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0,      0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

char16_t cp1250ToUnicode(unsigned char c) {
    return c < 0x80 ? char16_t(c) : cp1250High[c - 0x80];
}

std::optional<char> unicodeToCp1250(char16_t u) {
    if (u < 0x80)
        return char(u);
    for (int i = 0; i < 128; ++i)
        if (cp1250High[i] == u)
            return char(0x80 + i);
    return std::nullopt;
}

} // namespace

std::string cp1250ToGsm(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        const char16_t u = cp1250ToUnicode(c);
        bool found = false;
        for (int code = 0; code < 128 && !found; ++code) {
            if (code != 0x1B && gsmBasic[code] == u) {
                out += char(code);
                found = true;
            }
        }
        for (const auto& ext : gsmExtension) {
            if (!found && ext.unicode == u) {
                out += '\x1B';
                out += ext.code;
                found = true;
            }
        }
        if (!found)
            out += '?';
    }
    return out;
}

std::optional<std::string> gsmToCp1250(const std::string& gsm) {
    std::string out;
    for (std::size_t i = 0; i < gsm.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(gsm[i]);
        if (c >= 0x80)
            return std::nullopt;
        char16_t u = gsmBasic[c];
        if (c == 0x1B) {
            if (++i >= gsm.size())
                return std::nullopt;
            u = 0;
            for (const auto& ext : gsmExtension)
                if (ext.code == gsm[i])
                    u = ext.unicode;
            if (u == 0)
                return std::nullopt;
        }
        const auto byte = unicodeToCp1250(u);
        if (!byte)
            return std::nullopt;
        out += *byte;
    }
    return out;
}

std::string cp1250ToUcs2(const std::string& text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) {
        const char16_t unit = cp1250ToUnicode(c);
        for (int shift = 12; shift >= 0; shift -= 4)
            hex += digits[(unit >> shift) & 15];
    }
    return hex;
}

std::optional<std::string> ucs2ToCp1250(const std::string& hex) {
    if (hex.size() % 4 != 0)
        return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 4) {
        char16_t unit = 0;
        for (std::size_t j = i; j < i + 4; ++j) {
            const int digit = hexValue(hex[j]);
            if (digit < 0)
                return std::nullopt;
            unit = char16_t(unit * 16 + digit);
        }
        const auto byte = unicodeToCp1250(unit);
        if (!byte)
            return std::nullopt;
        out += *byte;
    }
    return out;
}

} // namespace vphone
