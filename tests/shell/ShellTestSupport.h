#pragma once
// A private home for every test (settings, data, state and documents folders), fake
// dialogs that answer at once, and a running program built on them.

#include "document/QuillexDoc.h"
#include "shell/MainFrame.h"
#include "shell/MainToolBar.h"
#include "shell/OptionBar.h"
#include "shell/QuillexApp.h"
#include "view/QuillexView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QWidgetAction>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct FakeNewPaperDialog : INewPaperDialog {
    bool Run(int32_t& width, int32_t& height, int32_t& roughness) override
    {
        ++runs;
        if (whileShown) whileShown();
        if (accept) width = 400, height = 300, roughness = 5;
        return accept;
    }
    std::function<void()> whileShown;  // what the test looks at while the dialog is up
    int runs = 0;
    bool accept = true;
};

struct FakeMessageBox : IMessageBox {
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

struct FakeSaveAsDialog : ISaveAsDialog {
    bool Run(const std::string& title, const std::string&, const std::vector<FileFilter>& filters,
             std::string& chosenPath) override
    {
        ++runs;
        lastTitle = title;
        lastFilters = filters;
        chosenPath = answer;
        return !answer.empty();
    }
    int runs = 0;
    std::string answer, lastTitle;
    std::vector<FileFilter> lastFilters;
};

inline QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        const QByteArray home = m_home.path().toLocal8Bit();
        setenv("HOME", home.constData(), 1);
        setenv("XDG_CONFIG_HOME", (home + "/.config").constData(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").constData(), 1);
        setenv("XDG_STATE_HOME", (home + "/.local/state").constData(), 1);
        unsetenv("XDG_DOCUMENTS_DIR");
        unsetenv("XDG_STATE_HOME");
    }
    void TearDown() override { Stop(); }

    QString Home() const { return m_home.path(); }
    QString Documents() const { return m_home.path() + "/Documents"; }
    QString ProfilePath() const { return m_home.path() + "/.config/Ostrevane/Graphelle.ini"; }

    // Starts the program as main() does, with the fakes in place of dialogs.
    void Start(const QStringList& args = {})
    {
        m_app = std::make_unique<CQuillexApp>();
        Services().pNewPaperDialog = &newDialog;
        Services().pMessageBox = &messages;
        Services().pSaveAsDialog = &saveAs;
        m_app->InitInstance(args);
        QApplication::processEvents();
        Frame().OnIdle();
    }
    // Ends the program the way its destruction does: settings are written.
    void Stop()
    {
        m_app.reset();
        QApplication::processEvents();
    }

    // Runs the event loop long enough for it to go idle at least once.
    static void RunEventLoop(int ms = 30)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    CMainFrame& Frame() { return *m_app->GetFrame(); }
    CQuillexDoc& Doc() { return *m_app->GetDocument(); }
    // A command's state after an idle pass.
    bool Enabled(uint32_t id) { return Frame().OnIdle(), Frame().Action(id)->isEnabled(); }
    bool Checked(uint32_t id) { return Frame().OnIdle(), Frame().Action(id)->isChecked(); }

    // A pencil stroke across the sheet, as the view's tracking feeds it.
    void DrawStroke(int32_t y = 40)
    {
        ASSERT_TRUE(Doc().PointerDown(m_app->GetView(), 20, y, 20, y));
        for (int32_t x = 21; x < 120; x += 3) Doc().PointerMove(x, y, x, y);
        Doc().PointerUp(120, y, 120, y);
    }

    FakeNewPaperDialog newDialog;
    FakeMessageBox messages;
    FakeSaveAsDialog saveAs;
    std::unique_ptr<CQuillexApp> m_app;

private:
    QTemporaryDir m_home;
};
