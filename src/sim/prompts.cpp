#include "sim/prompts.h"

namespace sim {

std::string shownText(const PinQuestion& question) {
    if (!question.triesLeft)
        return question.text;
    return question.text + "\nZbývající pokusy: " + std::to_string(*question.triesLeft);
}

} // namespace sim
