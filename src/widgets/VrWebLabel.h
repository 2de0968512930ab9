#pragma once
// A hyperlink label: underlined while the mouse is over it or it has the focus, and opening its
// address when the left button is released over it or Enter or Space is pressed on it.
#include <functional>
#include <QLabel>
#include <QUrl>

class VrWebLabel : public QLabel {
    Q_OBJECT
public:
    // Asks the desktop to open an address; true when it did. Replaceable so tests need no browser.
    using Opener = std::function<bool(const QUrl&)>;

    explicit VrWebLabel(QWidget* parent = nullptr);

    QUrl url() const { return m_url; }
    void setUrl(const QUrl& url);
    // An empty opener brings back the desktop's own.
    void setOpener(Opener opener);

    bool isHot() const { return m_hot; }
    // What a click, a key or a screen reader's press does.
    void activate();

signals:
    void openRequested(const QUrl& url);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setHot(bool hot);

    QUrl m_url;
    Opener m_opener;
    bool m_hot = false;
};
