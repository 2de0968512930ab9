#pragma once
// Horizontal progress bar 0 to 100 in two colours. A change of value repaints at once, so progress
// shows while the GUI thread sits in a blocking pause.
#include <QColor>
#include <QWidget>

class TGauge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
public:
    explicit TGauge(QWidget* parent = nullptr);

    int progress() const { return m_progress; }
    void setProgress(int percent);

    QColor foreColor() const { return m_foreColor; }
    void setForeColor(const QColor& color);
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_progress = 0;
    QColor m_foreColor = Qt::yellow;
    QColor m_backColor = Qt::blue;
};
