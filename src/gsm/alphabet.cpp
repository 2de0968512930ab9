#include "gsm/alphabet.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace gsm {

namespace {

// Septet 27 is the escape, no character; the table keeps the place with a code no text uses.
constexpr char16_t kNoCharacter = 0xFFFF;

constexpr std::array<char16_t, 128> kDefault = {
    u'@', u'£', u'$', u'¥', u'è', u'é', u'ù', u'ì',  u'ò', u'Ç', u'\n', u'Ø',         u'ø', u'\r', u'Å', u'å',
    u'Δ', u'_', u'Φ', u'Γ', u'Λ', u'Ω', u'Π', u'Ψ',  u'Σ', u'Θ', u'Ξ',  kNoCharacter, u'Æ', u'æ',  u'ß', u'É',
    u' ', u'!', u'"', u'#', u'¤', u'%', u'&', u'\'', u'(', u')', u'*',  u'+',         u',', u'-',  u'.', u'/',
    u'0', u'1', u'2', u'3', u'4', u'5', u'6', u'7',  u'8', u'9', u':',  u';',         u'<', u'=',  u'>', u'?',
    u'¡', u'A', u'B', u'C', u'D', u'E', u'F', u'G',  u'H', u'I', u'J',  u'K',         u'L', u'M',  u'N', u'O',
    u'P', u'Q', u'R', u'S', u'T', u'U', u'V', u'W',  u'X', u'Y', u'Z',  u'Ä',         u'Ö', u'Ñ',  u'Ü', u'§',
    u'¿', u'a', u'b', u'c', u'd', u'e', u'f', u'g',  u'h', u'i', u'j',  u'k',         u'l', u'm',  u'n', u'o',
    u'p', u'q', u'r', u's', u't', u'u', u'v', u'w',  u'x', u'y', u'z',  u'ä',         u'ö', u'ñ',  u'ü', u'à',
};

struct Extension {
    char septet;
    char16_t character;
};
constexpr Extension kExtension[] = {{0x0A, u'\f'}, {0x14, u'^'}, {0x28, u'{'}, {0x29, u'}'}, {0x2F, u'\\'},
                                    {0x3C, u'['},  {0x3D, u'~'}, {0x3E, u']'}, {0x40, u'|'}, {0x65, u'€'}};

} // namespace

std::optional<std::string> septetsOf(char16_t character) {
    if (character == kNoCharacter)
        return std::nullopt;
    if (const auto found = std::find(kDefault.begin(), kDefault.end(), character); found != kDefault.end())
        return std::string(1, char(std::distance(kDefault.begin(), found)));
    for (const Extension& extension : kExtension)
        if (extension.character == character)
            return std::string{kEscape, extension.septet};
    return std::nullopt;
}

std::optional<std::string> toSeptets(std::u16string_view text) {
    std::string septets;
    for (const char16_t character : text) {
        const auto form = septetsOf(character);
        if (!form)
            return std::nullopt;
        septets += *form;
    }
    return septets;
}

std::u16string fromSeptets(std::string_view septets) {
    std::u16string text;
    for (std::size_t i = 0; i < septets.size(); ++i) {
        const auto septet = static_cast<unsigned char>(septets[i]);
        if (septet > 127)
            continue;
        if (septet != kEscape) {
            text += kDefault[septet];
            continue;
        }
        if (i + 1 == septets.size())
            break;
        const char next = septets[++i];
        const auto* extension = std::find_if(std::begin(kExtension), std::end(kExtension),
                                             [next](const Extension& each) { return each.septet == next; });
        if (extension != std::end(kExtension))
            text += extension->character;
        else if (static_cast<unsigned char>(next) < 128 && next != kEscape)
            text += kDefault[static_cast<unsigned char>(next)];
    }
    return text;
}

} // namespace gsm
