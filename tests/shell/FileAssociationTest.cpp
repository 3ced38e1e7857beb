#include "ShellTestSupport.h"

#include "shell/FileAssociation.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString Line(const QString& text, const QString& key)
{
    for (const QString& line : text.split('\n'))
        if (line.startsWith(key + "=")) return line.mid(key.size() + 1);
    return QString();
}

}  // namespace

TEST_F(ShellTest, AssociationQuotesAnExecutablePathWithBlanks)
{
    const QString data = Home() + "/data";
    const AssociationResult r =
        WriteFileAssociation(data, "/opt/My Apps/graphelle", "/opt/My Apps/graphelle-cli");
    EXPECT_EQ(r.written, kAssociationPieces);
    EXPECT_TRUE(r.typeChanged);

    const QString desktop = ReadText(data + "/applications/graphelle.desktop");
    EXPECT_TRUE(desktop.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(Line(desktop, "Name"), "Graphelle");
    EXPECT_EQ(Line(desktop, "Exec"), "\"/opt/My Apps/graphelle\" %f");
    EXPECT_EQ(Line(desktop, "MimeType"), "application/x-graphelle-sketch;");
    EXPECT_EQ(Line(desktop, "Icon"), "graphelle");

    const QString mime = ReadText(data + "/mime/packages/graphelle.xml");
    EXPECT_TRUE(mime.contains("<mime-type type=\"application/x-graphelle-sketch\">"));
    EXPECT_TRUE(mime.contains("<comment>Graphelle File</comment>"));
    EXPECT_TRUE(mime.contains("<glob pattern=\"*.tvk\"/>"));
    EXPECT_TRUE(mime.contains("<icon name=\"application-x-graphelle-sketch\"/>"));

    EXPECT_TRUE(ReadText(data + "/icons/hicolor/scalable/mimetypes/application-x-graphelle-sketch.svg")
                    .startsWith("<svg"));
    EXPECT_TRUE(ReadText(data + "/icons/hicolor/scalable/apps/graphelle.svg").startsWith("<svg"));

    const QString thumbnailer = ReadText(data + "/thumbnailers/graphelle.thumbnailer");
    EXPECT_EQ(Line(thumbnailer, "Exec"), "\"/opt/My Apps/graphelle-cli\" thumbnail %i %o %s");
    EXPECT_EQ(Line(thumbnailer, "TryExec"), "/opt/My Apps/graphelle-cli");
    EXPECT_EQ(Line(thumbnailer, "MimeType"), "application/x-graphelle-sketch;");
    EXPECT_TRUE(ReadText(data + "/graphelle/help/tenvik.htm").contains("id=\"Main_Contents\""));
}

TEST_F(ShellTest, AssociationIsRewrittenWhenTheProgramMoves)
{
    const QString data = Home() + "/data";
    WriteFileAssociation(data, "/old/graphelle", "/old/graphelle-cli");
    const AssociationResult again = WriteFileAssociation(data, "/new/graphelle", "/new/graphelle-cli");
    EXPECT_EQ(again.written, kAssociationPieces);
    EXPECT_EQ(Line(ReadText(data + "/applications/graphelle.desktop"), "Exec"),
              "\"/new/graphelle\" %f");
    EXPECT_TRUE(ReadText(data + "/thumbnailers/graphelle.thumbnailer").contains("/new/graphelle-cli"));
}

TEST_F(ShellTest, ExecArgumentsEscapeWhatTheLauncherWouldExpand)
{
    const struct {
        const char* path;
        const char* quoted;
    } cases[] = {
        {"/usr/bin/graphelle", "\"/usr/bin/graphelle\""},
        {"/a b/c", "\"/a b/c\""},
        {"/a\"b", "\"/a\\\\\"b\""},
        {"/a$HOME", "\"/a\\\\$HOME\""},
        {"/a`x`", "\"/a\\\\`x\\\\`\""},
        {"/a\\b", "\"/a\\\\\\\\b\""},
        {"/100%/g", "\"/100%%/g\""},
    };
    for (const auto& c : cases) EXPECT_EQ(DesktopExecArgument(c.path), c.quoted) << c.path;
}

TEST_F(ShellTest, AssociationPiecesThatCannotBeWrittenAreSkippedSilently)
{
    // A file where the folders should be: nothing can be created below it.
    const QString blocked = Home() + "/blocked";
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(WriteFileAssociation(blocked, "/x/graphelle", "/x/graphelle-cli").written, 0);
    EXPECT_EQ(WriteFileAssociation(QString(), "/x/graphelle", "/x/graphelle-cli").written, 0);

    // One folder blocked, the rest still written.
    const QString data = Home() + "/partly";
    QDir().mkpath(data);
    QFile applications(data + "/applications");
    ASSERT_TRUE(applications.open(QIODevice::WriteOnly));
    applications.close();
    EXPECT_EQ(WriteFileAssociation(data, "/x/graphelle", "/x/graphelle-cli").written,
              kAssociationPieces - 1);
    EXPECT_TRUE(QFileInfo::exists(data + "/mime/packages/graphelle.xml"));
}

TEST_F(ShellTest, EveryStartWritesTheAssociationIntoTheUsersDataFolder)
{
    Start();
    const QString data = Home() + "/.local/share";
    const QString desktop = ReadText(data + "/applications/graphelle.desktop");
    EXPECT_EQ(Line(desktop, "Exec"),
              DesktopExecArgument(QCoreApplication::applicationFilePath()) + " %f");
    EXPECT_TRUE(QFileInfo::exists(data + "/mime/packages/graphelle.xml"));
}
