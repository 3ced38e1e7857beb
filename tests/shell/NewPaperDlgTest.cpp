#include "ShellTestSupport.h"

#include "shell/NewPaperDlg.h"
#include "shell/QtProfile.h"

#include <QLabel>
#include <QLineEdit>

static QLineEdit* Edit(CPaperSpin* spin) { return spin->findChild<QLineEdit*>(); }

// What the fields show, or what the profile holds, as "width height roughness".
static QString Fields(CNewPaperDlg& dlg)
{
    return Edit(dlg.m_spinWidth)->text() + " " + Edit(dlg.m_spinHeight)->text() + " " + Edit(dlg.m_spinRough)->text();
}
static QString Stored(CQtProfile& profile)
{
    QStringList values;
    for (const char* name : {"width", "height", "rough"}) values << QString::number(profile.GetProfileInt(name, -1));
    return values.join(' ');
}


// One dialog through a whole sequence of tries: OK names the first failing field, keeps the
// dialog open with what was typed, and stores nothing until all pass.
TEST_F(ShellTest, NewPaperOkChecksTheRangesInOrderAndStoresOnlyAcceptedValues)
{
    const char* const width = "Paper width should be between 100 - 2048!";
    const char* const height = "Paper height should be between 100 - 2048!";
    const char* const rough = "Paper roughness should be between 1 - 10!";
    // Width, height and roughness typed; the message, or null when accepted; what is stored then.
    // Correcting the width of "99 5000 40" brings up the height next.
    const std::tuple<const char*, const char*, const char*> tries[] = {
        {"99 5000 40", width, "-1 -1 -1"}, {" 300 5", width, "-1 -1 -1"}, {"4294967396 300 5", width, "-1 -1 -1"},
        {"2049 300 5", width, "-1 -1 -1"}, {"500 5000 40", height, "-1 -1 -1"}, {"500 99 5", height, "-1 -1 -1"},
        {"500 2049 5", height, "-1 -1 -1"}, {"500 500 0", rough, "-1 -1 -1"}, {"500 500 11", rough, "-1 -1 -1"},
        {"100 2048 1", nullptr, "100 2048 1"}, {"2048 100 10", nullptr, "2048 100 10"},
        {"2048 100 0", rough, "2048 100 10"},
    };
    CQtProfile profile{Home() + "/.config/Ostrevane/Graphelle.ini"};
    CNewPaperDlg dlg(&profile);
    QLabel* info = dlg.findChild<QLabel*>("info");
    CPaperSpin* spins[] = {dlg.m_spinWidth, dlg.m_spinHeight, dlg.m_spinRough};
    for (const auto& [typed, message, stored] : tries) {
        SCOPED_TRACE(typed);
        const QStringList fields = QString(typed).split(' ');
        for (int i = 0; i < 3; ++i) Edit(spins[i])->setText(fields[i]);
        dlg.setResult(QDialog::Rejected);
        dlg.accept();
        EXPECT_EQ(info->text(), message ? message : "");
        EXPECT_EQ(dlg.result() == QDialog::Accepted, !message);
        EXPECT_EQ(Fields(dlg), typed);
        EXPECT_EQ(Stored(profile), stored);
        if (!message) { EXPECT_EQ(QString::asprintf("%d %d %d", dlg.m_nWidth, dlg.m_nHeight, dlg.m_nRough), typed); }
    }
    // The next dialog offers what was accepted last.
    CNewPaperDlg next(&profile);
    EXPECT_EQ(Fields(next), "2048 100 10");
}
