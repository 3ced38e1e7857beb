// The program among the others of the desktop: one running copy per session, the file
// association the desktop's own tools read, and Help in the browser or the program's window.

#include "ShellTestSupport.h"

#include "shell/FileAssociation.h"
#include "shell/HelpWindow.h"
#include "shell/SingleInstance.h"

#include <QDialog>
#include <QProcess>
#include <QTextBrowser>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <utility>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Outcome = CSingleInstance::Outcome;

// Another start on a thread of its own, as another process would, while this thread runs the
// first copy's events; meanwhile runs here once it is under way.
Outcome StartBeside(const QString& socket, const QString& request, const std::function<void()>& meanwhile = {})
{
    std::atomic<Outcome> outcome{Outcome::Unguarded};
    std::unique_ptr<QThread> thread(
        QThread::create([&outcome, socket, request] { outcome = CSingleInstance(socket).Start(request); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    if (meanwhile) QTimer::singleShot(200, meanwhile);
    loop.exec();
    RunEventLoop(30);
    return outcome;
}

// What a desktop tool prints, on the test's home as the desktop's data folder.
QString RunTool(const QString& tool, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, args);
    if (!process.waitForFinished(10000)) return tool + " is missing; run scripts/install-deps";
    return QString::fromUtf8(process.readAll()).trimmed() + (process.exitCode() ? " (failed)" : "");
}

QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

TEST_F(ShellTest, TheRunningCopyTakesEveryLaterStartsFileWhenItCanAndLosesNone)
{
    const QString socket = Home() + "/graphelle.socket";
    // A socket left by a crashed copy is taken over.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", qPrintable(socket));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    auto first = std::make_unique<CSingleInstance>(socket);
    ASSERT_EQ(first->Start(QString()), Outcome::First);
    QStringList received;
    bool accept = true;
    first->Serve([&](const QString& path) { return received.append(path), accept; });
    const auto taken = [&] { return std::exchange(received, {}); };

    // A file, or none to only raise the window.
    const QStringList requests = {"/home/u/B.tvk", "", "/tmp/a b/\u00e4\n\"q\".tvk"};
    for (const QString& request : requests) EXPECT_EQ(StartBeside(socket, request), Outcome::HandedOver);
    EXPECT_EQ(taken(), requests);

    // A request waits until the open dialog closes.
    auto dialog = std::make_unique<QDialog>();
    dialog->setModal(true);
    dialog->show();
    EXPECT_EQ(StartBeside(socket, "/x/B.tvk"), Outcome::HandedOver);
    RunEventLoop(300);
    EXPECT_TRUE(received.isEmpty());
    dialog.reset();
    RunEventLoop(300);
    EXPECT_EQ(taken(), QStringList{"/x/B.tvk"});

    // While the running copy quits, no file is lost, and the next start waits for it.
    accept = false;  // the window is closing
    EXPECT_EQ(StartBeside(socket, "/x/C.tvk"), Outcome::HandedOver);
    EXPECT_EQ(first->Close(), QStringList{"/x/C.tvk"});
    EXPECT_EQ(StartBeside(socket, "/x/D.tvk", [&] { first.reset(); }), Outcome::First);

    // One socket per user and display, in the runtime folder or else in a private one.
    QTemporaryDir runtime;
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QByteArray display = qgetenv("DISPLAY");
    const auto on = [](const char* display) { return qputenv("DISPLAY", display), CSingleInstance::SessionSocketPath(); };
    EXPECT_TRUE(on(":3").startsWith(runtime.path() + "/graphelle-" + QString::number(getuid())));
    EXPECT_EQ(QStringList({on(":3.0"), on("unix:3")}), QStringList({on(":3"), on(":3")}));
    EXPECT_NE(on(":4"), on(":3"));
    EXPECT_NE(on("host:3"), on(":3"));
    qunsetenv("XDG_RUNTIME_DIR");
    const QString folder = QDir::tempPath() + "/graphelle-" + QString::number(getuid());
    EXPECT_TRUE(on(":3").startsWith(folder + "/"));
    struct stat st = {};
    EXPECT_EQ(::stat(qPrintable(folder), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    qputenv("DISPLAY", display);
}

TEST_F(ShellTest, ExecArgumentsAreQuotedOnlyForReservedCharactersAndEscapedWithin)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/graphelle", "/usr/bin/graphelle"},
        {"/100%/g", "/100%%/g"},
        {"/a b/c", "\"/a b/c\""},
        {"/a\"b", "\"/a\\\\\"b\""},
        {"/a$HOME", "\"/a\\\\$HOME\""},
        {"/a`x`", "\"/a\\\\`x\\\\`\""},
        {"/a\\b", "\"/a\\\\\\\\b\""},
        {"/it's/100%", "\"/it's/100%%\""},
        {"/line\nbreak", "\"/line\\nbreak\""},
    };
    for (const auto& [path, quoted] : cases) EXPECT_EQ(DesktopExecArgument(path), quoted) << path;
}

// desktop-file-validate accepts the launcher entry whatever the program's path, and once the
// desktop has indexed it, its tools find our type for a sketch and our launcher for the type;
// pieces that cannot be written are skipped.
TEST_F(ShellTest, TheDesktopReadsTheAssociationAsOurs)
{
    const QString data = Home() + "/.local/share", cli = "/x/graphelle-cli";
    const QString nasty = "/x/\"$`\\%'\n/graphelle";
    for (const QString& exe : {QString("/usr/bin/graphelle"), QString("/opt/My Apps/graphelle"), nasty}) {
        EXPECT_EQ(WriteFileAssociation(data, exe, cli).written, kAssociationPieces);
        EXPECT_EQ(RunTool("desktop-file-validate", {data + "/applications/graphelle.desktop"}), "")
            << exe.toStdString();
    }
    RefreshDesktopDatabases(data);
    EXPECT_TRUE(WaitFor([&] {
        return QFileInfo::exists(data + "/mime/mime.cache") && QFileInfo::exists(data + "/applications/mimeinfo.cache");
    }));
    // Known by its name alone, and named as the type's description says.
    ASSERT_TRUE(WriteFile(Home() + "/a.tvk", "no mark"));
    EXPECT_EQ(RunTool("mimetype", {"-b", "-d", Home() + "/a.tvk"}), "Graphelle File");
    EXPECT_EQ(RunTool("xdg-mime", {"query", "default", "application/x-graphelle-sketch"}), "graphelle.desktop");
    const QString cache = data + "/applications/mimeinfo.cache";
    EXPECT_TRUE(ReadText(cache).contains("\napplication/x-graphelle-sketch=graphelle.desktop;"));
    // A start then rewrites nothing; a moved program is written again.
    EXPECT_FALSE(WriteFileAssociation(data, nasty, cli).entryChanged);
    EXPECT_TRUE(WriteFileAssociation(data, "/new/graphelle", cli).entryChanged);

    // A file where a folder should be: nothing can be created below it, the rest is still written.
    QDir().mkpath(Home() + "/partly");
    QFile(Home() + "/partly/applications").open(QIODevice::WriteOnly);
    EXPECT_EQ(WriteFileAssociation(Home() + "/partly", "/x/graphelle", cli).written, kAssociationPieces - 1);
    EXPECT_EQ(WriteFileAssociation(Home() + "/partly/applications", "/x/graphelle", cli).written, 0);
    EXPECT_EQ(WriteFileAssociation(QString(), "/x/graphelle", cli).written, 0);
}

// Help goes to the desktop's browser through xdg-open, and to the program's own window, at the
// page's contents, when no browser starts.
TEST_F(ShellTest, HelpOpensTheBrowserOrElseTheProgramsOwnWindowAtTheContents)
{
    const QByteArray path = qgetenv("PATH");
    const QString bin = Home() + "/bin", note = Home() + "/args";
    QDir().mkpath(bin);
    qputenv("PATH", bin.toLocal8Bit());
    // xdg-open's status: a browser took the page, nothing could open it, no xdg-open at all.
    for (int status : {0, 3, -1}) {
        QFile::remove(note);
        const QString script = bin + "/xdg-open";
        const QString body = QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\nexit %2\n").arg(note).arg(status);
        ASSERT_TRUE(WriteFile(script, body.toUtf8()));
        const auto run = status < 0 ? QFile::Permissions() : QFile::ExeOwner;
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | run);
        Start();
        Frame().RouteCommand(ID_HELP);
        WaitFor([&] {
            const CHelpWindow* shown = Frame().findChild<CHelpWindow*>();
            return (shown && shown->isVisible()) || (status == 0 && QFileInfo::exists(note));
        });
        if (status == 0) RunEventLoop(500);  // long enough for a window to show after xdg-open took the page
        CHelpWindow* window = Frame().findChild<CHelpWindow*>();
        ASSERT_EQ(window && window->isVisible(), status != 0) << status;
        const QString page = QUrl::fromLocalFile(CQuillexApp::HelpPagePath()).toString() + "#Main_Contents\n";
        EXPECT_EQ(ReadText(note), status < 0 ? QString() : page);
        if (window) {
            EXPECT_EQ(window->windowTitle() + " " + window->Browser()->source().fragment(),
                      "Graphelle Help Main_Contents");
        }
        Stop();
    }
    qputenv("PATH", path);
}
