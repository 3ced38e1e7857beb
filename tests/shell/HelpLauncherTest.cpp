// Help goes to the desktop's browser through xdg-open, and to the program's own window when no
// browser starts; that window shows the page at its anchor and follows its links.

#include "ShellTestSupport.h"

#include "shell/HelpWindow.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolButton>

TEST_F(ShellTest, HelpOpensTheBrowserOrElseTheProgramsOwnWindowAtTheAnchor)
{
    const QByteArray path = qgetenv("PATH");
    const QString bin = Home() + "/bin", note = Home() + "/args";
    QDir().mkpath(bin);
    qputenv("PATH", bin.toLocal8Bit());
    // xdg-open's status: a browser took the page, nothing could open it, no xdg-open at all.
    for (int status : {0, 3, -1}) {
        QFile::remove(note);
        QFile script(bin + "/xdg-open");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\nexit %2\n").arg(note).arg(status).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | (status < 0 ? QFile::Permissions() : QFile::ExeOwner));
        Start();
        Frame().RouteCommand(ID_HELP);
        WaitFor([&] {
            const CHelpWindow* shown = Frame().findChild<CHelpWindow*>();
            return (shown && shown->isVisible()) || (status == 0 && QFileInfo::exists(note));
        });
        if (status == 0) RunEventLoop(500);  // long enough for a window to show after xdg-open took the page
        CHelpWindow* window = Frame().findChild<CHelpWindow*>();
        EXPECT_EQ(window && window->isVisible(), status != 0) << status;
        const QString page = QUrl::fromLocalFile(CQuillexApp::HelpPagePath()).toString() + "#Main_Contents\n";
        EXPECT_EQ(ReadText(note), status < 0 ? QString() : page);
        if (status == 3 && window) {
            // The page at its anchor; a click on a link of the contents goes to its section, Back returns.
            QTextBrowser* browser = window->Browser();
            EXPECT_EQ(window->windowTitle(), "Graphelle Help");
            EXPECT_EQ(browser->source().fragment(), "Main_Contents");
            RunEventLoop();
            const int top = browser->verticalScrollBar()->value();
            QTextCursor link = browser->document()->find("File types");
            link.setPosition(link.selectionStart() + 2);
            const QPoint at = browser->cursorRect(link).center();
            QMouseEvent press(QEvent::MouseButtonPress, at, browser->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
            QMouseEvent release(QEvent::MouseButtonRelease, at, browser->mapToGlobal(at), Qt::LeftButton, {}, {});
            QApplication::sendEvent(browser->viewport(), &press);
            QApplication::sendEvent(browser->viewport(), &release);
            EXPECT_EQ(browser->source().fragment(), "Files");
            EXPECT_GT(browser->verticalScrollBar()->value(), top + 200);
            window->findChild<QToolButton*>()->click();
            EXPECT_EQ(browser->verticalScrollBar()->value(), top);
        }
        Stop();
    }
    qputenv("PATH", path);
}
