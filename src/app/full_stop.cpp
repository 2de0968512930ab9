#include "app/full_stop.h"

#include <algorithm>

std::string withFullStop(std::string text) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > 0 && static_cast<unsigned char>(text[end - 1]) > static_cast<unsigned char>('.'))
        text.insert(end, 1, '.');
    return text;
}
