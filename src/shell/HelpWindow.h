#pragma once
// CHelpWindow: the manual in a window of the program's own, for a desktop on
// which no browser starts: a QTextBrowser over the installed help page, its
// links followed inside it, with Back and Contents. It only reads the page.

#include <QUrl>
#include <QWidget>

class QTextBrowser;

class CHelpWindow : public QWidget {
    Q_OBJECT

public:
    // A window of its own that closes with its owner.
    explicit CHelpWindow(QWidget* owner = nullptr);

    // Shows url, a local page and its anchor, and brings the window up.
    void ShowPage(const QUrl& url);
    QTextBrowser* Browser() const { return m_pBrowser; }

private:
    QTextBrowser* m_pBrowser;
    QUrl m_contents;
};
