#include "delivery_class.h"

#include <windows.h>

namespace {

constexpr wchar_t kDeliveryClass[] = L"AfSafeSyncObjWnd";

HINSTANCE module() {
    return ::GetModuleHandleW(nullptr);
}

} // namespace

bool deliveryClassRegistered() {
    WNDCLASSEXW found{};
    found.cbSize = sizeof found;
    return ::GetClassInfoExW(module(), kDeliveryClass, &found);
}

ForeignDeliveryClass::ForeignDeliveryClass() : m_registered(false), m_window(nullptr) {
    WNDCLASSEXW other{};
    other.cbSize = sizeof other;
    other.lpfnWndProc = &::DefWindowProcW;
    other.hInstance = module();
    other.lpszClassName = kDeliveryClass;
    m_registered = ::RegisterClassExW(&other) != 0;
    if (m_registered)
        m_window = ::CreateWindowExW(0, kDeliveryClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module(),
                                     nullptr);
}

ForeignDeliveryClass::~ForeignDeliveryClass() {
    if (m_window)
        ::DestroyWindow(static_cast<HWND>(m_window));
    if (m_registered)
        ::UnregisterClassW(kDeliveryClass, module());
}

std::error_code classAlreadyExists() {
    return {ERROR_CLASS_ALREADY_EXISTS, std::system_category()};
}
