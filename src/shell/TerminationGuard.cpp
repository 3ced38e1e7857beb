#include "TerminationGuard.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write end for the handler; -1 while no guard is installed.
int g_signalSocket[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
bool g_bTerminating = false;

void HandleSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe calls here; a full socket already carries a
    // wake-up, so a failed write loses nothing.
    if (g_signalSocket[0] >= 0) {
        [[maybe_unused]] const ssize_t n = write(g_signalSocket[0], &byte, 1);
    }
}

}  // namespace

CTerminationGuard::CTerminationGuard(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent), m_onTerminate(std::move(onTerminate))
{
    if (g_signalSocket[0] >= 0 || socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalSocket) != 0) return;
    m_notifier = new QSocketNotifier(g_signalSocket[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CTerminationGuard::OnSignal);
    struct sigaction action = {};
    action.sa_handler = HandleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kSignals) sigaction(sig, &action, nullptr);
}

CTerminationGuard::~CTerminationGuard()
{
    // The request ends with the program it was for.
    g_bTerminating = false;
    if (!m_notifier) return;
    for (int sig : kSignals) std::signal(sig, SIG_DFL);
    close(g_signalSocket[0]);
    close(g_signalSocket[1]);
    g_signalSocket[0] = g_signalSocket[1] = -1;
}

bool TerminationRequested()
{
    return g_bTerminating;
}

void CTerminationGuard::OnSignal()
{
    char buffer[16];
    [[maybe_unused]] const ssize_t n = read(g_signalSocket[1], buffer, sizeof buffer);
    g_bTerminating = true;
    if (m_onTerminate) m_onTerminate();
}
