#include "widgets/VrLabel.h"

VrLabel::VrLabel(QWidget* parent) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
}
