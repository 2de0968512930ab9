#include "phone/final_answers.h"

#include <cstdlib>

namespace final_answers {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool isError(std::string_view line) {
    return line == "ERROR" || startsWith(line, "+CME ERROR:") || startsWith(line, "+CMS ERROR:");
}

// "Not found" answers to deleting an empty position: SMS "invalid memory index", phonebook
// "not found" (numeric or verbose).
bool meansAbsent(std::string_view error) {
    return error == "+CMS ERROR: 321" || error == "+CME ERROR: 22" || error == "+CME ERROR: not found";
}

void classify(std::string_view line, std::vector<Answer>& answers) {
    if (line == "OK")
        answers.push_back({Kind::Ok, std::string(line)});
    else if (isError(line))
        answers.push_back({Kind::Error, std::string(line)});
    else if (startsWith(line, "+CMGW:"))
        answers.push_back({Kind::Stored, std::string(line), std::atoi(std::string(line.substr(6)).c_str())});
    else if (startsWith(line, ">"))
        answers.push_back({Kind::Prompt, std::string(line)});
}

} // namespace

std::vector<Answer> scan(std::string_view transcript) {
    std::vector<Answer> answers;
    std::size_t start = 0;
    while (start < transcript.size()) {
        const std::size_t end = transcript.find_first_of("\r\n", start);
        const std::string_view line = transcript.substr(start, end - start);
        if (end == std::string_view::npos) {
            if (startsWith(line, ">"))
                answers.push_back({Kind::Prompt, std::string(line)});
            break;
        }
        classify(line, answers);
        start = end + 1;
    }
    return answers;
}

std::vector<Outcome> match(const std::vector<Expectation>& commands, const std::vector<Answer>& answers) {
    std::vector<Outcome> outcomes(commands.size());
    std::size_t command = 0;
    bool prompted = false;
    int storedIndex = 0;
    for (const Answer& answer : answers) {
        if (command == commands.size())
            break;
        const Expectation& expected = commands[command];
        switch (answer.kind) {
        case Kind::Prompt:
            prompted = true;
            continue;
        case Kind::Stored:
            storedIndex = answer.storedIndex;
            continue;
        case Kind::Ok:
            outcomes[command].confirmed = (!expected.prompt || prompted) && storedIndex == expected.storedAt;
            break;
        case Kind::Error:
            outcomes[command].error = answer.line;
            outcomes[command].confirmed = expected.absentOk && meansAbsent(answer.line);
            break;
        }
        outcomes[command].answered = true;
        ++command;
        prompted = false;
        storedIndex = 0;
    }
    return outcomes;
}

} // namespace final_answers
