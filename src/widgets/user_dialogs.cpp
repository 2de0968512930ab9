#include "widgets/user_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>

namespace {

QString dialogFilter(const FileDialogSpec& spec) {
    return QStringLiteral("%1 (%2)").arg(spec.filterDescription, spec.filterPattern);
}

std::optional<QString> runFileDialog(QWidget* parent, const FileDialogSpec& spec,
                                     QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(dialogFilter(spec));
    dialog.setDefaultSuffix(spec.defaultExtension);
    // The pages ask before overwriting, with their own question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return withDefaultExtension(dialog.selectedFiles().constFirst(), spec.defaultExtension);
}

} // namespace

void QtUserDialogs::error(const QString& text) {
    QMessageBox::critical(m_parent, QStringLiteral("Error"), text);
}

void QtUserDialogs::warning(const QString& text) {
    QMessageBox::warning(m_parent, QStringLiteral("Warning"), text);
}

bool QtUserDialogs::askYesNo(const QString& text) {
    return QMessageBox::warning(m_parent, QStringLiteral("Warning"), text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

void QtUserDialogs::reportFailure(const QString& title, const QString& text) {
    QMessageBox::critical(m_parent, title, text);
}

std::optional<QString> QtUserDialogs::saveFileName(const FileDialogSpec& spec) {
    return runFileDialog(m_parent, spec, QFileDialog::AcceptSave);
}

std::optional<QString> QtUserDialogs::openFileName(const FileDialogSpec& spec) {
    return runFileDialog(m_parent, spec, QFileDialog::AcceptOpen);
}

// Digits only, never shown, never offered to an input method's memory.
std::optional<QString> QtUserDialogs::askPin(const QString& text) {
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(QStringLiteral("PIN karty SIM"));
    dialog.setLabelText(text);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
    if (auto* field = dialog.findChild<QLineEdit*>()) {
        field->setAccessibleName(QStringLiteral("PIN"));
        field->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,8}")), field));
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString overwriteQuestion(const QString& path) {
    return QStringLiteral("Soubor ") + path + QStringLiteral(" již existuje, chcete jej přepsat ?");
}

QString withDefaultExtension(const QString& path, const QString& extension) {
    if (extension.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1Char('.') + extension;
}
