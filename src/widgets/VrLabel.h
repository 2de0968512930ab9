#pragma once
// Sunken status label (the pages' busy label).
#include <QLabel>

class VrLabel : public QLabel {
    Q_OBJECT
public:
    explicit VrLabel(QWidget* parent = nullptr);
};
