#include "ShellTestSupport.h"

#include "document/RecoveryStore.h"
#include "shell/DocListPage.h"
#include "shell/EarlierVersionsDlg.h"

#include <QDateTime>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace {

int RecoveryCopies(const QString& home)
{
    return QDir(home + "/.local/state/graphelle/recovery").entryList({"*.tvk"}, QDir::Files).size();
}

// The texts the next Earlier Versions dialog lists; open: its Open button, else Cancel.
void ListEarlierVersions(QStringList& listed, bool open)
{
    AnswerNextModal("QDialog", [&listed, open](QWidget* modal) {
        auto* dlg = dynamic_cast<CEarlierVersionsDlg*>(modal);
        ASSERT_NE(dlg, nullptr);
        listed.clear();
        for (int i = 0; i < dlg->List()->count(); ++i) listed << dlg->List()->item(i)->text();
        open ? dlg->OpenButton()->click() : dlg->reject();
    });
}

}  // namespace

TEST_F(ShellTest, UnsavedChangesHaveARecoveryCopyUntilTheyAreSaved)
{
    Start();
    EXPECT_EQ(RecoveryCopies(Home()), 0);
    DrawStroke();
    EXPECT_TRUE(WaitFor([&] { return RecoveryCopies(Home()) == 1; }));
    ASSERT_TRUE(m_app->OnFileSave());
    EXPECT_TRUE(WaitFor([&] { return RecoveryCopies(Home()) == 0; }));
}

TEST_F(ShellTest, EarlierVersionsListsTheReplacedFileAndOpensItAsANewSketch)
{
    const QString file = Documents() + "/tree.tvk";
    ASSERT_TRUE(WriteSketchFile(file));
    const qint64 written = QFileInfo(file).lastModified().toSecsSinceEpoch();
    Start({file});
    DrawStroke(60);
    ASSERT_TRUE(m_app->OnFileSave());
    DrawStroke(80);
    ASSERT_TRUE(m_app->OnFileSave());  // the second save of the run keeps nothing

    QStringList listed;
    ListEarlierVersions(listed, true);
    Frame().RouteCommand(ID_FILE_EARLIER_VERSIONS);
    EXPECT_EQ(listed, QStringList{CEarlierVersionsDlg::TimeText(written)});

    // The version is a new sketch beside the drawing, on screen; the drawing keeps both strokes.
    EXPECT_TRUE(DocPath().startsWith(Documents() + "/tree (version of ")) << DocPath().toStdString();
    EXPECT_EQ(std::tuple(Doc().GetPaper().GetPixel(20, 20), Doc().GetPaper().GetPixel(60, 60)), std::tuple(20, 255));
    EXPECT_NE(SavedPixel(file, 60, 60), 255);
    EXPECT_NE(SavedPixel(file, 60, 80), 255);
    Stop();

    // From the list of sketches, every drawing's versions, each named.
    Start();
    ASSERT_TRUE(Frame().IsDocListShown());
    ListEarlierVersions(listed, false);
    EXPECT_TRUE(Frame().RouteCommand(ID_FILE_EARLIER_VERSIONS));
    EXPECT_EQ(listed, QStringList{"tree.tvk\n" + CEarlierVersionsDlg::TimeText(written)});
}

TEST_F(ShellTest, AtStartTheDrawingsADeadCopyLeftComeBackAndTheUserIsTold)
{
    const QString file = Documents() + "/lost.tvk", unsavedFile = Home() + "/unsaved.tvk";
    ASSERT_TRUE(WriteSketchFile(file) && WriteSketchFile(unsavedFile, 200, 150, 90));
    {
        CRecoveryStore dead;
        CPaper unsaved;
        ASSERT_TRUE(dead.Open() && ReadSketchFile(unsavedFile, unsaved));
        ASSERT_TRUE(dead.WriteCopy(1, file.toStdString(), unsaved));
    }

    QString notice;
    AnswerNextModal("QMessageBox", [&](QWidget* modal) {
        auto* box = static_cast<QMessageBox*>(modal);
        notice = box->windowTitle() + ": " + box->text();
        box->button(QMessageBox::Ok)->click();
    });
    Start();
    ASSERT_TRUE(WaitFor([&] { return !notice.isEmpty(); }));
    EXPECT_TRUE(notice.startsWith("Drawings Recovered: ")) << notice.toStdString();
    EXPECT_TRUE(notice.contains("\u2022 lost.tvk, in " + Documents() + "\n")) << notice.toStdString();
    EXPECT_EQ(SavedPixel(file, 20, 20), 90);
    EXPECT_TRUE(Frame().IsDocListShown());
    EXPECT_EQ(Frame().DocList()->Files(), QStringList{file});
}
