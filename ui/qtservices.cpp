#include "ui/qtservices.h"

#include "help/helpwindow.h"
#include "ui/language.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace morvane {

std::optional<QString> QtDialogs::inputBox(const QString& prompt, const QString& title,
                                           const QString& text)
{
    QInputDialog dialog(m_parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(text);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

bool QtDialogs::confirm(const QString& text, const QString& title, Default defaultButton)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                    m_parent);
    box.setDefaultButton(defaultButton == Default::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtDialogs::saveFileName(const QString& title, const QString& suggestedName,
                                               const QString& filter)
{
    const QString path = QFileDialog::getSaveFileName(m_parent, title, suggestedName, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void QtDialogs::message(Severity severity, const QString& text, const QString& title)
{
    QMessageBox box(severity == Severity::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    title, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void HelpWindows::showHelp(const QString& helpFile)
{
    // The help in the language the program speaks.
    HelpWindow::showHelp(m_owner, helpFile, translationSuffix(programLanguage()));
}

void HelpWindows::closeAll()
{
    if (m_owner)
        HelpWindow::closeAll(m_owner);
}

} // namespace morvane
