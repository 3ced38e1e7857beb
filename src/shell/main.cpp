// Graphelle: a pencil-sketching program.

#include "QuillexApp.h"
#include "Resources.h"
#include "SingleInstance.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QProcess>

#include <cstdio>

namespace {

// Two copies on one drawing would overwrite each other's strokes, so a start
// that cannot reach the running copy does not open the file itself.
int ReportNoAnswer(const QString& file)
{
    const QString text =
        file.isEmpty()
            ? QStringLiteral("Graphelle is already running but does not answer. Wait until it responds, "
                             "or close it, and then start it again.")
            : QStringLiteral("Graphelle is already running but does not answer, so \"%1\" was not opened "
                             "in a second copy, where the two would overwrite each other's drawings. Wait "
                             "until Graphelle responds, or close it, and then open the file again.")
                  .arg(file);
    std::fprintf(stderr, "graphelle: %s\n", qPrintable(text));
    QMessageBox::warning(nullptr, res::kAppName, text);
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(res::kOrganisation);
    QCoreApplication::setApplicationName(res::kAppName);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("graphelle"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/graphelle.svg")));

    // The running copy works in another folder, so the file goes by its
    // absolute path.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString file = CQuillexApp::FileArgument(arguments);
    CSingleInstance instance(CSingleInstance::SessionSocketPath());
    switch (instance.Start(file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath())) {
    case CSingleInstance::Outcome::HandedOver: return 0;
    case CSingleInstance::Outcome::NoAnswer: return ReportNoAnswer(file);
    case CSingleInstance::Outcome::Unguarded:
        std::fprintf(stderr, "graphelle: no private folder for the lock that keeps a second copy from "
                             "starting; this one runs without it\n");
        break;
    case CSingleInstance::Outcome::First: break;
    }

    CQuillexApp app;
    instance.Serve([&app](const QString& path) { return app.OnAnotherStart(path); });
    // A termination signal during a start-up dialog has ended the program
    // already; the loop would wait for a window that never comes.
    const int status = app.InitInstance(arguments) ? qapp.exec() : 0;
    // A file handed over while the window was already closing opens in the
    // next copy, which starts once this one has let go of its lock.
    for (const QString& path : instance.Close())
        QProcess::startDetached(QCoreApplication::applicationFilePath(), {QStringLiteral("--"), path});
    return status;
}
