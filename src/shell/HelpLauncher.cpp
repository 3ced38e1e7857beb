#include "HelpLauncher.h"

#include "HelpWindow.h"

#include <QProcess>
#include <QWidget>

CHelpLauncher::CHelpLauncher(QWidget* owner) : QObject(owner), m_pOwner(owner) {}

CHelpLauncher::~CHelpLauncher()
{
    // A launcher still running has started a browser that stays in the
    // foreground of it; ending the launcher leaves that browser open.
    for (QProcess* process : findChildren<QProcess*>()) {
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(1000);
        }
    }
}

void CHelpLauncher::Open(const QUrl& url)
{
    auto* process = new QProcess(this);
    // Nothing it does may wait on us, or fill a pipe nobody reads.
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::errorOccurred, this, [this, process, url](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        process->deleteLater();
        ShowWindow(url);
    });
    connect(process, &QProcess::finished, this, [this, process, url](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status != QProcess::NormalExit || code != 0) ShowWindow(url);
    });
    process->start(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
}

CHelpWindow* CHelpLauncher::HelpWindow() const
{
    return m_pWindow.data();
}

void CHelpLauncher::ShowWindow(const QUrl& url)
{
    if (!m_pWindow) m_pWindow = new CHelpWindow(m_pOwner);
    m_pWindow->ShowPage(url);
}
