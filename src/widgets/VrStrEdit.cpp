#include "widgets/VrStrEdit.h"

#include "platform/cp1250.h"

VrStrEdit::VrStrEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_typedLimit == 0 || text.size() <= m_typedLimit || !isModified())
            m_acceptedText = text;
    });
    connect(this, &QLineEdit::textEdited, this, &VrStrEdit::keepWithinLimit);
}

void VrStrEdit::setTypedLimit(int characters) { m_typedLimit = characters; }

// An edit that leaves the text longer than the limit is undone, unless it shortened the text
// (a loaded over-long value can still be trimmed by hand).
void VrStrEdit::keepWithinLimit(const QString& edited) {
    if (m_typedLimit == 0 || edited.size() <= m_typedLimit || edited.size() < m_acceptedText.size()) {
        m_acceptedText = edited;
        return;
    }
    const int cursor = cursorPosition() - (edited.size() - m_acceptedText.size());
    setText(m_acceptedText);
    setCursorPosition(std::max(0, cursor));
}

std::string VrStrEdit::text1250() const { return platform::utf16ToCp1250(text().toStdU16String()); }

void VrStrEdit::setText1250(const std::string& text) {
    setText(QString::fromStdU16String(platform::cp1250ToUtf16(text)));
}
