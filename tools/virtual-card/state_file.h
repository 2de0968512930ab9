#pragma once
// The card's records in a readable file: one line per record that is not blank,
// `<file> <record> <hex>` (`adn 5 5365...`), so a test or a user sees and preloads what the card holds.
#include "card_files.h"

#include <stdexcept>
#include <string>

namespace vcard {

class StateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string formatState(const CardFiles& files);
// Into the card's blank records; throws StateError naming the line.
void parseState(const std::string& text, CardFiles& files);

// A missing file leaves the card blank; an unreadable or malformed one throws, so it is never overwritten.
void loadState(const std::string& path, CardFiles& files);
// Temp file and rename, so a reader never sees half a card.
void saveState(const CardFiles& files, const std::string& path);

} // namespace vcard
