// One running copy per session: a second start hands its file over and ends,
// a crashed copy's socket is taken over, a hung copy is reported and never
// opens the file afterwards, a dialog holds a request back, and a start during
// the running copy's quitting waits for it and then runs. Every "other start"
// runs on a thread of its own, as another process would, on a private socket.

#include "shell/SingleInstance.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <functional>
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
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_first = std::make_unique<CSingleInstance>(Socket());
        ASSERT_EQ(m_first->Start(QString()), Outcome::First);
        m_first->Serve([this](const QString& path) {
            received.append(path);
            return accept;
        });
    }
    QString Socket() const { return m_dir.path() + "/graphelle.socket"; }

    // Another start, while this thread runs the first copy's events; meanwhile
    // runs on this thread once the other start is under way.
    Outcome StartBeside(const QString& request, const std::function<void()>& meanwhile = {})
    {
        std::atomic<Outcome> outcome{Outcome::Unguarded};
        const QString socket = Socket();
        std::unique_ptr<QThread> thread(QThread::create([&outcome, socket, request] {
            CSingleInstance other(socket);
            outcome = other.Start(request);
        }));
        QEventLoop loop;
        QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
        thread->start();
        if (meanwhile) QTimer::singleShot(200, meanwhile);
        loop.exec();
        thread->wait();
        RunEventLoop(30);  // the request reaches the handler
        return outcome;
    }

    QStringList received;
    bool accept = true;
    std::unique_ptr<CSingleInstance> m_first;

private:
    QTemporaryDir m_dir;
};

TEST_F(SingleInstanceTest, ASecondStartHandsItsFileOrNoneToTheRunningCopy)
{
    const QStringList requests = {"/home/u/Documents/B.tvk", "", "/tmp/a b/\u00e4\n\"q\".tvk"};
    for (const QString& request : requests) EXPECT_EQ(StartBeside(request), Outcome::HandedOver) << request.toStdString();
    EXPECT_EQ(received, requests);
}

TEST_F(SingleInstanceTest, ASocketLeftByACrashedCopyIsTakenOver)
{
    m_first.reset();
    // A socket file with nobody listening, as a killed copy leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray path = Socket().toLocal8Bit();
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.constData());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);

    ASSERT_NO_FATAL_FAILURE(SetUp());
    EXPECT_EQ(StartBeside("/x/B.tvk"), Outcome::HandedOver);
    EXPECT_EQ(received, QStringList{"/x/B.tvk"});
}

TEST_F(SingleInstanceTest, ARunningCopyThatDoesNotAnswerIsReportedAndNeverOpensTheFileLater)
{
    // The first copy's events do not run during this start: it is hung.
    CSingleInstance other(Socket());
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(other.Start("/x/B.tvk", 300, 300), Outcome::NoAnswer);
    EXPECT_LT(clock.elapsed(), 1000);
    RunEventLoop(200);
    EXPECT_TRUE(received.isEmpty());
}

TEST_F(SingleInstanceTest, ARequestWaitsUntilTheOpenDialogCloses)
{
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

TEST_F(SingleInstanceTest, WhileTheRunningCopyQuitsNoRequestIsLostAndTheNextStartWaitsForIt)
{
    accept = false;  // the window is closing
    EXPECT_EQ(StartBeside("/x/B.tvk"), Outcome::HandedOver);
    EXPECT_EQ(StartBeside(""), Outcome::HandedOver);
    EXPECT_EQ(m_first->Close(), QStringList{"/x/B.tvk"});
    // Its final save still under way, the lock is held: the next start waits
    // for the process to end and then runs as the first.
    EXPECT_EQ(StartBeside("/x/C.tvk", [this] { m_first.reset(); }), Outcome::First);
}

TEST(SingleInstanceSession, OneSocketPerUserAndDisplay)
{
    QTemporaryDir runtime;
    const QByteArray saved[] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const auto socketOn = [](const char* display) {
        qputenv("DISPLAY", display);
        return CSingleInstance::SessionSocketPath();
    };
    EXPECT_TRUE(socketOn(":3").startsWith(runtime.path() + "/graphelle-" + QString::number(getuid())));
    EXPECT_EQ(socketOn(":3.0"), socketOn(":3"));
    EXPECT_EQ(socketOn("unix:3"), socketOn(":3"));
    EXPECT_NE(socketOn(":4"), socketOn(":3"));
    EXPECT_NE(socketOn("host:3"), socketOn(":3"));

    // Without a runtime folder: a folder of the user's own in the temporary one.
    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = socketOn(":3");
    const QString folder = QDir::tempPath() + "/graphelle-" + QString::number(getuid());
    EXPECT_EQ(fallback.left(folder.size() + 1), folder + "/");
    struct stat st = {};
    EXPECT_EQ(::stat(folder.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    const char* names[] = {"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY"};
    for (int i = 0; i < 3; ++i)
        saved[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], saved[i]);
}

}  // namespace
