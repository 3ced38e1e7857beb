#include "ShellTestSupport.h"

#include "shell/DocListPage.h"
#include "shell/EarlierVersionsDlg.h"

#include <QComboBox>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

#include <csignal>

static void ClickButton(const char* text)
{
    AnswerNextModal("QMessageBox", [text](QWidget* box) {
        for (QPushButton* b : box->findChildren<QPushButton*>())
            if (b->text() == text) return b->click();
        ADD_FAILURE() << "no button " << text;
    });
}

// A start on a file that cannot be opened says so, and shows the list of sketches found in every
// folder of the documents folder, or when there are none asks for a new sheet.
TEST_F(ShellTest, AStartOpensTheFileNamedOrElseTheListOfSketchesOrElseANewSheet)
{
    Start({Home() + "/missing.tvk"});
    EXPECT_EQ(dialogs.newRuns, 1);
    Stop();

    ASSERT_TRUE(WriteSketchFile(Documents() + "/Sketch1.tvk"));
    ASSERT_TRUE(WriteSketchFile(Documents() + "/deep/er/two.tvk", 120, 400));
    for (const char* junk : {"/Documents/notes.txt", "/bad.tvk"}) filetest::WriteFile(Home().toStdString() + junk, "x");
    Start({Home() + "/bad.tvk"});
    EXPECT_EQ(dialogs.messages, std::vector<std::string>(2, "Failed to open file!"));
    EXPECT_EQ(dialogs.newRuns, 1);
    ASSERT_TRUE(Frame().IsDocListShown());
    QStringList files = Frame().DocList()->Files();
    files.sort();
    EXPECT_EQ(files, QStringList({Documents() + "/Sketch1.tvk", Documents() + "/deep/er/two.tvk"}));
    // No drawing's commands, even after an idle pass.
    Frame().OnIdle();
    EXPECT_FALSE(Frame().Action(ID_EDIT_UNDO)->isEnabled() || Frame().Action(ID_FILE_SAVE)->isEnabled());

    // A click opens the file.
    const QList<QListWidgetItem*> hits = Frame().DocList()->List()->findItems("two", Qt::MatchExactly);
    ASSERT_EQ(hits.size(), 1);
    emit Frame().DocList()->List()->itemClicked(hits[0]);
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(std::tuple(Doc().GetPaper().GetWidth(), Doc().GetPaper().GetPixel(15, 15)), std::tuple(120u, 20));
    Stop();

    // The list's New button starts a sheet under the next free name.
    Start();
    Frame().DocList()->NewButton()->click();
    EXPECT_EQ(dialogs.newRuns, 2);
    EXPECT_FALSE(Frame().IsDocListShown());
    EXPECT_EQ(DocPath(), Documents() + "/Sketch2.tvk");
}

TEST_F(ShellTest, WhenTheOwnFileCannotBeWrittenTheUserChoosesWhatHappens)
{
    Start();
    // The drawing's folder is gone.
    const QString folder = Home() + "/gone";
    Doc().SetPathName((folder + "/Sketch1.tvk").toStdString());
    DrawStroke(40);

    // Go back: the window stays, the drawing stays changed.
    ClickButton("Go Back");
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Doc().IsModified());
    ASSERT_EQ(dialogs.messages.size(), 1u);  // the save's own reason
    EXPECT_NE(dialogs.messages[0].find("gone/Sketch1.tvk"), std::string::npos);

    // Save elsewhere: the chosen file gets the drawing, and it becomes the drawing's file.
    const QString elsewhere = Home() + "/rescued.tvk";
    dialogs.saveAsAnswer = elsewhere.toStdString();
    ClickButton("Save Elsewhere...");
    Frame().RouteCommand(ID_FILE_NEW);
    EXPECT_LT(SavedPixel(elsewhere, 60, 40), 255);
    EXPECT_EQ(dialogs.newRuns, 2);

    // Discard: the program ends without the changes.
    Doc().SetPathName((folder + "/Sketch9.tvk").toStdString());
    DrawStroke(80);
    ClickButton("Discard");
    Frame().RouteCommand(ID_APP_EXIT);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_FALSE(QFileInfo::exists(folder + "/Sketch9.tvk"));
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
        {"sigterm", [&] { raise(SIGTERM), RunEventLoop(100); }, 1, true},
        {"new", [&] { Frame().RouteCommand(ID_FILE_NEW); }, 0, false},
    };
    for (const auto& [name, leave, history, ended] : leaves) {
        SCOPED_TRACE(name);
        Start({file});
        DrawStroke(60, false);
        leave();
        EXPECT_LT(SavedPixel(file, 100, 60), 255);
        EXPECT_FALSE(Doc().PointerUp(120, 60, 120, 60));
        EXPECT_EQ(Doc().GetHistoryCount(), history);
        EXPECT_EQ(Frame().isVisible(), !ended);
        Stop();
        ASSERT_TRUE(QFile::remove(file) && QFile::copy(other, file));
    }
}

// Unsaved changes have a recovery copy until they are saved. Open Recent lists the files opened
// and saved last, newest first, across a restart.
TEST_F(ShellTest, ARecoveryCopyUntilTheSaveAndOpenRecentAcrossARestart)
{
    const auto copies = [&] {
        return QDir(Home() + "/.local/state/graphelle/recovery").entryList({"*.tvk"}, QDir::Files).size();
    };
    Start();
    const QString first = DocPath(), second = Documents() + "/second.tvk";
    EXPECT_EQ(copies(), 0);
    DrawStroke(40);
    EXPECT_TRUE(WaitFor([&] { return copies() == 1; }));
    ASSERT_TRUE(m_app->OnFileSave());
    EXPECT_TRUE(WaitFor([&] { return copies() == 0; }));
    ASSERT_TRUE(QFile::copy(first, second) && m_app->OpenDocumentFile(second));
    // An option chosen on its bar reaches its tool, and lasts too.
    Frame().OptionBarOf(OptionBar::Pencil)->Combo(IDC_PENCIL_GRADE)->setCurrentIndex(9);
    EXPECT_EQ(Doc().GetPencilTool().m_nGrade, 9);
    Stop();
    Start();
    EXPECT_EQ(Doc().GetPencilTool().m_nGrade, 9);
    QMenu* recent = Frame().findChild<QMenu*>();
    for (QMenu* menu : Frame().findChildren<QMenu*>()) recent = menu->title() == "Open Recent" ? menu : recent;
    emit recent->aboutToShow();
    QStringList entries;
    for (QAction* a : recent->actions()) entries << a->text() + " " + a->toolTip();
    EXPECT_EQ(entries, QStringList({"&1 second.tvk " + second, "&2 Sketch1.tvk " + first}));
}

// The file as the run's first save found it opens as a new sketch beside the drawing.
TEST_F(ShellTest, EarlierVersionsListsTheReplacedFileAndOpensItAsANewSketch)
{
    const QString file = Documents() + "/tree.tvk";
    ASSERT_TRUE(WriteSketchFile(file));
    const qint64 written = QFileInfo(file).lastModified().toSecsSinceEpoch();
    Start({file});
    DrawStroke(60);
    ASSERT_TRUE(m_app->OnFileSave());

    QStringList listed;
    const auto listNext = [&listed](bool open) {
        AnswerNextModal("QDialog", [&listed, open](QWidget* modal) {
            auto* dlg = dynamic_cast<CEarlierVersionsDlg*>(modal);
            ASSERT_NE(dlg, nullptr);
            listed.clear();
            for (int i = 0; i < dlg->List()->count(); ++i) listed << dlg->List()->item(i)->text();
            open ? dlg->OpenButton()->click() : dlg->reject();
        });
    };
    listNext(true);
    Frame().RouteCommand(ID_FILE_EARLIER_VERSIONS);
    EXPECT_EQ(listed, QStringList{CEarlierVersionsDlg::TimeText(written)});
    EXPECT_TRUE(DocPath().startsWith(Documents() + "/tree (version of ")) << DocPath().toStdString();
    EXPECT_EQ(std::tuple(Doc().GetPaper().GetPixel(20, 20), Doc().GetPaper().GetPixel(60, 60)), std::tuple(20, 255));
    EXPECT_NE(SavedPixel(file, 60, 60), 255);
    Stop();

    // Someone whose file no longer opens lands on the list of sketches, where each version is named.
    Start();
    ASSERT_TRUE(Frame().IsDocListShown());
    listNext(false);
    EXPECT_TRUE(Frame().RouteCommand(ID_FILE_EARLIER_VERSIONS));
    EXPECT_EQ(listed, QStringList{"tree.tvk\n" + CEarlierVersionsDlg::TimeText(written)});
}

// Pictures opened through Qt's image readers: the sheet each kind becomes, and the message for
// one that cannot be read. (Dropping a file on the window is in
// tests/e2e, where a real drag delivers it.)
TEST_F(ShellTest, EachKindOfPictureBecomesItsSheetAndOneThatCannotBeReadIsNamedWithTheReason)
{
    // A picture filled with colour and a black rectangle, in the format its name says.
    const auto picture = [&](const QString& name, QSize size, QColor colour, QRect black = {}) {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        QPainter(&image).fillRect(black, Qt::black);
        EXPECT_TRUE(image.save(Home() + "/" + name, nullptr, 95));
        return Home() + "/" + name;
    };
    // The picture, the sheet it becomes, and points on it: x, y, gray (within 3 for JPEG).
    const std::tuple<QString, QSize, std::vector<std::tuple<int32_t, int32_t, int>>> cases[] = {
        {picture("colour.png", {40, 30}, Qt::red, {10, 10, 5, 5}), {40, 30}, {{2, 2, 76}, {12, 12, 0}}},
        {picture("photo.jpg", {64, 48}, Qt::blue, {32, 0, 32, 48}), {64, 48}, {{8, 24, 29}, {56, 24, 0}}},
        {picture("clear.png", {20, 20}, Qt::transparent, {5, 5, 5, 5}), {20, 20}, {{0, 0, 255}, {7, 7, 0}}},
        {picture("big.png", {3000, 2000}, Qt::white, {0, 0, 1000, 2000}), {2048, 1365},
         {{100, 100, 0}, {681, 1364, 0}, {683, 0, 255}, {2047, 1364, 255}}},
        {picture("dot.bmp", {2, 2}, Qt::black), {4, 4}, {{1, 1, 0}, {3, 3, 255}}},
    };
    Start();
    const QString cut = Home() + "/cut.png";
    ASSERT_TRUE(QFile::copy(std::get<0>(cases[0]), cut) && QFile::resize(cut, 100));
    filetest::WriteFile((Home() + "/junk.jpg").toStdString(), "no picture");
    DrawStroke();
    for (const char* name : {"cut.png", "junk.jpg", "missing.gif"}) EXPECT_FALSE(m_app->OpenFile(Home() + "/" + name));
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0], "\"cut.png\" could not be opened: the picture is damaged.");
    // As on the way to any file, the drawing went to its file first, and it is still on screen.
    EXPECT_EQ(DocPath(), Documents() + "/Sketch1.tvk");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_NE(Doc().GetPaper().GetPixel(60, 40), 255);
    for (const auto& [file, sheet, points] : cases) {
        SCOPED_TRACE(file.toStdString());
        ASSERT_TRUE(m_app->OpenFile(file));
        EXPECT_EQ(DocPath(), Documents() + "/" + QFileInfo(file).completeBaseName() + ".tvk");
        EXPECT_EQ(QSize(int(Doc().GetPaper().GetWidth()), int(Doc().GetPaper().GetHeight())), sheet);
        for (const auto& [x, y, gray] : points)
            EXPECT_NEAR(Doc().GetPaper().GetPixel(x, y), gray, file.endsWith(".jpg") ? 3 : 0);
        EXPECT_TRUE(Doc().IsModified());
    }
    // A sketch stays a sketch whatever its name.
    ASSERT_TRUE(QFile::copy(Documents() + "/colour.tvk", Home() + "/sketch.png"));
    ASSERT_TRUE(m_app->OpenFile(Home() + "/sketch.png"));
    EXPECT_EQ(std::pair(DocPath(), int(Doc().GetPaper().GetPixel(12, 12))), std::pair(Home() + "/sketch.png", 0));
}
