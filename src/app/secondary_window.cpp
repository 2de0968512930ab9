#include "app/secondary_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

SecondaryWindow::SecondaryWindow(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
}

void SecondaryWindow::fixClientSize(int width, int height) {
    setFixedSize(width, height);
}

void SecondaryWindow::showCentred() {
    if (!isVisible()) {
        const QScreen* desktop = QGuiApplication::primaryScreen();
        if (desktop != nullptr) {
            // The frame is known only after the first showing; until then the client area stands in.
            QRect placed(QPoint(), frameGeometry().size());
            placed.moveCenter(desktop->availableGeometry().center());
            move(placed.topLeft());
        }
        show();
    }
    raise();
    activateWindow();
}

void SecondaryWindow::closeEvent(QCloseEvent* event) {
    // Hidden, never destroyed: the main window keeps these two for reopening.
    hide();
    event->accept();
}
