#pragma once
// The class of the delivery's hidden window on Windows, seen from outside the delivery; in a file of
// its own, since the system's headers declare a DCB that clashes with the port component's.
#include <system_error>

bool deliveryClassRegistered();

// Another's class of the delivery's class name, with a window of it, so that the class cannot be
// unregistered while this lives.
class ForeignDeliveryClass {
public:
    ForeignDeliveryClass();
    ~ForeignDeliveryClass();
    ForeignDeliveryClass(const ForeignDeliveryClass&) = delete;
    ForeignDeliveryClass& operator=(const ForeignDeliveryClass&) = delete;

    bool holds() const { return m_window != nullptr; }

private:
    bool m_registered;
    void* m_window;
};

// What the system says of a class registered twice.
std::error_code classAlreadyExists();
