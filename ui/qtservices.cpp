#include "ui/qtservices.h"

#include "help/helpwindow.h"
#include "session/language.h"
#include "ui/importdialog.h"

#include <QDeadlineTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

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

std::optional<QString> QtDialogs::openFileName(const QString& title, const QString& folder,
                                               const QString& filter)
{
    const QString path = QFileDialog::getOpenFileName(m_parent, title, folder, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void QtDialogs::runWithProgress(const QString& title, const QString& label,
                                const std::function<void(const Progress&)>& work)
{
    // Work shorter than this shows no dialog: the window waits that long at most, unpainted.
    constexpr int kShowAfterMs = 500;
    constexpr int kSteps = 1000;
    std::atomic<bool> cancelled = false;
    std::atomic<qint64> done = 0;
    std::atomic<qint64> total = 0;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        work([&](qint64 d, qint64 t) {
            done = d;
            total = t;
            return !cancelled;
        });
    }));
    thread->start();
    if (thread->wait(QDeadlineTimer(kShowAfterMs)))
        return;

    QProgressDialog dialog(m_parent); // Qt's own キャンセル button
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setRange(0, kSteps);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setWindowModality(Qt::ApplicationModal);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] { cancelled = true; });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (thread->isFinished())
            dialog.accept();
        else if (total > 0)
            dialog.setValue(int(done * kSteps / total));
    });
    poll.start(50);
    dialog.exec();
    thread->wait();
}

bool QtDialogs::confirmImport(ImportPreviewer& previewer)
{
    ImportDialog dialog(previewer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

void QtDialogs::message(Severity severity, const QString& text, const QString& title)
{
    const QMessageBox::Icon icon = severity == Severity::Error     ? QMessageBox::Critical
                                   : severity == Severity::Warning ? QMessageBox::Warning
                                                                   : QMessageBox::Information;
    QMessageBox box(icon, title, text, QMessageBox::Ok, m_parent);
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
