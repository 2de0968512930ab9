#pragma once
// A PortLink that records what a page sends, for page tests that need no serial line.
#include "phone/port_link.h"

#include <string>
#include <vector>

class FakePort final : public PortLink {
public:
    bool open = true;
    std::vector<std::string> sent;

    bool IsOpen() const override { return open; }
    void SendText(const std::string& text) override { sent.push_back(text); }
};
