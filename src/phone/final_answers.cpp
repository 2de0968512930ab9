#include "phone/final_answers.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace final_answers {

namespace {

constexpr std::string_view kCme = "+CME ERROR:";
constexpr std::string_view kCms = "+CMS ERROR:";

bool isError(std::string_view line) {
    return line == "ERROR" || line.starts_with(kCme) || line.starts_with(kCms);
}

std::string_view trimmedLeft(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

bool sameText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

struct Code {
    std::string_view kind; // kCme or kCms
    std::string_view number;
    std::string_view verbose; // the text of AT+CMEE=2; empty where phones give numbers only
};

bool meansAny(std::string_view error, std::initializer_list<Code> codes) {
    for (const Code& code : codes) {
        if (!error.starts_with(code.kind))
            continue;
        const std::string_view said = trimmedLeft(error.substr(code.kind.size()));
        if (said == code.number || (!code.verbose.empty() && sameText(said, code.verbose)))
            return true;
    }
    return false;
}

bool isHexLine(std::string_view line) {
    return !line.empty() && std::all_of(line.begin(), line.end(),
                                        [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

} // namespace

std::optional<std::string_view> Answer::after(std::string_view prefix) const {
    for (const std::string& line : lines)
        if (std::string_view(line).starts_with(prefix))
            return trimmedLeft(std::string_view(line).substr(prefix.size()));
    return std::nullopt;
}

std::optional<std::string_view> Answer::hexLineAfter(std::string_view prefix) const {
    auto line = std::find_if(lines.begin(), lines.end(),
                             [prefix](const std::string& each) { return each.starts_with(prefix); });
    if (line == lines.end())
        return std::nullopt;
    line = std::find_if(line + 1, lines.end(), [](const std::string& each) { return isHexLine(each); });
    if (line == lines.end())
        return std::nullopt;
    return std::string_view(*line);
}

Answer read(std::string_view said) {
    Answer answer;
    std::size_t start = 0;
    while (start < said.size()) {
        const std::size_t end = said.find_first_of("\r\n", start);
        const std::string_view line = said.substr(start, end - start);
        if (end == std::string_view::npos) {
            if (line.starts_with(">"))
                answer.final = Final::Prompt;
            break;
        }
        start = end + 1;
        if (line == "OK") {
            answer.final = Final::Ok;
            break;
        }
        if (isError(line)) {
            answer.final = Final::Error;
            answer.error = line;
            break;
        }
        if (line.starts_with(">")) {
            answer.final = Final::Prompt;
            break;
        }
        if (!line.empty())
            answer.lines.emplace_back(line);
    }
    return answer;
}

bool meansAbsent(std::string_view error) {
    return meansAny(error, {{kCms, "321", "invalid memory index"}, {kCme, "22", "not found"}});
}

bool meansPinNeeded(std::string_view error) {
    return meansAny(error, {{kCme, "11", "SIM PIN required"}, {kCms, "311", "SIM PIN required"}});
}

bool meansPukNeeded(std::string_view error) {
    return meansAny(error, {{kCme, "12", "SIM PUK required"}, {kCms, "316", "SIM PUK required"}});
}

bool meansSimBusy(std::string_view error) {
    return meansAny(error, {{kCme, "14", "SIM busy"}, {kCms, "314", "SIM busy"}});
}

bool meansWrongPin(std::string_view error) {
    return meansAny(error, {{kCme, "16", "incorrect password"}});
}

} // namespace final_answers
