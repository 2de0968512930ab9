#pragma once
// The window's pause of an exchange: the event loop's, and what the user does to any of the tool's
// windows meanwhile is dropped, neither acted on nor kept for later, so nothing can start or
// change while an exchange runs. Only a message box opened during the pause takes input.
#include "exchange/event_loop_pause.h"

#include <QObject>

class LivePause final : public QObject, public EventLoopPause {
public:
    // Watches the whole application's events; create it after the application object.
    LivePause();
    ~LivePause() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
