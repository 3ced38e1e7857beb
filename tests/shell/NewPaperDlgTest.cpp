#include "ShellTestSupport.h"

#include "shell/NewPaperDlg.h"
#include "shell/QtProfile.h"

#include <QLabel>
#include <QLineEdit>

namespace {

class NewPaperDlgTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        m_profile = std::make_unique<CQtProfile>(ProfilePath());
        Services().pProfile = m_profile.get();
    }
    void TearDown() override
    {
        Services().pProfile = nullptr;
        m_profile.reset();
        ShellTest::TearDown();
    }

    static QString Text(CPaperSpin* spin) { return spin->findChild<QLineEdit*>()->text(); }
    static void Type(CPaperSpin* spin, const QString& text) { spin->findChild<QLineEdit*>()->setText(text); }
    static QString Info(CNewPaperDlg& dlg) { return dlg.findChild<QLabel*>("info")->text(); }

    std::unique_ptr<CQtProfile> m_profile;
};

}  // namespace

TEST_F(NewPaperDlgTest, OpensWithTheStoredValuesAndStoresOnlyAcceptedOnes)
{
    auto fields = [](CNewPaperDlg& dlg) {
        return QStringList({Text(dlg.m_spinWidth), Text(dlg.m_spinHeight), Text(dlg.m_spinRough)});
    };
    {
        CNewPaperDlg dlg;
        EXPECT_EQ(dlg.windowTitle(), "New");
        EXPECT_EQ(fields(dlg), QStringList({"400", "300", "5"}));
        EXPECT_TRUE(Info(dlg).isEmpty());
        Type(dlg.m_spinWidth, "640");
        Type(dlg.m_spinHeight, "480");
        Type(dlg.m_spinRough, "7");
        dlg.accept();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(std::tuple(dlg.m_nWidth, dlg.m_nHeight, dlg.m_nRough), std::tuple(640, 480, 7));
    }
    EXPECT_EQ(fields(*std::make_unique<CNewPaperDlg>()), QStringList({"640", "480", "7"}));

    // Stored values out of range are shown as they are and refused only at OK,
    // and nothing is written while a value fails.
    m_profile->WriteProfileInt("width", 9);
    m_profile->WriteProfileInt("height", 5000);
    m_profile->WriteProfileInt("rough", 40);
    CNewPaperDlg dlg;
    EXPECT_EQ(fields(dlg), QStringList({"9", "5000", "40"}));
    dlg.accept();
    EXPECT_EQ(Info(dlg), "Paper width should be between 100 - 2048!");
    EXPECT_EQ(m_profile->GetProfileInt("width", 0), 9);
}

TEST_F(NewPaperDlgTest, RangeChecksNameTheFirstFailingFieldAndKeepTheDialogOpen)
{
    const struct {
        const char* width;
        const char* height;
        const char* rough;
        const char* message;  // null: accepted
        int focus;            // 0 width, 1 height, 2 roughness
    } cases[] = {
        {"100", "300", "5", nullptr, -1},
        {"2048", "2048", "10", nullptr, -1},
        {"99", "300", "5", "Paper width should be between 100 - 2048!", 0},
        {"2049", "300", "5", "Paper width should be between 100 - 2048!", 0},
        {"", "300", "5", "Paper width should be between 100 - 2048!", 0},
        {"4294967396", "300", "5", "Paper width should be between 100 - 2048!", 0},
        {"99", "99", "0", "Paper width should be between 100 - 2048!", 0},
        {"400", "99", "0", "Paper height should be between 100 - 2048!", 1},
        {"400", "2049", "5", "Paper height should be between 100 - 2048!", 1},
        {"400", "300", "0", "Paper roughness should be between 1 - 10!", 2},
        {"400", "300", "11", "Paper roughness should be between 1 - 10!", 2},
        {"400", "300", "1", nullptr, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.width) + " x " + c.height + " / " + c.rough);
        CNewPaperDlg dlg;
        Type(dlg.m_spinWidth, c.width);
        Type(dlg.m_spinHeight, c.height);
        Type(dlg.m_spinRough, c.rough);
        dlg.show();
        QApplication::processEvents();
        dlg.accept();
        if (!c.message) {
            EXPECT_EQ(dlg.result(), QDialog::Accepted);
            EXPECT_TRUE(Info(dlg).isEmpty());
            continue;
        }
        EXPECT_NE(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(Info(dlg), c.message);
        CPaperSpin* fields[] = {dlg.m_spinWidth, dlg.m_spinHeight, dlg.m_spinRough};
        const QWidget* focus = dlg.focusWidget();
        EXPECT_TRUE(focus == fields[c.focus] || focus == fields[c.focus]->findChild<QLineEdit*>());
        // What was typed stays.
        EXPECT_EQ(Text(dlg.m_spinWidth), c.width);
    }
}

TEST_F(NewPaperDlgTest, CorrectingTheWidthBringsUpTheHeightMessageNext)
{
    m_profile->WriteProfileInt("width", 123);
    CNewPaperDlg dlg;
    Type(dlg.m_spinWidth, "50");
    Type(dlg.m_spinHeight, "5000");
    dlg.accept();
    EXPECT_EQ(Info(dlg), "Paper width should be between 100 - 2048!");
    Type(dlg.m_spinWidth, "500");
    dlg.accept();
    EXPECT_EQ(Info(dlg), "Paper height should be between 100 - 2048!");
    Type(dlg.m_spinHeight, "500");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(Info(dlg).isEmpty());
    EXPECT_EQ(m_profile->GetProfileInt("width", 0), 500);
}

TEST_F(NewPaperDlgTest, ArrowsStepBy50AndStopExactlyAtTheLimits)
{
    struct Step {
        const char* from;
        int steps;
        const char* to;
    };
    const Step sizes[] = {
        {"400", 1, "450"},  {"400", -1, "350"}, {"2000", 1, "2048"},  {"2048", 1, "2048"}, {"120", -1, "100"},
        {"100", -1, "100"}, {"2048", -1, "1998"}, {"101", 1, "151"},  {"400", 3, "550"},   {"3000", -1, "1998"},
        {"40", 1, "150"},
    };
    // Roughness moves by one within 1 to 10.
    const Step rough[] = {{"5", 1, "6"}, {"5", -1, "4"}, {"10", 1, "10"}, {"1", -1, "1"}, {"40", -1, "9"}};
    CNewPaperDlg dlg;
    auto check = [](CPaperSpin* spin, const Step& s) {
        Type(spin, s.from);
        spin->stepBy(s.steps);
        EXPECT_EQ(Text(spin), s.to) << s.from << " by " << s.steps;
    };
    for (const Step& s : sizes)
        for (CPaperSpin* spin : {dlg.m_spinWidth, dlg.m_spinHeight}) check(spin, s);
    for (const Step& s : rough) check(dlg.m_spinRough, s);
}

TEST_F(NewPaperDlgTest, ClosingTheWindowIsCancelAndStoresNothingAndFieldsTakeDigitsOnly)
{
    CNewPaperDlg dlg;
    Type(dlg.m_spinWidth, "800");
    dlg.show();
    dlg.close();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(m_profile->GetProfileInt("width", -1), -1);

    // The fields take digits only.
    for (QString text : {"12a", "-5", "2048"}) {
        int pos = 0;
        EXPECT_EQ(dlg.m_spinWidth->validate(text, pos), text == "2048" ? QValidator::Acceptable : QValidator::Invalid);
    }
}
