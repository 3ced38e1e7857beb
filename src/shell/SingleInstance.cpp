#include "SingleInstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A request: the magic, the path's length (big-endian) and the path's bytes.
// The running copy answers kTaken; only the starter's kConfirmed, sent once
// it has the answer, commits the running copy to the request, so a starter
// that gave up waiting never has its file opened behind its back.
constexpr char kMagic[4] = {'G', 'R', 'L', '1'};
constexpr int kHeaderBytes = 8;
constexpr int kMaxPathBytes = 4096;  // PATH_MAX: a longer request is not ours
constexpr char kTaken = 'A';
constexpr char kConfirmed = 'K';
// A client that says nothing is not kept forever.
constexpr int kIdleClientMs = 5000;
// How often a request held back by a dialog asks again.
constexpr int kRetryMs = 100;
// How often a start looks again for a copy that is starting or quitting.
constexpr int kPollMs = 20;

// The display the program shows on; ":0", ":0.0" and "unix:0" are one.
QString SessionDisplay()
{
    const QString platform = QGuiApplication::platformName();
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    QString x11 = qEnvironmentVariable("DISPLAY");
    if (x11.startsWith(QStringLiteral("unix:"))) x11.remove(0, 4);
    const qsizetype colon = x11.lastIndexOf(':');
    const qsizetype dot = x11.indexOf('.', colon + 1);
    if (colon >= 0 && dot > colon) x11.truncate(dot);
    if (platform.startsWith(QStringLiteral("wayland"))) return wayland.isEmpty() ? QStringLiteral("wayland-0") : wayland;
    if (platform == QStringLiteral("xcb")) return x11;
    return !wayland.isEmpty() ? wayland : !x11.isEmpty() ? x11 : platform;
}

// A folder only this user can enter, made when missing; false when another
// user owns it or it is open to others and cannot be closed.
bool PrivateFolder(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    ::mkdir(native.constData(), 0700);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
    return (st.st_mode & 077) == 0 || ::chmod(native.constData(), 0700) == 0;
}

bool FitsSocketAddress(const QString& path)
{
    return QFile::encodeName(path).size() < static_cast<qsizetype>(sizeof(sockaddr_un::sun_path));
}

QByteArray EncodeRequest(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    const auto n = static_cast<uint32_t>(bytes.size());
    const char length[4] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    return QByteArray(kMagic, 4) + QByteArray(length, 4) + bytes;
}

}  // namespace

CSingleInstance::CSingleInstance(const QString& socketPath, QObject* parent)
    : QObject(parent), m_socketPath(socketPath)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &CSingleInstance::Deliver);
}

CSingleInstance::~CSingleInstance()
{
    Close();
    // Closing the file gives up the lock: the next start may run.
    if (m_lockFd >= 0) ::close(m_lockFd);
}

QString CSingleInstance::SessionSocketPath()
{
    const QByteArray hash =
        QCryptographicHash::hash(SessionDisplay().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    const QString name = QStringLiteral("graphelle-%1-%2.socket").arg(::getuid()).arg(QString::fromLatin1(hash));
    // After su or sudo the variable may name another user's folder.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QFileInfo runtimeInfo(runtime);
    if (runtime.startsWith('/') && runtimeInfo.isDir() && runtimeInfo.isWritable() &&
        FitsSocketAddress(runtime + '/' + name))
        return runtime + '/' + name;
    const QString folder = QDir::tempPath() + QStringLiteral("/graphelle-%1").arg(::getuid());
    if (!PrivateFolder(folder) || !FitsSocketAddress(folder + '/' + name)) return QString();
    return folder + '/' + name;
}

CSingleInstance::Outcome CSingleInstance::Start(const QString& request, int answerMs, int closingMs)
{
    if (m_socketPath.isEmpty()) return Outcome::Unguarded;
    const QByteArray lockPath = QFile::encodeName(m_socketPath + QStringLiteral(".lock"));
    m_lockFd = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFd < 0) return Outcome::Unguarded;
    // Whoever holds the lock is the running copy, from before it listens
    // until its process is gone, so two starts at one moment, or one during
    // the last copy's final save, never both run.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0) {
            Listen();
            return Outcome::First;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) return Outcome::Unguarded;
        switch (HandOver(request, answerMs)) {
        case Reply::Taken: return Outcome::HandedOver;
        case Reply::Silent: return Outcome::NoAnswer;
        case Reply::Absent: break;
        }
        if (waited.elapsed() >= closingMs) return Outcome::NoAnswer;
        QThread::msleep(kPollMs);
    }
}

CSingleInstance::Reply CSingleInstance::HandOver(const QString& request, int answerMs) const
{
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(answerMs)) {
        const auto error = socket.error();
        return error == QLocalSocket::ServerNotFoundError || error == QLocalSocket::ConnectionRefusedError
                   ? Reply::Absent
                   : Reply::Silent;
    }
    socket.write(EncodeRequest(request));
    while (socket.bytesAvailable() < 1) {
        const int left = answerMs - static_cast<int>(clock.elapsed());
        if (left <= 0) return Reply::Silent;
        // A copy that closes its socket while quitting is gone, not hung.
        if (!socket.waitForReadyRead(left))
            return socket.state() == QLocalSocket::ConnectedState ? Reply::Silent : Reply::Absent;
    }
    char answer = 0;
    if (!socket.getChar(&answer) || answer != kTaken) return Reply::Silent;
    socket.putChar(kConfirmed);
    if (!socket.waitForBytesWritten(std::max(1, answerMs - static_cast<int>(clock.elapsed()))))
        return Reply::Silent;
    socket.disconnectFromServer();
    return Reply::Taken;
}

void CSingleInstance::Listen()
{
    // Holding the lock, a socket already there is a crashed copy's.
    QLocalServer::removeServer(m_socketPath);
    m_pServer = new QLocalServer(this);
    if (!m_pServer->listen(m_socketPath)) {
        std::fprintf(stderr, "graphelle: other starts cannot reach this copy (%s)\n",
                     qPrintable(m_pServer->errorString()));
        return;
    }
    connect(m_pServer, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        QTimer::singleShot(kIdleClientMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0) OnReadyRead(socket);
    }
}

void CSingleInstance::OnReadyRead(QLocalSocket* socket)
{
    const QVariant taken = socket->property("request");
    if (taken.isValid()) {
        char confirm = 0;
        if (!socket->getChar(&confirm) || confirm != kConfirmed) {
            socket->abort();
            return;
        }
        socket->setProperty("request", QVariant());
        socket->disconnectFromServer();
        m_pending.append(taken.toString());
        // Whoever asked sees the dialog that holds the request back.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (QWidget* owner = modal->parentWidget()) owner->window()->raise();
            modal->raise();
            modal->activateWindow();
        }
        if (!m_retry.isActive()) m_retry.start(0);
        return;
    }
    if (socket->bytesAvailable() < kHeaderBytes) return;
    const QByteArray header = socket->peek(kHeaderBytes);
    const auto* b = reinterpret_cast<const unsigned char*>(header.constData());
    const uint32_t length = uint32_t{b[4]} << 24 | uint32_t{b[5]} << 16 | uint32_t{b[6]} << 8 | b[7];
    if (header.left(4) != QByteArray(kMagic, 4) || length > kMaxPathBytes) {
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < kHeaderBytes + length) return;
    socket->skip(kHeaderBytes);
    socket->setProperty("request", QFile::decodeName(socket->read(length)));
    socket->putChar(kTaken);
    socket->flush();
}

void CSingleInstance::Serve(std::function<bool(const QString&)> handler)
{
    m_handler = std::move(handler);
    if (!m_pending.isEmpty()) m_retry.start(0);
}

void CSingleInstance::Deliver()
{
    // A handler that opens a dialog runs the event loop: no second request
    // may start inside the first.
    if (!m_handler || m_pending.isEmpty() || m_bDelivering) return;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        m_retry.start(kRetryMs);
        return;
    }
    m_bDelivering = true;
    const bool done = m_handler(m_pending.first());
    m_bDelivering = false;
    if (done) m_pending.removeFirst();
    if (!m_pending.isEmpty()) m_retry.start(done ? 0 : kRetryMs);
}

QStringList CSingleInstance::Close()
{
    // The socket goes at once; starts from now on wait for the lock.
    delete m_pServer;
    m_pServer = nullptr;
    m_retry.stop();
    QStringList files;
    for (const QString& request : std::as_const(m_pending))
        if (!request.isEmpty()) files.append(request);
    m_pending.clear();
    return files;
}
