#include "ShellTestSupport.h"

#include "shell/FileAssociation.h"

#include <QProcess>

namespace {

// What a desktop tool prints, on the test's home as the desktop's data folder.
QString RunTool(const QString& tool, const QStringList& args)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, args);
    if (!process.waitForFinished(10000)) return tool + " is missing; run scripts/install-deps";
    return QString::fromUtf8(process.readAll()).trimmed() + (process.exitCode() ? " (failed)" : "");
}

}  // namespace

TEST_F(ShellTest, ExecArgumentsAreQuotedOnlyForReservedCharactersAndEscapedWithin)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/graphelle", "/usr/bin/graphelle"},
        {"/opt/g-1.0/bin,x=y+z", "/opt/g-1.0/bin,x=y+z"},
        {"/100%/g", "/100%%/g"},
        {"/a b/c", "\"/a b/c\""},
        {"/a\"b", "\"/a\\\\\"b\""},
        {"/a$HOME", "\"/a\\\\$HOME\""},
        {"/a`x`", "\"/a\\\\`x\\\\`\""},
        {"/a\\b", "\"/a\\\\\\\\b\""},
        {"/it's/100%", "\"/it's/100%%\""},
        {"/line\nbreak", "\"/line\\nbreak\""},
        {"/~x/(y)", "\"/~x/(y)\""},
    };
    for (const auto& [path, quoted] : cases) EXPECT_EQ(DesktopExecArgument(path), quoted) << path;
}

// desktop-file-validate accepts the launcher entry whatever the program's path, and once the
// desktop has indexed it, its tools find our type for a sketch and our launcher for the type; a
// start then rewrites nothing, and a moved program is written again.
TEST_F(ShellTest, TheDesktopReadsTheAssociationAsOurs)
{
    const QString data = Home() + "/.local/share", cli = "/x/graphelle-cli";
    const QString nasty = "/x/\"$`\\%'/graphelle";
    for (const QString& exe : {QString("/usr/bin/graphelle"), QString("/opt/My Apps/graphelle"), nasty}) {
        const AssociationResult r = WriteFileAssociation(data, exe, cli);
        EXPECT_EQ(r.written, kAssociationPieces);
        EXPECT_EQ(RunTool("desktop-file-validate", {data + "/applications/graphelle.desktop"}), "")
            << exe.toStdString();
    }
    RefreshDesktopDatabases(data);
    EXPECT_TRUE(WaitFor([&] {
        return QFileInfo::exists(data + "/mime/mime.cache") && QFileInfo::exists(data + "/applications/mimeinfo.cache");
    }));
    // Known by its name alone, and named as the type's description says.
    QFile sketch(Home() + "/a.tvk");
    ASSERT_TRUE(sketch.open(QIODevice::WriteOnly) && sketch.write("no mark") == 7);
    sketch.close();
    EXPECT_EQ(RunTool("xdg-mime", {"query", "filetype", sketch.fileName()}), "application/x-graphelle-sketch");
    EXPECT_EQ(RunTool("mimetype", {"-b", "-d", sketch.fileName()}), "Graphelle File");
    EXPECT_EQ(RunTool("xdg-mime", {"query", "default", "application/x-graphelle-sketch"}), "graphelle.desktop");
    EXPECT_TRUE(ReadText(data + "/applications/mimeinfo.cache")
                    .contains("\napplication/x-graphelle-sketch=graphelle.desktop;"));

    const AssociationResult again = WriteFileAssociation(data, nasty, cli);
    EXPECT_FALSE(again.entryChanged || again.typeChanged);
    const AssociationResult moved = WriteFileAssociation(data, "/new/graphelle", cli);
    EXPECT_EQ(moved.written, kAssociationPieces);
    EXPECT_TRUE(moved.entryChanged);
}

TEST_F(ShellTest, AssociationPiecesThatCannotBeWrittenAreSkippedSilently)
{
    // A file where a folder should be: nothing can be created below it.
    QFile(Home() + "/blocked").open(QIODevice::WriteOnly);
    EXPECT_EQ(WriteFileAssociation(Home() + "/blocked", "/x/graphelle", "/x/graphelle-cli").written, 0);
    EXPECT_EQ(WriteFileAssociation(QString(), "/x/graphelle", "/x/graphelle-cli").written, 0);

    // One folder blocked, the rest still written.
    const QString data = Home() + "/partly";
    QDir().mkpath(data);
    QFile(data + "/applications").open(QIODevice::WriteOnly);
    EXPECT_EQ(WriteFileAssociation(data, "/x/graphelle", "/x/graphelle-cli").written, kAssociationPieces - 1);
    EXPECT_TRUE(QFileInfo::exists(data + "/mime/packages/graphelle.xml"));
}
