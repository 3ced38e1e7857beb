// The program among the others of the desktop: one running copy per session, and the file
// association the desktop's own tools read.

#include "ShellTestSupport.h"

#include "shell/FileAssociation.h"
#include "shell/SingleInstance.h"

#include <QDialog>
#include <QProcess>
#include <QThread>

#include <atomic>
#include <utility>
#include <unistd.h>

using Outcome = CSingleInstance::Outcome;

// Another start on a thread of its own, as another process would, while this thread runs the
// first copy's events; meanwhile runs here once it is under way.
static Outcome StartBeside(const QString& socket, const QString& request, const std::function<void()>& meanwhile = {})
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
static QString RunTool(const QString& tool, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, args);
    if (!process.waitForFinished(10000)) return tool + " is missing; run scripts/install-deps";
    return QString::fromUtf8(process.readAll()).trimmed() + (process.exitCode() ? " (failed)" : "");
}


TEST_F(ShellTest, TheRunningCopyTakesEveryLaterStartsFileWhenItCanAndLosesNone)
{
    const QString socket = Home() + "/graphelle.socket";
    // What a crashed copy left where its socket was is taken over.
    filetest::WriteFile(socket.toStdString(), "left");
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
    dialog->open();
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
    const QString three = on(":3");
    EXPECT_TRUE(three.startsWith(runtime.path() + "/graphelle-" + QString::number(getuid())));
    const QList<bool> same = {on(":3.0") == three, on("unix:3") == three, on(":4") == three, on("host:3") == three};
    EXPECT_EQ(same, QList<bool>({true, true, false, false}));
    qunsetenv("XDG_RUNTIME_DIR");
    const QString folder = QDir::tempPath() + "/graphelle-" + QString::number(getuid());
    EXPECT_TRUE(on(":3").startsWith(folder + "/"));
    EXPECT_EQ((QFileInfo(folder).permissions() & 0x7077).toInt(), 0x7000);  // rwx for its owner only
    qputenv("DISPLAY", display);
}

// The program's path is quoted only for reserved characters, and escaped within; desktop-file-validate
// accepts the launcher entry whatever the path. (The desktop's tools reading it back is the real-X
// test of xdg-open.)
TEST_F(ShellTest, TheAssociationQuotesAnyPathValidlyAndIsWrittenOnlyWhenItChanged)
{
    // Only the faults desktop-file-validate lets through.
    const std::pair<const char*, const char*> cases[] = {
        {"/a b/c", "\"/a b/c\""}, {"/a$HOME", "\"/a\\\\$HOME\""}, {"/a\\b", "\"/a\\\\\\\\b\""}};
    for (const auto& [path, quoted] : cases) EXPECT_EQ(DesktopExecArgument(path), quoted) << path;
    const QString data = Home() + "/.local/share", cli = "/x/graphelle-cli", nasty = "/x/\"$`\\%'\n/graphelle";
    for (const QString& exe : {QString("/usr/bin/graphelle"), QString("/opt/My Apps/graphelle"), nasty}) {
        EXPECT_EQ(WriteFileAssociation(data, exe, cli).written, kAssociationPieces);
        EXPECT_EQ(RunTool("desktop-file-validate", {data + "/applications/graphelle.desktop"}), "")
            << exe.toStdString();
    }
    // Once the desktop indexed it, a file is ours by its name alone, as the type's description names
    // it; a start then rewrites nothing; a moved program is written again.
    RefreshDesktopDatabases(data);
    for (const char* index : {"/mime/mime.cache", "/applications/mimeinfo.cache"})
        EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(data + index); })) << index;
    filetest::WriteFile((Home() + "/a.tvk").toStdString(), "no mark");
    EXPECT_EQ(RunTool("mimetype", {"-b", "-d", Home() + "/a.tvk"}), "Graphelle File");
    EXPECT_FALSE(WriteFileAssociation(data, nasty, cli).entryChanged);
    EXPECT_TRUE(WriteFileAssociation(data, "/new/graphelle", cli).entryChanged);
    // No data folder known: nothing is written anywhere.
    EXPECT_EQ(WriteFileAssociation(QString(), "/x/graphelle", cli).written, 0);
}
