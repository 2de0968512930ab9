#include "widgets/VrStrEdit.h"

#include "platform/cp1250.h"

VrStrEdit::VrStrEdit(QWidget* parent) : QLineEdit(parent) {
    // Qt 6 emits textEdited before textChanged, so by the time textChanged arrives an over-long edit
    // may already be undone: look at the current text, not the signal's.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (m_reverting)
            return;
        const QString current = text();
        if (m_typedLimit == 0 || current.size() <= m_typedLimit || !isModified())
            m_acceptedText = current;
    });
    connect(this, &QLineEdit::textEdited, this, &VrStrEdit::keepWithinLimit);
}

void VrStrEdit::setTypedLimit(int characters) {
    m_typedLimit = characters;
}

// An edit that leaves the text longer than the limit is undone, unless it shortened the text
// (a loaded over-long value can still be trimmed by hand).
void VrStrEdit::keepWithinLimit(const QString& edited) {
    if (m_typedLimit == 0 || edited.size() <= m_typedLimit || edited.size() < m_acceptedText.size()) {
        m_acceptedText = edited;
        return;
    }
    const int cursor = cursorPosition() - (edited.size() - m_acceptedText.size());
    m_reverting = true;
    setText(m_acceptedText);
    m_reverting = false;
    setCursorPosition(std::max(0, cursor));
}

std::string VrStrEdit::text1250() const {
    return platform::utf16ToCp1250(text().toStdU16String());
}

void VrStrEdit::setText1250(const std::string& text) {
    setText(QString::fromStdU16String(platform::cp1250ToUtf16(text)));
}
