#include "FileAssociation.h"

#include "Resources.h"
#include "ShellResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kIconName = QStringLiteral("graphelle");
const QString kMimeIconName = QStringLiteral("application-x-graphelle-sketch");

// The whole file, from the resources or the disk; empty when unreadable.
QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file only when the whole content was written.
bool WriteFileAtomically(const QString& path, const QByteArray& content)
{
    if (content.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(content) != content.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

}  // namespace

QString DesktopExecArgument(const QString& arg)
{
    // Quoted only when the launcher rules demand it: tools that read Exec
    // themselves (xdg-open without a desktop among them) take its first word
    // as the program, quotes and all. A percent sign is a field code and is
    // doubled either way.
    static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
    bool quote = arg.isEmpty();
    for (const QChar c : arg) quote = quote || reserved.contains(c);
    QString out;
    for (const QChar c : arg) {
        if (c == '%') {
            out += QStringLiteral("%%");
        } else if (!quote) {
            out += c;
        } else if (c == '"' || c == '`' || c == '$') {
            // Escaped for the quoting, and that backslash once more for the
            // entry's string escapes, which are undone first.
            out += QStringLiteral("\\\\");
            out += c;
        } else if (c == '\\') {
            out += QStringLiteral("\\\\\\\\");
        } else if (c == '\n') {
            out += QStringLiteral("\\n");
        } else if (c == '\t') {
            out += QStringLiteral("\\t");
        } else if (c == '\r') {
            out += QStringLiteral("\\r");
        } else {
            out += c;
        }
    }
    return quote ? '"' + out + '"' : out;
}

QString DesktopEntryText(const QString& exePath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=%1\n"
                          "GenericName=Pencil Sketch\n"
                          "Comment=Draw with a pencil on simulated paper\n"
                          "Exec=%2 %f\n"
                          "Icon=%3\n"
                          "Terminal=false\n"
                          "MimeType=%4;\n"
                          "Categories=Graphics;2DGraphics;RasterGraphics;\n")
        .arg(res::kAppName, DesktopExecArgument(exePath), kIconName, res::kSketchMimeType);
}

QString MimeTypeText()
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>%2</comment>\n"
               "    <icon name=\"%3\"/>\n"
               "    <magic priority=\"50\">\n"
               "      <match type=\"string\" offset=\"0\" value=\"QLXF\"/>\n"
               "    </magic>\n"
               "    <glob pattern=\"*.tvk\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(res::kSketchMimeType, res::kFileTypeName, kMimeIconName);
}

QString ThumbnailerText(const QString& cliPath)
{
    return QStringLiteral("[Thumbnailer Entry]\n"
                          "TryExec=%1\n"
                          "Exec=%2 thumbnail %i %o %s\n"
                          "MimeType=%3;\n")
        .arg(cliPath, DesktopExecArgument(cliPath), res::kSketchMimeType);
}

AssociationResult WriteFileAssociation(const QString& dataHome, const QString& exePath,
                                       const QString& cliPath)
{
    AssociationResult result;
    InitShellResources();
    if (dataHome.isEmpty()) return result;
    const QDir home(dataHome);

    const QString mimePath = home.filePath(QStringLiteral("mime/packages/graphelle.xml"));
    const QByteArray mime = MimeTypeText().toUtf8();
    result.typeChanged = ReadFile(mimePath) != mime ||
                         !QFileInfo::exists(home.filePath(QStringLiteral("mime/mime.cache")));
    const QString entryPath = home.filePath(QStringLiteral("applications/graphelle.desktop"));
    const QByteArray entry = DesktopEntryText(exePath).toUtf8();
    result.entryChanged = ReadFile(entryPath) != entry ||
                          !QFileInfo::exists(home.filePath(QStringLiteral("applications/mimeinfo.cache")));

    const struct {
        QString path;
        QByteArray content;
    } pieces[kAssociationPieces] = {
        {entryPath, entry},
        {mimePath, mime},
        {home.filePath(QStringLiteral("icons/hicolor/scalable/apps/") + kIconName + ".svg"),
         ReadFile(QStringLiteral(":/icons/graphelle.svg"))},
        {home.filePath(QStringLiteral("icons/hicolor/scalable/mimetypes/") + kMimeIconName +
                       ".svg"),
         ReadFile(QStringLiteral(":/icons/sketch-file.svg"))},
        {home.filePath(QStringLiteral("thumbnailers/graphelle.thumbnailer")),
         ThumbnailerText(cliPath).toUtf8()},
        {home.filePath(QStringLiteral("graphelle/help/") + res::kHelpFile),
         ReadFile(QStringLiteral(":/help/") + res::kHelpFile)},
    };
    // A piece already in place is left alone: a start costs a read, not a
    // write and a flush to disk, unless something changed.
    for (const auto& piece : pieces) {
        const bool inPlace = !piece.content.isEmpty() && ReadFile(piece.path) == piece.content;
        if (inPlace || WriteFileAtomically(piece.path, piece.content)) ++result.written;
    }
    return result;
}

void RefreshDesktopDatabases(const QString& dataHome)
{
    const QDir home(dataHome);
    const QString mimeTool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (!mimeTool.isEmpty())
        QProcess::startDetached(mimeTool, {home.filePath(QStringLiteral("mime"))});
    const QString desktopTool =
        QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!desktopTool.isEmpty())
        QProcess::startDetached(desktopTool, {home.filePath(QStringLiteral("applications"))});
}
