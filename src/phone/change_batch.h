#pragma once
// Commands that change the SIM wait and go together on one command line with the next command of
// another kind, or at the end with what puts back the phone's settings: one round with the phone
// instead of one each. The phone's OK confirms every command of the line (V.250 ends a line at its
// first error); a refusal has each change sent again alone, so that each is confirmed or named.
#include <string>
#include <vector>

class PhoneLine;
namespace sim {
class PositionReport;
}

class ChangeBatch {
public:
    ChangeBatch(PhoneLine& line, sim::PositionReport& report);

    // A position of 0 is never named to the user. absentIsDone: "not found" is as good as done.
    void add(std::string command, int position, bool absentIsDone = false);
    // Sends what waits, `putBack` at the end of its line when given. True when the put-back went
    // with it and the phone confirmed the line.
    bool send(const std::string& putBack = {});

private:
    struct Change {
        std::string command;
        int position = 0;
        bool absentIsDone = false;
    };

    void sendAlone(const Change& change);
    void noteUnanswered(const std::vector<Change>& changes);

    PhoneLine& m_line;
    sim::PositionReport& m_report;
    std::vector<Change> m_waiting;
};
