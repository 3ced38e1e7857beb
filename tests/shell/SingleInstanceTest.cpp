// One running copy per session, on a private socket. Every other start runs
// on a thread of its own, as another process would, while this thread runs
// the first copy's events; a first copy whose events do not run is hung.

#include "shell/SingleInstance.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <functional>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using Outcome = CSingleInstance::Outcome;

void RunEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    void StartFirst()
    {
        m_first = std::make_unique<CSingleInstance>(m_socket);
        ASSERT_EQ(m_first->Start(QString()), Outcome::First);
        m_first->Serve([this](const QString& path) { return received.append(path), accept; });
    }
    // meanwhile runs here once the other start is under way.
    Outcome StartBeside(const QString& request, const std::function<void()>& meanwhile = {})
    {
        std::atomic<Outcome> outcome{Outcome::Unguarded};
        std::unique_ptr<QThread> thread(QThread::create([&outcome, this, request] {
            outcome = CSingleInstance(m_socket).Start(request);
        }));
        QEventLoop loop;
        QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        if (meanwhile) QTimer::singleShot(200, meanwhile);
        loop.exec();
        RunEventLoop(30);
        return outcome;
    }

    QTemporaryDir m_dir;
    const QString m_socket = m_dir.path() + "/graphelle.socket";
    std::unique_ptr<CSingleInstance> m_first;
    QStringList received;
    bool accept = true;
};

TEST_F(SingleInstanceTest, ASecondStartHandsItsFileOrNoneToTheRunningCopy)
{
    StartFirst();
    const QStringList requests = {"/home/u/B.tvk", "", "/tmp/a b/\u00e4\n\"q\".tvk"};
    for (const QString& request : requests) EXPECT_EQ(StartBeside(request), Outcome::HandedOver);
    EXPECT_EQ(received, requests);
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashedCopyIsTakenOver)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", qPrintable(m_socket));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    StartFirst();
    EXPECT_EQ(StartBeside("/x/B.tvk"), Outcome::HandedOver);
    EXPECT_EQ(received, QStringList{"/x/B.tvk"});
}

TEST_F(SingleInstanceTest, AHungCopyIsReportedWithinTheWaitAndNeverOpensTheFileLater)
{
    StartFirst();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CSingleInstance(m_socket).Start("/x/B.tvk", 300, 300), Outcome::NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    RunEventLoop(200);
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(SingleInstanceTest, ARequestWaitsUntilTheOpenDialogCloses)
{
    StartFirst();
    QDialog dialog;
    dialog.setModal(true);
    dialog.show();
    EXPECT_EQ(StartBeside("/x/B.tvk"), Outcome::HandedOver);
    RunEventLoop(300);
    EXPECT_TRUE(received.isEmpty());
    dialog.close();
    RunEventLoop(300);
    EXPECT_EQ(received, QStringList{"/x/B.tvk"});
}

TEST_F(SingleInstanceTest, WhileTheRunningCopyQuitsNoFileIsLostAndTheNextStartWaitsForIt)
{
    StartFirst();
    accept = false;  // the window is closing
    EXPECT_EQ(StartBeside("/x/B.tvk"), Outcome::HandedOver);
    EXPECT_EQ(m_first->Close(), QStringList{"/x/B.tvk"});
    EXPECT_EQ(StartBeside("/x/C.tvk", [this] { m_first.reset(); }), Outcome::First);
}

TEST(SingleInstanceSession, OneSocketPerUserAndDisplay)
{
    QTemporaryDir runtime;
    const QByteArray saved[] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("DISPLAY")};
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const auto on = [](const char* display) { return qputenv("DISPLAY", display), CSingleInstance::SessionSocketPath(); };
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
