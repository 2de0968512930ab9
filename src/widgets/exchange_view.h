#pragma once
// The busy indication of a page during a phone exchange: busy label, progress gauge, the page's
// five buttons. One implementation for all three pages.
#include <QList>
#include <QString>

class QAbstractButton;
class VrLabel;
class TGauge;

class ExchangeView {
public:
    ExchangeView(VrLabel& busyLabel, TGauge& gauge, QList<QAbstractButton*> buttons);

    void setButtonsEnabled(bool enabled);
    // Busy text shown, gauge visible at 0.
    void showBusy(const QString& text);
    void setBusyText(const QString& text);
    void showGauge();
    // The gauge repaints at once, so progress shows during blocking pauses.
    void setProgress(int percent);
    void hideGauge();

private:
    VrLabel& m_busyLabel;
    TGauge& m_gauge;
    QList<QAbstractButton*> m_buttons;
};
