// Help opens the manual in the desktop's browser through xdg-open, and in the program's own
// window when no browser starts; that window shows the page at its anchor and follows its links.

#include "ShellTestSupport.h"

#include "shell/HelpWindow.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

namespace {

class HelpTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        m_path = qgetenv("PATH");
        QDir().mkpath(Bin());
        qputenv("PATH", Bin().toLocal8Bit());
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        qputenv("PATH", m_path);
    }
    QString Bin() const { return Home() + "/bin"; }
    QString Note() const { return Home() + "/xdg-open.args"; }

    // A stand-in for xdg-open that notes its arguments and ends with status.
    void FakeXdgOpen(int status)
    {
        QFile script(Bin() + "/xdg-open");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\nexit %2\n").arg(Note()).arg(status).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Runs the loop until the help window shows or the launcher has surely ended.
    CHelpWindow* WaitForHelp()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 3000) {
            RunEventLoop(20);
            auto* window = Frame().findChild<CHelpWindow*>();
            if (window && window->isVisible()) return window;
            if (QFileInfo::exists(Note()) && timer.elapsed() > 500) break;
        }
        return nullptr;
    }

private:
    QByteArray m_path;
};

void Click(QWidget* widget, QPoint at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

}  // namespace

TEST_F(HelpTest, HelpOpensTheBrowserOrElseTheProgramsOwnWindow)
{
    const struct {
        const char* what;
        int status;  // of xdg-open; -1 when there is none
        bool window;
    } cases[] = {
        {"a browser took the page", 0, false},
        {"nothing could open the page", 3, true},
        {"no xdg-open at all", -1, true},
    };
    for (const auto& c : cases) {
        QFile::remove(Bin() + "/xdg-open");
        QFile::remove(Note());
        if (c.status >= 0) FakeXdgOpen(c.status);
        Start();
        Frame().RouteCommand(ID_HELP);
        EXPECT_EQ(WaitForHelp() != nullptr, c.window) << c.what;
        if (c.status >= 0) {
            EXPECT_EQ(ReadText(Note()), QUrl::fromLocalFile(CQuillexApp::HelpPagePath()).toString() + "#Main_Contents\n")
                << c.what;
        }
        Stop();
    }
}

TEST_F(HelpTest, TheHelpWindowShowsTheManualAtItsAnchorAndFollowsItsLinks)
{
    Start();
    Frame().RouteCommand(ID_HELP);
    CHelpWindow* window = WaitForHelp();
    ASSERT_TRUE(window);
    QTextBrowser* browser = window->Browser();
    EXPECT_EQ(window->windowTitle(), "Graphelle Help");
    EXPECT_EQ(browser->source(), QUrl::fromLocalFile(CQuillexApp::HelpPagePath()).toString() + "#Main_Contents");
    EXPECT_TRUE(browser->toPlainText().contains("Keyboard shortcuts"));
    RunEventLoop();
    const int top = browser->verticalScrollBar()->value();

    // A click on a link of the contents goes down to its section, and Back returns.
    QTextCursor link = browser->document()->find("File types");
    ASSERT_FALSE(link.isNull());
    link.setPosition(link.selectionStart() + 2);
    Click(browser->viewport(), browser->cursorRect(link).center());
    RunEventLoop();
    EXPECT_EQ(browser->source().fragment(), "Files");
    EXPECT_GT(browser->verticalScrollBar()->value(), top + 200);
    QToolButton* back = window->findChild<QToolButton*>();
    ASSERT_TRUE(back && back->isEnabled());
    back->click();
    EXPECT_EQ(browser->source().fragment(), "Main_Contents");
    EXPECT_EQ(browser->verticalScrollBar()->value(), top);

    // Help again brings the same window back.
    Frame().RouteCommand(ID_HELP);
    EXPECT_EQ(WaitForHelp(), window);
    EXPECT_EQ(Frame().findChildren<CHelpWindow*>().size(), 1);
}
