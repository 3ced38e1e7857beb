#include "ShellTestSupport.h"

#include "shell/FileAssociation.h"

#include <QProcess>

namespace {

QString Line(const QString& text, const QString& key)
{
    for (const QString& line : text.split('\n'))
        if (line.startsWith(key + "=")) return line.mid(key.size() + 1);
    return QString();
}

}  // namespace

TEST_F(ShellTest, AssociationQuotesAnExecutablePathWithBlanksAndFollowsTheProgram)
{
    const QString data = Home() + "/data";
    const AssociationResult r = WriteFileAssociation(data, "/opt/My Apps/graphelle", "/opt/My Apps/graphelle-cli");
    EXPECT_EQ(r.written, kAssociationPieces);
    EXPECT_TRUE(r.typeChanged);

    const QString desktop = ReadText(data + "/applications/graphelle.desktop");
    EXPECT_TRUE(desktop.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(Line(desktop, "Name"), "Graphelle");
    EXPECT_EQ(Line(desktop, "Exec"), "\"/opt/My Apps/graphelle\" %f");
    EXPECT_EQ(Line(desktop, "MimeType"), "application/x-graphelle-sketch;");
    EXPECT_EQ(Line(desktop, "Icon"), "graphelle");

    const QString mime = ReadText(data + "/mime/packages/graphelle.xml");
    for (const char* part : {"<mime-type type=\"application/x-graphelle-sketch\">", "<comment>Graphelle File</comment>",
                             "<glob pattern=\"*.tvk\"/>", "<icon name=\"application-x-graphelle-sketch\"/>"})
        EXPECT_TRUE(mime.contains(part)) << part;

    for (const char* icon : {"mimetypes/application-x-graphelle-sketch.svg", "apps/graphelle.svg"})
        EXPECT_TRUE(ReadText(data + "/icons/hicolor/scalable/" + icon).startsWith("<svg")) << icon;

    const QString thumbnailer = ReadText(data + "/thumbnailers/graphelle.thumbnailer");
    EXPECT_EQ(Line(thumbnailer, "Exec"), "\"/opt/My Apps/graphelle-cli\" thumbnail %i %o %s");
    EXPECT_EQ(Line(thumbnailer, "TryExec"), "/opt/My Apps/graphelle-cli");
    EXPECT_EQ(Line(thumbnailer, "MimeType"), "application/x-graphelle-sketch;");
    EXPECT_TRUE(ReadText(data + "/graphelle/help/tenvik.htm").contains("id=\"Main_Contents\""));

    // Written again when the program moves; a path without reserved characters goes unquoted.
    const AssociationResult moved = WriteFileAssociation(data, "/new/graphelle", "/new/graphelle-cli");
    EXPECT_EQ(moved.written, kAssociationPieces);
    EXPECT_TRUE(moved.entryChanged);
    EXPECT_EQ(Line(ReadText(data + "/applications/graphelle.desktop"), "Exec"), "/new/graphelle %f");
    EXPECT_TRUE(ReadText(data + "/thumbnailers/graphelle.thumbnailer").contains("/new/graphelle-cli"));
}

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

// desktop-file-validate accepts our entry whatever the program's path; once it is in place and
// indexed, a start reports nothing changed.
TEST_F(ShellTest, TheLauncherEntryPassesDesktopFileValidate)
{
    const QString data = Home() + "/data";
    for (const char* exe : {"/usr/bin/graphelle", "/opt/My Apps/graphelle", "/x/\"$`\\%'/graphelle"}) {
        ASSERT_GT(WriteFileAssociation(data, exe, "/x/graphelle-cli").written, 0);
        QProcess validate;
        validate.start("desktop-file-validate", {data + "/applications/graphelle.desktop"});
        ASSERT_TRUE(validate.waitForFinished(10000)) << "desktop-file-utils is missing; run scripts/install-deps";
        EXPECT_EQ(validate.exitCode(), 0) << exe;
        EXPECT_EQ(validate.readAll(), "") << exe;
    }
    QFile(data + "/applications/mimeinfo.cache").open(QIODevice::WriteOnly);
    EXPECT_FALSE(WriteFileAssociation(data, "/x/\"$`\\%'/graphelle", "/x/graphelle-cli").entryChanged);
}

TEST_F(ShellTest, AssociationPiecesThatCannotBeWrittenAreSkippedSilently)
{
    // A file where a folder should be: nothing can be created below it.
    auto block = [](const QString& path) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    };
    block(Home() + "/blocked");
    EXPECT_EQ(WriteFileAssociation(Home() + "/blocked", "/x/graphelle", "/x/graphelle-cli").written, 0);
    EXPECT_EQ(WriteFileAssociation(QString(), "/x/graphelle", "/x/graphelle-cli").written, 0);

    // One folder blocked, the rest still written.
    const QString data = Home() + "/partly";
    QDir().mkpath(data);
    block(data + "/applications");
    EXPECT_EQ(WriteFileAssociation(data, "/x/graphelle", "/x/graphelle-cli").written, kAssociationPieces - 1);
    EXPECT_TRUE(QFileInfo::exists(data + "/mime/packages/graphelle.xml"));
}
