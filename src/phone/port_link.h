#pragma once
// What the pages use of the main window's serial port. The main window implements it, so the
// pages reach the port through the main window and never hold a port of their own.
#include <string>

class PortLink {
public:
    virtual ~PortLink() = default;
    virtual bool IsOpen() const = 0;
    // Queues Windows-1250 text for writing and returns at once; raises the port's write error.
    virtual void SendText(const std::string& text) = 0;
};
