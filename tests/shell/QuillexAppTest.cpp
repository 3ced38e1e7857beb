#include "ShellTestSupport.h"

#include "shell/DocListPage.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <csignal>

namespace {

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
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(std::pair(Doc().GetPaper().GetWidth(), Doc().GetPaper().GetHeight()), std::pair(400u, 300u));
    EXPECT_EQ(DocPath(), Documents() + "/Sketch1.tvk");
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().windowTitle(), "Sketch1 - Graphelle");
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(whileAsked, (std::vector<std::pair<QString, bool>>(2, {"Graphelle", false})));
    EXPECT_TRUE(QFileInfo::exists(Home() + "/.local/share/applications/graphelle.desktop"));
}

TEST_F(ShellTest, AFileOnTheCommandLineIsOpenedAndAnUnusableOneFallsBackToTheListOrANewSheet)
{
    const QString file = Home() + "/elsewhere/with blank.tvk";
    ASSERT_TRUE(WriteSketchFile(file));
    Start({file});
    EXPECT_EQ(newDialog.runs, 0);
    EXPECT_EQ(std::tuple(Doc().GetPaper().GetWidth(), Doc().GetPaper().GetPixel(15, 15)), std::tuple(200u, 20));
    EXPECT_EQ(DocPath(), file);
    EXPECT_FALSE(Frame().IsDocListShown());
    Stop();

    // No sketches anywhere: a new sheet, after the document's own message.
    Start({Home() + "/missing.tvk"});
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Failed to open file!"});
    EXPECT_EQ(newDialog.runs, 1);
    EXPECT_TRUE(Doc().GetPaper().HasBits());
    Stop();

    // With sketches in the documents folder: their list.
    ASSERT_TRUE(WriteSketchFile(Documents() + "/a.tvk"));
    QFile bad(Home() + "/bad.tvk");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write("not a sketch") > 0);
    bad.close();
    Start({Home() + "/bad.tvk"});
    EXPECT_EQ(messages.messages, std::vector<std::string>(2, "Failed to open file!"));
    EXPECT_EQ(newDialog.runs, 1);
    EXPECT_TRUE(Frame().IsDocListShown());
}

TEST_F(ShellTest, TheDocumentListShowsSketchesOfAllFoldersWithOnlyTheFileAndToolMenus)
{
    ASSERT_TRUE(WriteSketchFile(Documents() + "/Sketch1.tvk"));
    ASSERT_TRUE(WriteSketchFile(Documents() + "/deep/er/two.tvk", 120, 400));
    QFile(Documents() + "/notes.txt").open(QIODevice::WriteOnly);

    Start();
    EXPECT_EQ(newDialog.runs, 0);
    ASSERT_TRUE(Frame().IsDocListShown());
    QStringList files = Frame().DocList()->Files();
    files.sort();
    EXPECT_EQ(files, QStringList({Documents() + "/Sketch1.tvk", Documents() + "/deep/er/two.tvk"}));

    // File, and Tool with About, Help and Exit; no toolbar, no option bar, no view buttons,
    // no drawing's commands, even after an idle pass.
    Frame().OnIdle();
    EXPECT_FALSE(Frame().Action(ID_EDIT_UNDO)->isEnabled() || Frame().Action(ID_FILE_SAVE)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_APP_EXIT)->isEnabled());
    EXPECT_EQ(MenuTitles(), "File Tool");
    EXPECT_EQ(MenuText(Menus().at(1)),
              QStringList({"Earlier Versions...", "-", "About 'Graphelle'...", "Help", "-", "Exit\tCtrl+Q"}));
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    for (OptionBar bar : {OptionBar::Pencil, OptionBar::Eraser, OptionBar::Select})
        EXPECT_TRUE(Frame().OptionBarOf(bar)->isHidden());
    for (QAction* a : Frame().CommandBar()->actions())
        EXPECT_TRUE(qobject_cast<QWidgetAction*>(a) || !a->isVisible()) << a->text().toStdString();

    // The pictures arrive while the program is idle, with the screen's own pixels.
    for (int i = 0; i < 10; ++i) QApplication::processEvents();
    EXPECT_EQ(CDocListPage::Thumbnail(Documents() + "/deep/er/two.tvk", 96).size(), QSize(28, 96));
    const QImage sharp = CDocListPage::Thumbnail(Documents() + "/deep/er/two.tvk", 96, 2.0);
    EXPECT_EQ(std::pair(sharp.height(), sharp.devicePixelRatio()), std::pair(192, 2.0));

    // A click opens the file, and the drawing's menus and bars come back.
    QListWidget* list = Frame().DocList()->List();
    const QList<QListWidgetItem*> hits = list->findItems("two", Qt::MatchExactly);
    ASSERT_EQ(hits.size(), 1);
    emit list->itemClicked(hits[0]);
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(DocPath(), Documents() + "/deep/er/two.tvk");
    EXPECT_EQ(MenuTitles(), "File Edit View Tool");
    EXPECT_FALSE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(Frame().OptionBarOf(OptionBar::Pencil)->isHidden());
    Frame().OnIdle();
    EXPECT_FALSE(Frame().OptionBarOf(OptionBar::Pencil)->isHidden());
    Stop();

    // The list's New button starts a sheet under the next free name.
    Start();
    Frame().DocList()->NewButton()->click();
    EXPECT_EQ(newDialog.runs, 1);
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(DocPath(), Documents() + "/Sketch2.tvk");
}

TEST_F(ShellTest, SaveNewAndExitSaveAChangedDrawingToItsOwnFileWithoutAsking)
{
    Start();
    const QString first = DocPath();
    DrawStroke(40);
    Frame().Action(ID_FILE_SAVE)->trigger();
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_LT(SavedPixel(first, 60, 40), 255);

    // New, cancelled: the drawing is saved on the way and comes back from its file.
    DrawStroke(80);
    newDialog.accept = false;
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(messages.messages, std::vector<std::string>{"Failed to create file!"});
    ASSERT_TRUE(Doc().GetPaper().HasBits());
    EXPECT_EQ(DocPath(), first);
    EXPECT_LT(Doc().GetPaper().GetPixel(60, 80), 255);
    EXPECT_LT(SavedPixel(first, 60, 80), 255);
    EXPECT_FALSE(Frame().IsDocListShown());

    // New, accepted: the whole changed drawing is in its file.
    DrawStroke(120);
    CPaper drawn, saved;
    ASSERT_TRUE(drawn.Create(400, 300, 5) && drawn.CopyBitsFrom(Doc().GetPaper()));
    newDialog.accept = true;
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_EQ(newDialog.runs, 3);
    ASSERT_TRUE(ReadSketchFile(first, saved));
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 400; ++x) ASSERT_EQ(saved.GetPixel(x, y), drawn.GetPixel(x, y)) << x << "," << y;
    EXPECT_EQ(DocPath(), Documents() + "/Sketch2.tvk");

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

    // Save elsewhere: the chosen file gets the drawing, and it becomes the drawing's file.
    const QString elsewhere = Home() + "/rescued.tvk";
    saveAs.answer = elsewhere.toStdString();
    ClickButton("Save Elsewhere...");
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_LT(SavedPixel(elsewhere, 60, 40), 255);
    EXPECT_EQ(newDialog.runs, 2);
    EXPECT_EQ(saveAs.asked, std::vector<std::string>{"Save as Sketch File(*.tvk)"});

    // Discard: the program ends without the changes.
    Doc().SetPathName((folder + "/Sketch9.tvk").toStdString());
    DrawStroke(80);
    ClickButton("Discard");
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_FALSE(QFileInfo::exists(folder + "/Sketch9.tvk"));
}

TEST_F(ShellTest, AboutShowsTheVersionAndTheIconAndClosesWithOk)
{
    Start();
    QString version;
    AnswerNextModal("QDialog", [&](QWidget* dialog) {
        version = dialog->windowTitle() + ": " + dialog->findChild<QLabel*>("version")->text();
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (!label->pixmap().isNull()) version += " and the icon";
        const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 1);
        buttons[0]->click();
    });
    Frame().Action(ID_APP_ABOUT)->trigger();
    EXPECT_EQ(version, "About Graphelle: Graphelle v1.0 and the icon");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// However the drawing is left in the middle of a stroke, the stroke is finished where the
// pointer was, recorded and saved, and its late release reaches nothing.
TEST_F(ShellTest, LeavingTheDrawingInTheMiddleOfAStrokeKeepsTheStroke)
{
    Start();
    const QString file = DocPath(), other = Documents() + "/other.tvk";
    ASSERT_TRUE(Doc().OnSaveDocument(file.toStdString()) && Doc().OnSaveDocument(other.toStdString()));
    Stop();
    // The history afterwards (the stroke's record stays with its drawing), and whether the
    // program ended.
    const std::tuple<const char*, std::function<void()>, int, bool> leaves[] = {
        {"exit", [&] { Frame().RouteCommand(ID_APP_EXIT); }, 1, true},
        {"close", [&] { Frame().close(); }, 1, true},
        {"sigterm", [&] { raise(SIGTERM), RunEventLoop(100); }, 1, true},
        {"new", [&] { Frame().RouteCommand(ID_FILE_NEW); }, 0, false},
        {"open", [&] { m_app->OpenDocumentFile(other); }, 0, false},
    };
    for (const auto& [name, leave, history, ended] : leaves) {
        Start({file});
        DrawStroke(60, false);
        leave();
        EXPECT_LT(SavedPixel(file, 100, 60), 255) << name;
        EXPECT_FALSE(Doc().PointerUp(120, 60, 120, 60)) << name;
        EXPECT_EQ(Doc().GetHistoryCount(), history) << name;
        EXPECT_EQ(Frame().isVisible(), !ended) << name;
        Stop();
        ASSERT_TRUE(QFile::remove(file) && QFile::copy(other, file));
    }
}

// Open Recent lists the files opened and saved last, newest first, across a restart; one that
// is gone leaves the list with a message.
TEST_F(ShellTest, OpenRecentRemembersTheLastFilesAcrossARestart)
{
    Start();
    const QString first = DocPath(), second = Documents() + "/second.tvk";
    DrawStroke(40);
    ASSERT_TRUE(m_app->OnFileSave());
    ASSERT_TRUE(QFile::copy(first, second));
    ASSERT_TRUE(m_app->OpenDocumentFile(second));
    Stop();
    Start();
    QMenu* recent = Menus().at(0)->actions().at(2)->menu();  // File, Open Recent
    ASSERT_TRUE(recent && recent->title() == "Open Recent");
    const auto entries = [&] {
        emit recent->aboutToShow();
        QStringList texts;
        for (QAction* a : recent->actions()) texts << a->text() + " " + a->toolTip();
        return texts;
    };
    EXPECT_EQ(entries(), QStringList({"&1 second.tvk " + second, "&2 Sketch1.tvk " + first}));
    recent->actions().at(1)->trigger();
    EXPECT_EQ(DocPath(), first);
    ASSERT_TRUE(QFile::remove(second));
    entries();
    recent->actions().at(1)->trigger();
    EXPECT_EQ(DocPath(), first);
    EXPECT_EQ(QString::fromStdString(messages.messages.back()),
              "\"" + second + "\" is no longer there; it was moved or deleted.");
    EXPECT_EQ(entries(), QStringList({"&1 Sketch1.tvk " + first}));
}
