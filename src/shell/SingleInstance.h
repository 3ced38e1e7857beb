#pragma once
// CSingleInstance: one running copy of the program per user session (one user
// on one display). The running copy holds a lock for its whole life and
// listens on a local socket; a later start hands its file over and ends. The
// running copy carries out each request once no dialog or menu is open.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QLocalServer;
class QLocalSocket;

class CSingleInstance : public QObject {
public:
    enum class Outcome {
        First,       // this is the running copy now
        HandedOver,  // the running copy has taken the request
        NoAnswer,    // a copy runs but did not take the request in time
        Unguarded,   // no private place for the lock: running unchecked
    };

    // socketPath: where the running copy listens; its lock file lies beside.
    explicit CSingleInstance(const QString& socketPath, QObject* parent = nullptr);
    ~CSingleInstance() override;
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // This user's socket on the display the program shows on: in
    // $XDG_RUNTIME_DIR, else in a private folder of the temporary folder;
    // empty when neither is usable.
    static QString SessionSocketPath();

    // Becomes the running copy, or hands request (an absolute path; empty to
    // only raise the window) to the one that runs. answerMs bounds the wait
    // for its answer; closingMs the wait for a copy that holds the lock
    // without listening, because it is just starting or quitting.
    Outcome Start(const QString& request, int answerMs = 1500, int closingMs = 5000);

    // From now on every request goes to handler, one at a time and never
    // under a dialog; false from the handler means "not now, ask again".
    void Serve(std::function<bool(const QString&)> handler);

    // Quitting: no request is taken any more. Returns the files of requests
    // taken but not carried out, so that they are not lost.
    QStringList Close();

private:
    enum class Reply { Taken, Silent, Absent };
    Reply HandOver(const QString& request, int answerMs) const;
    void Listen();
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);
    void Deliver();

    QString m_socketPath;
    int m_lockFd = -1;
    QLocalServer* m_pServer = nullptr;
    QStringList m_pending;
    std::function<bool(const QString&)> m_handler;
    QTimer m_retry;
    bool m_bDelivering = false;
};
