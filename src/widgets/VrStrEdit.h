#pragma once
// Single-line edit whose length limit applies to what the user types or pastes only: text that a
// file load or a phone read puts in with setText is taken whole.
#include <QLineEdit>

class VrStrEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit VrStrEdit(QWidget* parent = nullptr);

    void setTypedLimit(int characters); // 0: no limit
    int typedLimit() const { return m_typedLimit; }

    // Windows-1250 text, as the rest of the system holds it.
    std::string text1250() const;
    void setText1250(const std::string& text);

private:
    void keepWithinLimit(const QString& edited);

    int m_typedLimit = 0;
    QString m_acceptedText;
    bool m_reverting = false;
};
