#pragma once
// A push button drawn as an ellipse filling its rectangle; only a click inside the ellipse counts.
#include <QPushButton>

class RoundButton : public QPushButton {
    Q_OBJECT
public:
    explicit RoundButton(QWidget* parent = nullptr);
    explicit RoundButton(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
