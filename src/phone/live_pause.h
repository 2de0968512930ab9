#pragma once
// The pause of a phone sequence that keeps the application alive: while it waits, the event loop
// serves painting, the window manager, the accessibility bus, other windows' timers and the
// phone's replies, so the window never looks hung. What the user does to any of the tool's windows
// meanwhile is dropped, neither acted on nor kept for later, so nothing can start or change while a
// sequence runs. Only a message box opened during the pause takes input.
#include "platform/pause.h"

#include <QObject>

class LivePause final : public QObject, public platform::Pause {
public:
    // Watches the whole application's events; create it after the application object.
    LivePause();
    ~LivePause() override;

    void wait(int milliseconds) override;
    bool waitUntil(const std::function<bool()>& done, int timeoutMs) override;
    // Drops the input that reached the windows while a sequence kept the GUI thread busy between
    // its pauses, so that it does not act once the sequence has ended.
    void dropHeldInput() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool runLoop(const std::function<bool()>* done, int timeoutMs);

    int m_depth = 0; // pauses running, nested ones included
};
