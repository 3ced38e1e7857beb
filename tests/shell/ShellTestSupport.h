#pragma once
// A private home for every test (settings, data, state and documents folders), fake
// dialogs that answer at once, a running program built on them, and sketch files to
// open and read back.

#include "document/QuillexDoc.h"
#include "formats/SketchFile.h"
#include "framework/FileTestSupport.h"
#include "io/Archive.h"
#include "shell/MainFrame.h"
#include "shell/OptionBar.h"
#include "shell/QuillexApp.h"
#include "view/QuillexView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

struct FakeDialogs : INewPaperDialog, IMessageBox, ISaveAsDialog {
    bool Run(int32_t& width, int32_t& height, int32_t& roughness) override
    {
        ++newRuns;
        width = 400, height = 300, roughness = 5;
        return true;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool Run(const std::string&, const std::string&, const std::vector<FileFilter>&, std::string& chosenPath) override
    {
        chosenPath = saveAsAnswer;
        return !saveAsAnswer.empty();
    }
    int newRuns = 0;
    std::vector<std::string> messages;
    std::string saveAsAnswer;
};

// Runs the event loop long enough for it to go idle at least once.
inline void RunEventLoop(int ms = 30)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets the event loop run until done() or five seconds passed.
inline bool WaitFor(const std::function<bool()>& done)
{
    for (int waited = 0; waited < 5000 && !done(); waited += 25) RunEventLoop(25);
    return done();
}

// A white sketch file with a square of gray 20 at (10, 10), 20 pixels on a side.
inline bool WriteSketchFile(const QString& path, uint32_t w = 200, uint32_t h = 150)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    CPaper paper;
    CArchive ar;
    if (!paper.Create(w, h, 5)) return false;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x) paper.SetPixel(x, y, 20);
    return ar.Open(path.toStdString(), CArchive::store) && WriteSketch(paper, ar) && ar.Close();
}

// The pixel (x, y) of a sketch file, or -1 when it cannot be read whole.
inline int SavedPixel(const QString& path, int32_t x, int32_t y)
{
    CPaper paper;
    std::string error;
    return LoadSketchFile(path.toStdString(), paper, error) == SketchLoad::Whole ? paper.GetPixel(x, y) : -1;
}

// Answers the next modal window of a class once it is up.
inline void AnswerNextModal(const char* className, std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, className, answer] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->inherits(className)) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
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
        unsetenv("XDG_DOCUMENTS_DIR");
        unsetenv("XDG_STATE_HOME");
    }
    void TearDown() override { Stop(); }

    QString Home() const { return m_home.path(); }
    QString Documents() const { return m_home.path() + "/Documents"; }
    QString DocPath() { return QString::fromStdString(Doc().GetPathName()); }

    // Starts the program as main() does, with the fakes in place of dialogs.
    void Start(const QStringList& args = {})
    {
        m_app = std::make_unique<CQuillexApp>();
        m_app->GetServices().pNewPaperDialog = &dialogs;
        m_app->GetServices().pMessageBox = &dialogs;
        m_app->GetServices().pSaveAsDialog = &dialogs;
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

    CMainFrame& Frame() { return *m_app->GetFrame(); }
    CQuillexDoc& Doc() { return *m_app->GetDocument(); }
    // A pencil stroke across the sheet, as the view's tracking feeds it; up: false leaves
    // the pointer held at its end.
    void DrawStroke(int32_t y = 40, bool up = true)
    {
        ASSERT_TRUE(Doc().PointerDown(m_app->GetView(), 20, y, 20, y));
        for (int32_t x = 21; x < 120; x += 3) Doc().PointerMove(x, y, x, y);
        if (up) Doc().PointerUp(120, y, 120, y);
    }

    FakeDialogs dialogs;
    std::unique_ptr<CQuillexApp> m_app;

private:
    QTemporaryDir m_home;
};
