#pragma once
// One line of text running from right to left across the control, fading in and out at both
// edges, and starting again at the right once it has left at the left.
#include <QBasicTimer>
#include <QString>
#include <QWidget>

class VrScrollText : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(int interval READ interval WRITE setInterval)
    Q_PROPERTY(int step READ step WRITE setStep)
    Q_PROPERTY(int edgeWidth READ edgeWidth WRITE setEdgeWidth)
    Q_PROPERTY(bool active READ isActive WRITE setActive)
public:
    explicit VrScrollText(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // Milliseconds between two steps.
    int interval() const { return m_interval; }
    void setInterval(int milliseconds);
    // Pixels a step.
    int step() const { return m_step; }
    void setStep(int pixels);
    // Width of the fade at each side.
    int edgeWidth() const { return m_edgeWidth; }
    void setEdgeWidth(int pixels);

    // Whether the line should run. It actually runs only while the control is visible, so a
    // hidden window spends no CPU on it.
    bool isActive() const { return m_active; }
    void setActive(bool active);
    bool isScrolling() const { return m_timer.isActive(); }

    // Left end of the text in the control's coordinates.
    int textLeft() const { return width() - m_travelled; }
    // Moves the text by one step; the timer's tick.
    void advance();

    QSize sizeHint() const override;

signals:
    // The text has left at the left edge and starts again at the right.
    void wrapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void updateTimer();
    int textWidth() const;

    QString m_text;
    int m_interval = 5;
    int m_step = 1;
    int m_edgeWidth = 50;
    bool m_active = true;
    int m_travelled = 0; // pixels moved since the text entered at the right edge
    QBasicTimer m_timer;
};
