#pragma once
// The buttons that start an exchange with the SIM, on any page, are greyed out while any exchange
// runs, which tells the user plainly that the SIM is busy; they come back when it ends.
class ExchangeLock;
class QAbstractButton;

void greyWhileExchanging(ExchangeLock& exchanges, QAbstractButton& button);
