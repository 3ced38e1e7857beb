#include "ShellTestSupport.h"

#include "shell/NewPaperDlg.h"
#include "shell/QtProfile.h"

#include <QLabel>
#include <QLineEdit>

namespace {

QString Text(CPaperSpin* spin) { return spin->findChild<QLineEdit*>()->text(); }
void Type(CPaperSpin* spin, const QString& text) { spin->findChild<QLineEdit*>()->setText(text); }
QString Info(CNewPaperDlg& dlg) { return dlg.findChild<QLabel*>("info")->text(); }
QString Fields(CNewPaperDlg& dlg)
{
    return Text(dlg.m_spinWidth) + " " + Text(dlg.m_spinHeight) + " " + Text(dlg.m_spinRough);
}

// The dialog reads and writes a profile of the test's own.
struct NewPaperDlgTest : ShellTest {
    QString Stored()
    {
        QStringList values;
        for (const char* name : {"width", "height", "rough"})
            values << QString::number(profile.GetProfileInt(name, -1));
        return values.join(' ');
    }

    CQtProfile profile{ProfilePath()};
};

}  // namespace

// One dialog through a whole sequence of tries: OK names the first failing field, keeps the
// dialog open with what was typed and the focus there, and stores nothing until all pass.
TEST_F(NewPaperDlgTest, OkChecksTheRangesInOrderAndStoresOnlyAcceptedValues)
{
    const char* const width = "Paper width should be between 100 - 2048!";
    const char* const height = "Paper height should be between 100 - 2048!";
    const char* const rough = "Paper roughness should be between 1 - 10!";
    const struct {
        const char* typed;    // width height roughness
        const char* message;  // null: accepted
        int focus;            // 0 width, 1 height, 2 roughness
        const char* stored;
    } tries[] = {
        {"99 5000 40", width, 0, "-1 -1 -1"},
        {" 300 5", width, 0, "-1 -1 -1"},
        {"4294967396 300 5", width, 0, "-1 -1 -1"},
        {"2049 300 5", width, 0, "-1 -1 -1"},
        {"500 5000 40", height, 1, "-1 -1 -1"},  // correcting the width brings up the height next
        {"500 99 5", height, 1, "-1 -1 -1"},
        {"500 2049 5", height, 1, "-1 -1 -1"},
        {"500 500 0", rough, 2, "-1 -1 -1"},
        {"500 500 11", rough, 2, "-1 -1 -1"},
        {"100 2048 1", nullptr, 0, "100 2048 1"},
        {"2048 100 10", nullptr, 0, "2048 100 10"},
        {"2048 100 0", rough, 2, "2048 100 10"},
    };
    CNewPaperDlg dlg(&profile);
    EXPECT_EQ(dlg.windowTitle(), "New");
    EXPECT_EQ(Fields(dlg), "400 300 5");
    EXPECT_TRUE(Info(dlg).isEmpty());
    CPaperSpin* fields[] = {dlg.m_spinWidth, dlg.m_spinHeight, dlg.m_spinRough};
    for (const auto& t : tries) {
        SCOPED_TRACE(t.typed);
        const QStringList typed = QString(t.typed).split(' ');
        for (int i = 0; i < 3; ++i) Type(fields[i], typed[i]);
        dlg.setResult(QDialog::Rejected);
        dlg.show();
        QApplication::processEvents();
        dlg.accept();
        EXPECT_EQ(Info(dlg), t.message ? t.message : "");
        EXPECT_EQ(dlg.result() == QDialog::Accepted, !t.message);
        EXPECT_EQ(Fields(dlg), t.typed);
        EXPECT_EQ(Stored(), t.stored);
        if (!t.message) {
            EXPECT_EQ(std::tuple(dlg.m_nWidth, dlg.m_nHeight, dlg.m_nRough),
                      std::tuple(typed[0].toInt(), typed[1].toInt(), typed[2].toInt()));
            continue;
        }
        const QWidget* focus = dlg.focusWidget();
        EXPECT_TRUE(focus == fields[t.focus] || focus == fields[t.focus]->findChild<QLineEdit*>());
    }
    // The next dialog offers the values accepted last; one closed by its window stores nothing.
    CNewPaperDlg next(&profile);
    EXPECT_EQ(Fields(next), "2048 100 10");
    Type(next.m_spinWidth, "800");
    next.show();
    next.close();
    EXPECT_EQ(next.result(), QDialog::Rejected);
    EXPECT_EQ(Stored(), "2048 100 10");

    // Stored values out of range are shown as they are and refused only at OK.
    profile.WriteProfileInt("width", 9);
    profile.WriteProfileInt("height", 5000);
    CNewPaperDlg edited(&profile);
    EXPECT_EQ(Fields(edited), "9 5000 10");
    edited.accept();
    EXPECT_EQ(Info(edited), width);
    EXPECT_EQ(Stored(), "9 5000 10");

    // The fields take digits only.
    for (QString text : {"12a", "-5", "2048"}) {
        int pos = 0;
        EXPECT_EQ(dlg.m_spinWidth->validate(text, pos), text == "2048" ? QValidator::Acceptable : QValidator::Invalid);
    }
}

TEST_F(NewPaperDlgTest, ArrowsStepBy50AndStopExactlyAtTheLimits)
{
    // From, arrow presses, to: sizes from 100 to 2048, roughness by one from 1 to 10.
    using Step = std::tuple<const char*, int, const char*>;
    const Step sizes[] = {{"400", 1, "450"},   {"400", -1, "350"},  {"2000", 1, "2048"}, {"2048", 1, "2048"},
                          {"120", -1, "100"},  {"100", -1, "100"},  {"2048", -1, "1998"}, {"101", 1, "151"},
                          {"400", 3, "550"},   {"3000", -1, "1998"}, {"40", 1, "150"}};
    const Step rough[] = {{"5", 1, "6"}, {"5", -1, "4"}, {"10", 1, "10"}, {"1", -1, "1"}, {"40", -1, "9"}};
    CNewPaperDlg dlg(&profile);
    const auto check = [](CPaperSpin* spin, const Step& step) {
        const auto& [from, steps, to] = step;
        Type(spin, from);
        spin->stepBy(steps);
        EXPECT_EQ(Text(spin), to) << from << " by " << steps;
    };
    for (const Step& s : sizes)
        for (CPaperSpin* spin : {dlg.m_spinWidth, dlg.m_spinHeight}) check(spin, s);
    for (const Step& s : rough) check(dlg.m_spinRough, s);
}
