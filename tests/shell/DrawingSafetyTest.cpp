#include "ShellTestSupport.h"

#include "document/RecoveryStore.h"
#include "document/StateTestSupport.h"
#include "shell/DocListPage.h"
#include "shell/EarlierVersionsDlg.h"

#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <functional>

using namespace statetest;

namespace {

// Runs answer on the next modal window of the class once it is up.
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

class DrawingSafetyTest : public ShellTest {
protected:
    // Lets the event loop run until done() or five seconds passed.
    static bool WaitFor(const std::function<bool()>& done)
    {
        for (int waited = 0; waited < 5000 && !done(); waited += 25) RunEventLoop(25);
        return done();
    }
    int RecoveryCopies() const
    {
        return QDir(Home() + "/.local/state/graphelle/recovery").entryList({"*.tvk"}, QDir::Files).size();
    }
};

}  // namespace

TEST_F(DrawingSafetyTest, UnsavedChangesHaveARecoveryCopyUntilTheyAreSaved)
{
    Start();
    EXPECT_EQ(RecoveryCopies(), 0);
    DrawStroke();
    EXPECT_TRUE(WaitFor([&] { return RecoveryCopies() == 1; }));
    ASSERT_TRUE(m_app->OnFileSave());
    EXPECT_TRUE(WaitFor([&] { return RecoveryCopies() == 0; }));
}

TEST_F(DrawingSafetyTest, EarlierVersionsListsTheReplacedFileAndOpensItAsANewSketch)
{
    const std::string file = (Documents() + "/tree.tvk").toStdString();
    QDir().mkpath(Documents());
    ASSERT_TRUE(WriteMarkedSketch(file, 20));
    const qint64 written = QFileInfo(QString::fromStdString(file)).lastModified().toSecsSinceEpoch();
    Start({QString::fromStdString(file)});
    DrawStroke(60);
    ASSERT_TRUE(m_app->OnFileSave());
    DrawStroke(80);
    ASSERT_TRUE(m_app->OnFileSave());  // the second save of the run keeps nothing

    QStringList listed;
    AnswerNextModal("QDialog", [&](QWidget* modal) {
        auto* dlg = dynamic_cast<CEarlierVersionsDlg*>(modal);
        ASSERT_NE(dlg, nullptr);
        for (int i = 0; i < dlg->List()->count(); ++i) listed << dlg->List()->item(i)->text();
        dlg->OpenButton()->click();
    });
    Frame().RouteCommand(ID_FILE_EARLIER_VERSIONS);
    EXPECT_EQ(listed, QStringList{CEarlierVersionsDlg::TimeText(written)});

    // The version is a new sketch beside the drawing, on screen; the drawing
    // keeps both strokes.
    const QString opened = QString::fromStdString(Doc().GetPathName());
    EXPECT_TRUE(opened.startsWith(Documents() + "/tree (version of ")) << opened.toStdString();
    EXPECT_EQ(Doc().m_paper.GetPixel(20, 20), 20);
    EXPECT_EQ(Doc().m_paper.GetPixel(60, 60), 255);
    CPaper drawing;
    std::string error;
    ASSERT_EQ(LoadSketchFile(file, drawing, error), SketchLoad::Whole);
    EXPECT_NE(drawing.GetPixel(60, 60), 255);
    EXPECT_NE(drawing.GetPixel(60, 80), 255);
    Stop();

    // From the list of sketches, every drawing's versions, each named.
    Start();
    ASSERT_TRUE(Frame().IsDocListShown());
    AnswerNextModal("QDialog", [&](QWidget* modal) {
        auto* dlg = dynamic_cast<CEarlierVersionsDlg*>(modal);
        ASSERT_NE(dlg, nullptr);
        listed.clear();
        for (int i = 0; i < dlg->List()->count(); ++i) listed << dlg->List()->item(i)->text();
        dlg->reject();
    });
    EXPECT_TRUE(Frame().RouteCommand(ID_FILE_EARLIER_VERSIONS));
    EXPECT_EQ(listed, QStringList{"tree.tvk\n" + CEarlierVersionsDlg::TimeText(written)});
}

TEST_F(DrawingSafetyTest, AtStartTheDrawingsADeadCopyLeftComeBackAndTheUserIsTold)
{
    const std::string file = (Documents() + "/lost.tvk").toStdString();
    QDir().mkpath(Documents());
    ASSERT_TRUE(WriteMarkedSketch(file, 20));
    {
        CRecoveryStore dead;
        ASSERT_TRUE(dead.Open());
        CPaper unsaved;
        MarkedSheet(unsaved, 90);
        ASSERT_TRUE(dead.WriteCopy(1, file, unsaved));
    }

    QString title, notice;
    AnswerNextModal("QMessageBox", [&](QWidget* modal) {
        auto* box = static_cast<QMessageBox*>(modal);
        title = box->windowTitle();
        notice = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    Start();
    ASSERT_TRUE(WaitFor([&] { return !notice.isEmpty(); }));
    EXPECT_EQ(title, "Drawings Recovered");
    EXPECT_TRUE(notice.contains("\u2022 lost.tvk, in " + Documents() + "\n")) << notice.toStdString();
    EXPECT_EQ(MarkOf(file), 90);
    EXPECT_TRUE(Frame().IsDocListShown());
    EXPECT_EQ(Frame().DocList()->Files(), QStringList{QString::fromStdString(file)});
}
