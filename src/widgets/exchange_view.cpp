#include "widgets/exchange_view.h"

#include "widgets/TGauge.h"
#include "widgets/VrLabel.h"

#include <QAbstractButton>

ExchangeView::ExchangeView(VrLabel& busyLabel, TGauge& gauge, QList<QAbstractButton*> buttons)
    : m_busyLabel(busyLabel), m_gauge(gauge), m_buttons(std::move(buttons)) {}

void ExchangeView::setButtonsEnabled(bool enabled) {
    for (auto* button : m_buttons)
        button->setEnabled(enabled);
}

void ExchangeView::showBusy(const QString& text) {
    setBusyText(text);
    showGauge();
    setProgress(0);
}

void ExchangeView::setBusyText(const QString& text) {
    m_busyLabel.setText(text);
    m_busyLabel.repaint();
}

void ExchangeView::showGauge() {
    m_gauge.setVisible(true);
}

void ExchangeView::setProgress(int percent) {
    m_gauge.setProgress(percent);
}

void ExchangeView::hideGauge() {
    m_gauge.setVisible(false);
}
