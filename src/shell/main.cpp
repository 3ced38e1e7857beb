// Graphelle: a pencil-sketching program.

#include "QuillexApp.h"
#include "Resources.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QCoreApplication::setOrganizationName(res::kOrganisation);
    QCoreApplication::setApplicationName(res::kAppName);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("graphelle"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/graphelle.svg")));

    CQuillexApp app;
    app.InitInstance(QCoreApplication::arguments().mid(1));
    return qapp.exec();
}
