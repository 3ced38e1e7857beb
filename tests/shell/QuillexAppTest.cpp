#include "ShellTestSupport.h"

#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "framework/Archive.h"
#include "shell/DocListPage.h"
#include "shell/MainToolBar.h"
#include "shell/OptionBar.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QFileDialog>
#include <QTimer>
#include <QToolBar>

#include <csignal>
#include <functional>
#include <QWidgetAction>

namespace {

// A sketch file with a dark square at (10, 10), 20 pixels on a side.
void WriteSketchFile(const QString& path, uint32_t w = 200, uint32_t h = 150)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    CPaper paper;
    ASSERT_TRUE(paper.Create(w, h, 5));
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x) paper.SetPixel(x, y, 20);
    CArchive ar;
    ASSERT_TRUE(ar.Open(path.toStdString(), CArchive::store));
    ASSERT_TRUE(WriteSketch(paper, ar));
    ASSERT_TRUE(ar.Close());
}

bool ReadSketchFile(const QString& path, CPaper& paper)
{
    CPaper base;
    CArchive ar;
    if (!ar.Open(path.toStdString(), CArchive::load)) return false;
    ReadSketch(paper, base, ar);
    ar.Close();
    return paper.HasBits();
}

QStringList VisibleMenuTitles(const QMenuBar* bar)
{
    QStringList titles;
    for (QAction* a : bar->actions())
        if (a->isVisible()) titles << a->text();
    return titles;
}

}  // namespace

TEST_F(ShellTest, FirstStartWithoutArgumentsRunsNewAndShowsAnEmptySheet)
{
    Start();
    EXPECT_EQ(newDialog.runs, 1);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(Frame().IsDocListShown());
    ASSERT_TRUE(Doc().m_paper.HasBits());
    EXPECT_EQ(Doc().m_paper.GetWidth(), 400u);
    EXPECT_EQ(Doc().m_paper.GetHeight(), 300u);
    EXPECT_EQ(Doc().GetPathName(), (Documents() + "/Sketch1.tvk").toStdString());
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().windowTitle(), "Sketch1 - Graphelle");
}

TEST_F(ShellTest, AFileOnTheCommandLineIsOpened)
{
    const QString file = Home() + "/elsewhere/with blank.tvk";
    WriteSketchFile(file);
    Start({file});
    EXPECT_EQ(newDialog.runs, 0);
    ASSERT_TRUE(Doc().m_paper.HasBits());
    EXPECT_EQ(Doc().m_paper.GetWidth(), 200u);
    EXPECT_EQ(Doc().m_paper.GetPixel(15, 15), 20);
    EXPECT_EQ(Doc().GetPathName(), file.toStdString());
    EXPECT_FALSE(Frame().IsDocListShown());
}

TEST_F(ShellTest, AnUnusableFileFallsBackToTheListOrANewSheet)
{
    // No sketches anywhere: a new sheet, after the document's own message.
    Start({Home() + "/missing.tvk"});
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Failed to open file!"});
    EXPECT_EQ(newDialog.runs, 1);
    EXPECT_TRUE(Doc().m_paper.HasBits());
    Stop();

    // With sketches in the documents folder: their list.
    WriteSketchFile(Documents() + "/a.tvk");
    messages.messages.clear();
    newDialog.runs = 0;
    QFile bad(Home() + "/bad.tvk");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a sketch");
    bad.close();
    Start({Home() + "/bad.tvk"});
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Failed to open file!"});
    EXPECT_EQ(newDialog.runs, 0);
    EXPECT_TRUE(Frame().IsDocListShown());
}

TEST_F(ShellTest, TheDocumentListShowsSketchesOfAllFoldersWithOnlyTheToolMenu)
{
    WriteSketchFile(Documents() + "/one.tvk");
    WriteSketchFile(Documents() + "/deep/er/two.tvk", 120, 400);
    QFile other(Documents() + "/notes.txt");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    Start();
    EXPECT_EQ(newDialog.runs, 0);
    ASSERT_TRUE(Frame().IsDocListShown());
    QStringList files = Frame().DocList()->Files();
    files.sort();
    EXPECT_EQ(files, QStringList({Documents() + "/deep/er/two.tvk", Documents() + "/one.tvk"}));

    // Only "Tool" with About, Help and Exit; no toolbar, no option bar, no
    // view buttons, even after an idle pass.
    Frame().OnIdle();
    EXPECT_EQ(VisibleMenuTitles(Frame().CommandMenuBar()), QStringList({"Tool"}));
    QMenu* tool = nullptr;
    for (QAction* a : Frame().CommandMenuBar()->actions())
        if (a->isVisible()) tool = a->menu();
    ASSERT_NE(tool, nullptr);
    QStringList items;
    for (QAction* a : tool->actions()) {
        items << (a->isSeparator() ? "-" : a->text());
    }
    EXPECT_EQ(items, QStringList({"About 'Graphelle'...", "Help", "-", "Exit"}));
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    for (OptionBar bar : {OptionBar::Pencil, OptionBar::Eraser, OptionBar::Select})
        EXPECT_TRUE(Frame().OptionBarOf(bar)->isHidden());
    for (QAction* a : Frame().CommandBar()->actions()) {
        if (qobject_cast<QWidgetAction*>(a)) continue;
        EXPECT_FALSE(a->isVisible());
    }
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_APP_EXIT));

    // The pictures arrive while the program is idle.
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    const QImage thumb = CDocListPage::Thumbnail(Documents() + "/deep/er/two.tvk", 96);
    EXPECT_EQ(thumb.height(), 96);
    EXPECT_EQ(thumb.width(), 28);

    // A click opens the file, and the drawing's menus and bars come back.
    QListWidget* list = Frame().DocList()->List();
    const QList<QListWidgetItem*> hits = list->findItems("one", Qt::MatchExactly);
    ASSERT_EQ(hits.size(), 1);
    emit list->itemClicked(hits[0]);
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(Doc().GetPathName(), (Documents() + "/one.tvk").toStdString());
    EXPECT_EQ(VisibleMenuTitles(Frame().CommandMenuBar()), QStringList({"Edit", "View", "Tool"}));
    EXPECT_FALSE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(Frame().OptionBarOf(OptionBar::Pencil)->isHidden());
    Frame().OnIdle();
    EXPECT_FALSE(Frame().OptionBarOf(OptionBar::Pencil)->isHidden());
}

TEST_F(ShellTest, TheListsNewButtonStartsASheet)
{
    WriteSketchFile(Documents() + "/Sketch1.tvk");
    Start();
    ASSERT_TRUE(Frame().IsDocListShown());
    Frame().DocList()->NewButton()->click();
    EXPECT_EQ(newDialog.runs, 1);
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(Doc().GetPathName(), (Documents() + "/Sketch2.tvk").toStdString());
}

TEST_F(ShellTest, HelpWithoutABrowserReportsNothing)
{
    Start();
    const QWidgetList before = QApplication::topLevelWidgets();
    qputenv("PATH", (Home() + "/empty-bin").toLocal8Bit());
    Frame().RouteCommand(ID_HELP);
    QApplication::processEvents();
    qputenv("PATH", "/usr/local/bin:/usr/bin:/bin");
    EXPECT_TRUE(messages.messages.empty());
    int visible = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !before.contains(w)) ++visible;
    EXPECT_EQ(visible, 0);
    // The page it opens is ours, with the anchor it opens at.
    QFile page(CQuillexApp::HelpPagePath());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray html = page.readAll();
    EXPECT_TRUE(html.contains("id=\"Main_Contents\""));
    for (const char* word : {"Pencil", "Eraser", "Hand", "Select", "Transparent", "Smooth",
                             "Undo", "Redo", "Cut", "Copy", "Paste", "Select All", "Clear",
                             "Grid", "Toolbar", "Zoom In", "Zoom Out", "Actual Size", "Save as",
                             "Exit", ".tvk", ".gif", ".bmp", "Roughness"})
        EXPECT_TRUE(html.contains(word)) << word;
}

TEST_F(ShellTest, NewAndExitSaveAChangedDrawingToItsOwnFileWithoutAsking)
{
    Start();
    const QString first = QString::fromStdString(Doc().GetPathName());
    DrawStroke(40);
    ASSERT_TRUE(Doc().IsModified());
    CPaper drawn;
    ASSERT_TRUE(drawn.Create(400, 300, 5));
    ASSERT_TRUE(drawn.CopyBitsFrom(Doc().m_paper));

    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(newDialog.runs, 2);
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(first, saved));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) ASSERT_EQ(saved.GetPixel(x, y), drawn.GetPixel(x, y));
    EXPECT_EQ(Doc().GetPathName(), (Documents() + "/Sketch2.tvk").toStdString());

    DrawStroke(80);
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_FALSE(Frame().isVisible());
    CPaper second;
    ASSERT_TRUE(ReadSketchFile(Documents() + "/Sketch2.tvk", second));
    EXPECT_LT(second.GetPixel(60, 80), 255);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ShellTest, CancellingNewKeepsTheDrawingOnScreen)
{
    Start();
    DrawStroke(40);
    const std::string path = Doc().GetPathName();
    newDialog.accept = false;
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Failed to create file!"});
    // The drawing was saved on the way and comes back from its file.
    ASSERT_TRUE(Doc().m_paper.HasBits());
    EXPECT_EQ(Doc().GetPathName(), path);
    EXPECT_LT(Doc().m_paper.GetPixel(60, 40), 255);
    EXPECT_FALSE(Frame().IsDocListShown());
}

TEST_F(ShellTest, SaveWritesTheDrawingToItsFile)
{
    Start();
    DrawStroke(40);
    Frame().Action(ID_FILE_SAVE)->trigger();
    EXPECT_FALSE(Doc().IsModified());
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(QString::fromStdString(Doc().GetPathName()), saved));
    EXPECT_LT(saved.GetPixel(60, 40), 255);
}

namespace {

// Answers the next modal window of a class once it is up.
void AnswerNextModal(const char* className, std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, className, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className)) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

void ClickButton(QWidget* box, const QString& text)
{
    for (QPushButton* b : box->findChildren<QPushButton*>())
        if (b->text() == text) {
            b->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
}

}  // namespace

TEST_F(ShellTest, WhenTheOwnFileCannotBeWrittenTheUserChoosesWhatHappens)
{
    Start();
    // The drawing's folder disappears under it.
    const QString folder = Home() + "/gone";
    QDir().mkpath(folder);
    Doc().SetPathName((folder + "/Sketch1.tvk").toStdString());
    QDir(folder).removeRecursively();
    DrawStroke(40);

    // Go back: the window stays, the drawing stays changed.
    AnswerNextModal("QMessageBox", [](QWidget* box) { ClickButton(box, "Go Back"); });
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Doc().IsModified());
    ASSERT_EQ(messages.messages.size(), 1u);  // the save's own reason
    EXPECT_NE(messages.messages[0].find("gone/Sketch1.tvk"), std::string::npos);

    // Save elsewhere: the chosen file gets the drawing, and it becomes the
    // drawing's file.
    const QString elsewhere = Home() + "/rescued.tvk";
    saveAs.answer = elsewhere.toStdString();
    AnswerNextModal("QMessageBox", [](QWidget* box) { ClickButton(box, "Save Elsewhere..."); });
    Frame().RouteCommand(ID_FILE_NEW);
    CPaper rescued;
    ASSERT_TRUE(ReadSketchFile(elsewhere, rescued));
    EXPECT_LT(rescued.GetPixel(60, 40), 255);
    EXPECT_EQ(newDialog.runs, 2);
    EXPECT_EQ(saveAs.runs, 1);
    EXPECT_EQ(saveAs.lastTitle, "Save as");
    ASSERT_EQ(saveAs.lastFilters.size(), 1u);
    EXPECT_EQ(saveAs.lastFilters[0].description, "Sketch File(*.tvk)");

    // Discard: the program ends without the changes.
    Doc().SetPathName((folder + "/Sketch9.tvk").toStdString());
    DrawStroke(80);
    AnswerNextModal("QMessageBox", [](QWidget* box) { ClickButton(box, "Discard"); });
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_FALSE(QFileInfo::exists(folder + "/Sketch9.tvk"));
}

TEST_F(ShellTest, AboutShowsTheIconTheVersionAndOk)
{
    Start();
    AnswerNextModal("QDialog", [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "About Graphelle");
        QLabel* version = dialog->findChild<QLabel*>("version");
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->text(), "Graphelle v1.0");
        bool hasIcon = false;
        for (QLabel* label : dialog->findChildren<QLabel*>())
            hasIcon = hasIcon || !label->pixmap().isNull();
        EXPECT_TRUE(hasIcon);
        const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        EXPECT_EQ(buttons[0]->text().remove('&'), "OK");
        buttons[0]->click();
    });
    Frame().Action(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ShellTest, ATerminationSignalEndsTheProgramLikeExitSavingTheDrawing)
{
    Start();
    DrawStroke(60);
    ASSERT_TRUE(Doc().IsModified());
    const QString file = QString::fromStdString(Doc().GetPathName());
    raise(SIGTERM);
    RunEventLoop(100);
    EXPECT_FALSE(Frame().isVisible());
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(file, saved));
    EXPECT_LT(saved.GetPixel(60, 60), 255);
}
