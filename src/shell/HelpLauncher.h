#pragma once
// CHelpLauncher: opens the manual in the desktop's browser through xdg-open,
// and in the program's own CHelpWindow when no browser starts there: no
// xdg-open, or xdg-open reporting that nothing could open the page. It never
// waits for the browser; the help window belongs to the main window.

#include <QObject>
#include <QPointer>
#include <QUrl>

class CHelpWindow;
class QWidget;

class CHelpLauncher : public QObject {
public:
    explicit CHelpLauncher(QWidget* owner);
    ~CHelpLauncher() override;

    void Open(const QUrl& url);
    // The help window once it was needed, else null.
    CHelpWindow* HelpWindow() const;

private:
    void ShowWindow(const QUrl& url);

    QPointer<QWidget> m_pOwner;
    QPointer<CHelpWindow> m_pWindow;
};
