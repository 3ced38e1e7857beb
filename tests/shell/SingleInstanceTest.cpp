// One running copy per session, on a private socket. Every other start runs
// on a thread of its own, as another process would, while this thread runs
// the first copy's events; a first copy whose events do not run is hung.

#include "ShellTestSupport.h"

#include "shell/SingleInstance.h"

#include <QDialog>
#include <QThread>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <utility>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Outcome = CSingleInstance::Outcome;

// Another start on a thread of its own, while this thread runs the events; meanwhile runs here
// once it is under way.
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

    // A hung copy, whose events do not run, is reported within the wait and never opens the file later.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CSingleInstance(socket).Start("/x/H.tvk", 300, 300), Outcome::NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    RunEventLoop(200);
    EXPECT_TRUE(received.isEmpty());

    // While the running copy quits, no file is lost, and the next start waits for it.
    accept = false;  // the window is closing
    EXPECT_EQ(StartBeside(socket, "/x/C.tvk"), Outcome::HandedOver);
    EXPECT_EQ(first->Close(), QStringList{"/x/C.tvk"});
    EXPECT_EQ(StartBeside(socket, "/x/D.tvk", [&] { first.reset(); }), Outcome::First);
}

TEST_F(ShellTest, OneSingleInstanceSocketPerUserAndDisplay)
{
    QTemporaryDir runtime;
    const QByteArray saved[] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("DISPLAY")};
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const auto on = [](const char* display) {
        return qputenv("DISPLAY", display), CSingleInstance::SessionSocketPath();
    };
    EXPECT_TRUE(on(":3").startsWith(runtime.path() + "/graphelle-" + QString::number(getuid())));
    EXPECT_EQ(on(":3.0"), on(":3"));
    EXPECT_EQ(on("unix:3"), on(":3"));
    EXPECT_NE(on(":4"), on(":3"));
    EXPECT_NE(on("host:3"), on(":3"));
    // Without a runtime folder, a folder of the user's own.
    qunsetenv("XDG_RUNTIME_DIR");
    const QString folder = QDir::tempPath() + "/graphelle-" + QString::number(getuid());
    EXPECT_TRUE(on(":3").startsWith(folder + "/"));
    struct stat st = {};
    EXPECT_EQ(::stat(qPrintable(folder), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    qputenv("XDG_RUNTIME_DIR", saved[0]);
    qputenv("DISPLAY", saved[1]);
}

}  // namespace
