#pragma once
// CTerminationGuard: turns SIGTERM, SIGINT and SIGHUP (a logout, a kill, a
// closed terminal) into an ordinary Exit on the event loop, so that a changed
// drawing is saved before the program ends. The signal handler only writes
// one byte into a socket the loop watches; everything else runs on the
// user-interface thread.

#include <QObject>

#include <functional>

class QSocketNotifier;

// True once a termination signal arrived. Dialogs then answer at once, as
// cancelled: nobody is there to answer them, and the session will not wait.
bool TerminationRequested();

class CTerminationGuard : public QObject {
public:
    explicit CTerminationGuard(std::function<void()> onTerminate, QObject* parent = nullptr);
    ~CTerminationGuard() override;

private:
    void OnSignal();

    std::function<void()> m_onTerminate;
    QSocketNotifier* m_notifier = nullptr;
};
