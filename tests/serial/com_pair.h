#pragma once
// Two COM ports joined as by a null-modem cable, for the engine under Windows: the engine opens
// COM1, the test plays the phone on COM2. Under Wine, tests/serial/run-over-null-modem joins two
// pseudo-terminals and maps them as COM1 and COM2.
#include <string>

class ComPair {
public:
    ComPair();
    ~ComPair();
    ComPair(const ComPair&) = delete;
    ComPair& operator=(const ComPair&) = delete;

    const std::string& path() const { return m_path; }
    bool send(const std::string& bytes);
    // What the engine sent, until `count` bytes have come or `timeoutMs` has passed.
    std::string receive(std::size_t count, int timeoutMs = 3000);

    // Windows drivers refuse a second opener of a port opened without sharing; Wine does not.
    static bool refusesSecondOpener();

private:
    std::string m_path = "\\\\.\\COM1";
    void* m_phone;
};
