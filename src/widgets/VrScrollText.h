#pragma once
// One line of text running from right to left across the control, fading in and out at both
// edges, and starting again at the right once it has left at the left. Its place follows the
// clock, not the count of paints: it is painted at most once a frame of its screen and at most 60
// times a second, however short its step, and runs at the same speed at any paint rate.
#include <functional>
#include <QBasicTimer>
#include <QPixmap>
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
    // Milliseconds on a steady clock.
    using Clock = std::function<qint64()>;

    explicit VrScrollText(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    // Milliseconds between two steps; with the step, the speed, whatever the paint rate.
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
    // Moves the text to where the time passed since it started puts it; the frame's tick.
    void advance();
    // Where the time comes from; a steady clock unless a test drives its own.
    void setClock(Clock clock);

    QSize sizeHint() const override;

signals:
    // The text has left at the left edge and starts again at the right.
    void wrapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void updateTimer();
    void startFrames();
    int framePeriodMs() const;
    void startFromHere();
    void speedChanged();
    void moveTo(qint64 travelled);
    QRect textRect() const;
    int textWidth() const { return m_textWidth; }
    void lookChanged();
    const QPixmap& renderedText();

    QString m_text;
    int m_textWidth = 0;
    int m_lineHeight = 0;
    QPixmap m_renderedText; // empty until painted, and after every change of its look
    int m_interval = 5;
    int m_step = 1;
    int m_edgeWidth = 50;
    bool m_active = true;
    int m_travelled = 0; // pixels moved since the text entered at the right edge
    Clock m_clock;
    // The time and place the line last started from: its place now is reckoned from them.
    qint64 m_startMs = 0;
    qint64 m_startTravelled = 0;
    int m_framePeriodMs = 0;
    QBasicTimer m_timer;
};
