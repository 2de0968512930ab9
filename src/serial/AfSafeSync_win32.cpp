#include "serial/AfSafeSync.h"

#include <exception>
#include <mutex>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QMetaObject>
#include <stdexcept>
#include <system_error>
#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"AfSafeSyncObjWnd";
constexpr UINT kDeliveryMessage = WM_USER + 0x101;

// How many receivers of all threads use the window class; constant-initialized, so ready before
// any constructor of a static object runs.
std::mutex classLock;
int classUsers = 0;

// An error of a callback must not unwind through the system's window-procedure frames: it goes
// on to the application's notify, which reports errors of event handlers, from the event loop.
void reportThroughTheApplication(std::exception_ptr error) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [error] { std::rethrow_exception(error); }, Qt::QueuedConnection);
}

} // namespace

// A hidden window on the GUI thread. A message sent to it is handled wherever that thread takes
// messages: its event loop, modal message boxes and dialogs. Message-only, as it is never shown:
// such a window needs no display, and Wine begun without one (a script over SSH) makes no other
// kind, so the console twin there could open no port.
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

    // The window class, registered while any receiver lives and unregistered with the last, so that
    // none is left behind. Receivers on several threads count under one lock: one ending on one
    // thread cannot unregister the class between another's registration and its window.
    class WindowClass {
    public:
        WindowClass() {
            const std::lock_guard lock(classLock);
            if (classUsers == 0)
                registerClass();
            ++classUsers;
        }
        ~WindowClass() {
            const std::lock_guard lock(classLock);
            if (--classUsers == 0)
                ::UnregisterClassW(kWindowClass, instance());
        }
        WindowClass(const WindowClass&) = delete;
        WindowClass& operator=(const WindowClass&) = delete;

        // The module the class is registered with, and so the one its windows are made with.
        static HINSTANCE instance() { return ::GetModuleHandleW(nullptr); }

    private:
        // A class of that name left by other code with another procedure would take the messages.
        static void registerClass() {
            WNDCLASSEXW existing{};
            existing.cbSize = sizeof existing;
            if (::GetClassInfoExW(instance(), kWindowClass, &existing))
                ::UnregisterClassW(kWindowClass, instance());
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &procedure;
            windowClass.hInstance = instance();
            windowClass.lpszClassName = kWindowClass;
            if (!::RegisterClassExW(&windowClass))
                throw std::system_error(int(::GetLastError()), std::system_category(), "RegisterClassEx");
        }
    };

    static HWND createWindow(TAfSafeSync& owner) {
        // A refused window need not set the last error (Wine's for want of a display does not), and
        // what the calls before left there (GetClassInfoEx's "Class does not exist.") is not its reason.
        ::SetLastError(ERROR_SUCCESS);
        const HWND window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                              WindowClass::instance(), nullptr);
        if (!window) {
            if (const DWORD error = ::GetLastError())
                throw std::system_error(int(error), std::system_category(), "CreateWindowEx");
            throw std::runtime_error("CreateWindowEx: the system made no window and gave no reason");
        }
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&owner));
        return window;
    }

    WindowClass m_class;
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
