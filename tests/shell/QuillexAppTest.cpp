#include "ShellTestSupport.h"

#include "engine/Paper.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"
#include "shell/DocListPage.h"
#include "shell/FileAssociation.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <csignal>
#include <functional>

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

// The pixel (x, y) of a sketch file, or -1 when it cannot be read.
int SavedPixel(const QString& path, int32_t x, int32_t y)
{
    CPaper paper;
    return ReadSketchFile(path, paper) ? paper.GetPixel(x, y) : -1;
}

// The visible menus by title, each followed by its items ("-" a separator).
QStringList VisibleMenus(const QMenuBar* bar)
{
    QStringList out;
    for (QAction* a : bar->actions()) {
        if (!a->isVisible()) continue;
        out << a->text() + ":";
        for (QAction* item : a->menu()->actions()) out << (item->isSeparator() ? "-" : item->text());
    }
    return out;
}

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

void ClickButton(const char* text)
{
    AnswerNextModal("QMessageBox", [text](QWidget* box) {
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text() == text) return b->click();
        ADD_FAILURE() << "no button " << text;
    });
}

}  // namespace

TEST_F(ShellTest, FirstStartWithoutArgumentsRunsNewShowsAnEmptySheetAndWritesTheAssociation)
{
    // While the size is asked for, no sketch is named and no sheet shows, at the first start and at New.
    std::vector<std::pair<QString, bool>> whileAsked;
    newDialog.whileShown = [&] {
        Frame().OnIdle();
        whileAsked.push_back({Frame().windowTitle(), m_app->GetView()->Geometry().HasPaper()});
    };
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
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(whileAsked, (std::vector<std::pair<QString, bool>>(2, {"Graphelle", false})));

    const QString data = Home() + "/.local/share";
    EXPECT_TRUE(ReadText(data + "/applications/graphelle.desktop")
                    .contains("Exec=" + DesktopExecArgument(QCoreApplication::applicationFilePath()) + " %f\n"));
    EXPECT_TRUE(QFileInfo::exists(data + "/mime/packages/graphelle.xml"));
}

TEST_F(ShellTest, AFileOnTheCommandLineIsOpenedAndAnUnusableOneFallsBackToTheListOrANewSheet)
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
    Stop();

    // No sketches anywhere: a new sheet, after the document's own message.
    Start({Home() + "/missing.tvk"});
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Failed to open file!"});
    EXPECT_EQ(newDialog.runs, 1);
    EXPECT_TRUE(Doc().m_paper.HasBits());
    Stop();

    // With sketches in the documents folder: their list.
    WriteSketchFile(Documents() + "/a.tvk");
    QFile bad(Home() + "/bad.tvk");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a sketch");
    bad.close();
    Start({Home() + "/bad.tvk"});
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages.back(), "Failed to open file!");
    EXPECT_EQ(newDialog.runs, 1);
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
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Enabled(ID_APP_EXIT));
    const QStringList menus = VisibleMenus(Frame().CommandMenuBar());
    EXPECT_EQ(menus.mid(menus.indexOf("Tool:")),
              QStringList({"Tool:", "Earlier Versions...", "-", "About 'Graphelle'...", "Help", "-", "Exit"}));
    EXPECT_EQ(menus.filter(":"), QStringList({"File:", "Tool:"}));
    EXPECT_FALSE(Enabled(ID_FILE_SAVE));
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    for (OptionBar bar : {OptionBar::Pencil, OptionBar::Eraser, OptionBar::Select})
        EXPECT_TRUE(Frame().OptionBarOf(bar)->isHidden());
    for (QAction* a : Frame().CommandBar()->actions())
        EXPECT_TRUE(qobject_cast<QWidgetAction*>(a) || !a->isVisible()) << a->text().toStdString();

    // The pictures arrive while the program is idle.
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    const QImage thumb = CDocListPage::Thumbnail(Documents() + "/deep/er/two.tvk", 96);
    EXPECT_EQ(thumb.size(), QSize(28, 96));
    // On a scaled screen the picture has the screen's own pixels.
    const QImage sharp = CDocListPage::Thumbnail(Documents() + "/deep/er/two.tvk", 96, 2.0);
    EXPECT_EQ(std::pair(sharp.height(), sharp.devicePixelRatio()), std::pair(192, 2.0));

    // A click opens the file, and the drawing's menus and bars come back.
    QListWidget* list = Frame().DocList()->List();
    const QList<QListWidgetItem*> hits = list->findItems("one", Qt::MatchExactly);
    ASSERT_EQ(hits.size(), 1);
    emit list->itemClicked(hits[0]);
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(Doc().GetPathName(), (Documents() + "/one.tvk").toStdString());
    EXPECT_EQ(VisibleMenus(Frame().CommandMenuBar()).filter(":"), QStringList({"File:", "Edit:", "View:", "Tool:"}));
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

// Help opens our own page at its anchor (the ways it is shown are in HelpLauncherTest).
TEST_F(ShellTest, TheHelpPageIsOursAndTellsOfEveryCommand)
{
    Start();
    // The page it opens is ours, with the anchor it opens at.
    const QString html = ReadText(CQuillexApp::HelpPagePath());
    EXPECT_TRUE(html.contains("id=\"Main_Contents\""));
    for (const char* word : {"Pencil", "Eraser", "Hand", "Select", "Transparent", "Smooth", "Undo", "Redo", "Cut",
                             "Copy", "Paste", "Select All", "Clear", "Grid", "Toolbar", "Zoom In", "Zoom Out",
                             "Actual Size", "Save as", "Exit", ".tvk", ".gif", ".bmp", ".png", "Roughness",
                             "picture", "drop"})
        EXPECT_TRUE(html.contains(word)) << word;
}

TEST_F(ShellTest, SaveNewAndExitSaveAChangedDrawingToItsOwnFileWithoutAsking)
{
    Start();
    const QString first = QString::fromStdString(Doc().GetPathName());
    DrawStroke(40);
    Frame().Action(ID_FILE_SAVE)->trigger();
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_LT(SavedPixel(first, 60, 40), 255);

    // New, cancelled: the drawing is saved on the way and comes back from its file.
    DrawStroke(80);
    newDialog.accept = false;
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Failed to create file!"});
    ASSERT_TRUE(Doc().m_paper.HasBits());
    EXPECT_EQ(Doc().GetPathName(), first.toStdString());
    EXPECT_LT(Doc().m_paper.GetPixel(60, 80), 255);
    EXPECT_LT(SavedPixel(first, 60, 80), 255);
    EXPECT_FALSE(Frame().IsDocListShown());

    // New, accepted: the whole changed drawing is in its file.
    DrawStroke(120);
    CPaper drawn;
    ASSERT_TRUE(drawn.Create(400, 300, 5));
    ASSERT_TRUE(drawn.CopyBitsFrom(Doc().m_paper));
    newDialog.accept = true;
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(newDialog.runs, 3);
    CPaper saved;
    ASSERT_TRUE(ReadSketchFile(first, saved));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) ASSERT_EQ(saved.GetPixel(x, y), drawn.GetPixel(x, y)) << x << "," << y;
    EXPECT_EQ(Doc().GetPathName(), (Documents() + "/Sketch2.tvk").toStdString());

    DrawStroke(80);
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_LT(SavedPixel(Documents() + "/Sketch2.tvk", 60, 80), 255);
    EXPECT_EQ(messages.messages.size(), 1u);
}

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
    ClickButton("Go Back");
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Doc().IsModified());
    ASSERT_EQ(messages.messages.size(), 1u);  // the save's own reason
    EXPECT_NE(messages.messages[0].find("gone/Sketch1.tvk"), std::string::npos);

    // Save elsewhere: the chosen file gets the drawing, and it becomes the
    // drawing's file.
    const QString elsewhere = Home() + "/rescued.tvk";
    saveAs.answer = elsewhere.toStdString();
    ClickButton("Save Elsewhere...");
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_LT(SavedPixel(elsewhere, 60, 40), 255);
    EXPECT_EQ(newDialog.runs, 2);
    EXPECT_EQ(saveAs.runs, 1);
    EXPECT_EQ(saveAs.lastTitle, "Save as");
    ASSERT_EQ(saveAs.lastFilters.size(), 1u);
    EXPECT_EQ(saveAs.lastFilters[0].description, "Sketch File(*.tvk)");

    // Discard: the program ends without the changes.
    Doc().SetPathName((folder + "/Sketch9.tvk").toStdString());
    DrawStroke(80);
    ClickButton("Discard");
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
        for (QLabel* label : dialog->findChildren<QLabel*>()) hasIcon = hasIcon || !label->pixmap().isNull();
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
    EXPECT_LT(SavedPixel(file, 60, 60), 255);
}

// However the drawing is left in the middle of a stroke, the stroke is finished where the
// pointer was, recorded and saved, and its late release reaches nothing.
TEST_F(ShellTest, LeavingTheDrawingInTheMiddleOfAStrokeKeepsTheStroke)
{
    Start();
    const QString file = QString::fromStdString(Doc().GetPathName());
    ASSERT_TRUE(Doc().OnSaveDocument(file.toStdString()));
    const QString other = Documents() + "/other.tvk";
    ASSERT_TRUE(Doc().OnSaveDocument(other.toStdString()));
    Stop();
    // The history afterwards: the stroke's record stays with its drawing.
    const std::tuple<const char*, std::function<void()>, int> leaves[] = {
        {"exit", [&] { Frame().RouteCommand(ID_APP_EXIT); }, 1},
        {"close", [&] { Frame().close(); }, 1},
        {"sigterm", [&] { raise(SIGTERM), RunEventLoop(100); }, 1},
        {"new", [&] { Frame().RouteCommand(ID_FILE_NEW); }, 0},
        {"open", [&] { m_app->OpenDocumentFile(other); }, 0},
    };
    for (const auto& [name, leave, history] : leaves) {
        Start({file});
        ASSERT_TRUE(Doc().PointerDown(m_app->GetView(), 20, 60, 20, 60));
        for (int32_t x = 21; x < 120; x += 3) Doc().PointerMove(x, 60, x, 60);
        leave();
        EXPECT_LT(SavedPixel(file, 100, 60), 255) << name;
        EXPECT_FALSE(Doc().PointerUp(120, 60, 120, 60)) << name;
        EXPECT_EQ(Doc().GetHistoryCount(), history) << name;
        Stop();
        ASSERT_TRUE(QFile::remove(file) && QFile::copy(other, file));
    }
}

// Open Recent lists the files opened and saved last, newest first, across a restart; one that
// is gone leaves the list with a message.
TEST_F(ShellTest, OpenRecentRemembersTheLastFilesAcrossARestart)
{
    Start();
    const QString first = QString::fromStdString(Doc().GetPathName());
    DrawStroke(40);
    ASSERT_TRUE(m_app->OnFileSave());
    const QString second = Documents() + "/second.tvk";
    ASSERT_TRUE(QFile::copy(first, second));
    ASSERT_TRUE(m_app->OpenDocumentFile(second));
    Stop();
    Start();
    QMenu* recent = nullptr;
    for (QAction* a : Frame().CommandMenuBar()->actions())
        if (a->menu() && a->menu()->title() == "File")
            for (QAction* item : a->menu()->actions())
                if (item->menu()) recent = item->menu();
    ASSERT_NE(recent, nullptr);
    const auto entries = [&] {
        emit recent->aboutToShow();
        QStringList texts;
        for (QAction* a : recent->actions()) texts << a->text() + " " + a->toolTip();
        return texts;
    };
    EXPECT_EQ(entries(), QStringList({"&1 second.tvk " + second, "&2 Sketch1.tvk " + first}));
    recent->actions().at(1)->trigger();
    EXPECT_EQ(Doc().GetPathName(), first.toStdString());
    ASSERT_TRUE(QFile::remove(second));
    entries();
    recent->actions().at(1)->trigger();
    EXPECT_EQ(Doc().GetPathName(), first.toStdString());
    EXPECT_EQ(messages.messages.back(), ("\"" + second + "\" is no longer there; it was moved or deleted.").toStdString());
    EXPECT_EQ(entries(), QStringList({"&1 Sketch1.tvk " + first}));
}
