#pragma once
// The About and help windows: created hidden at start, shown without being modal at the centre of
// the desktop, and only hidden when closed, so each is one window for the program's whole run.
#include <QDialog>

class SecondaryWindow : public QDialog {
    Q_OBJECT
public:
    explicit SecondaryWindow(QWidget* parent = nullptr);

    // Centred when it comes up from hidden; one already shown keeps its place and comes forward.
    void showCentred();

protected:
    // Fixed size with a title bar holding only the close box.
    void fixClientSize(int width, int height);
    void closeEvent(QCloseEvent* event) override;
};
