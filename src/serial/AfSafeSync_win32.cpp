#include "serial/AfSafeSync.h"

#include <exception>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMetaObject>
#include <system_error>
#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"AfSafeSyncObjWnd";
constexpr UINT kDeliveryMessage = WM_USER + 0x101;

// An error of a callback must not unwind through the system's window-procedure frames: it goes
// on to the application's notify, which reports errors of event handlers, from the event loop.
void reportThroughTheApplication(std::exception_ptr error) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [error] { std::rethrow_exception(error); }, Qt::QueuedConnection);
}

} // namespace

// A hidden window on the GUI thread. A message sent to it is handled wherever that thread takes
// messages: its event loop, modal message boxes and dialogs.
class TAfSafeSync::Receiver {
public:
    explicit Receiver(TAfSafeSync& owner) : m_window(createWindow(owner)), m_thread(::GetCurrentThreadId()) {}
    ~Receiver() { ::DestroyWindow(m_window); }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    bool onItsThread() const { return ::GetCurrentThreadId() == m_thread; }
    // Sent, not posted, and without waiting for the window: the caller waits on the hand-over's
    // state, which closing the port can release at once.
    void send(std::uint64_t token) const {
        ::SendNotifyMessageW(m_window, kDeliveryMessage, WPARAM(token), 0);
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kDeliveryMessage)
            return ::DefWindowProcW(window, message, wParam, lParam);
        auto* owner = reinterpret_cast<TAfSafeSync*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (owner) {
            try {
                owner->deliver(std::uint64_t(wParam));
                // A sent message is served inside the event loop's blocking wait, which does not
                // return for it: whoever waits on what the callback brought must get to look.
                if (auto* dispatcher = QAbstractEventDispatcher::instance())
                    dispatcher->wakeUp();
            } catch (...) {
                reportThroughTheApplication(std::current_exception());
            }
        }
        return 0;
    }

    // A class of that name left by other code with another procedure would take the messages.
    static void registerClass() {
        const HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        if (::GetClassInfoExW(instance, kWindowClass, &existing)) {
            if (existing.lpfnWndProc == &procedure)
                return;
            ::UnregisterClassW(kWindowClass, instance);
        }
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        ::RegisterClassExW(&windowClass);
    }

    static HWND createWindow(TAfSafeSync& owner) {
        registerClass();
        const HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                              nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!window)
            throw std::system_error(int(::GetLastError()), std::system_category(), "CreateWindowEx");
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner));
        return window;
    }

    HWND m_window;
    DWORD m_thread;
};

TAfSafeSync::TAfSafeSync() : m_receiver(std::make_unique<Receiver>(*this)) {}

TAfSafeSync::~TAfSafeSync() = default;

bool TAfSafeSync::onReceiverThread() const {
    return m_receiver->onItsThread();
}

void TAfSafeSync::handOver(std::uint64_t token) {
    m_receiver->send(token);
}
