// Pictures opened as new drawings through Qt's image readers: the sheet each kind becomes, the
// name it gets, the message for one that cannot be read, a file dropped on the window, and the
// picture itself never written.

#include "ShellTestSupport.h"

#include "formats/SketchFile.h"
#include "shell/PictureImport.h"

#include <QCryptographicHash>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPainter>

namespace {

QByteArray Hash(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

// The pixel (x, y) of a sketch file on disk, or -1.
int SavedPixel(const QString& path, int32_t x, int32_t y)
{
    CPaper paper;
    std::string error;
    return LoadSketchFile(path.toStdString(), paper, error) == SketchLoad::Whole ? paper.GetPixel(x, y) : -1;
}

// A picture of size filled with colour, with a black rectangle in it, saved as its name says.
QString MakePicture(const QString& path, QSize size, QColor colour, QRect black = {}, int quality = -1)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QPainter(&image).fillRect(black, Qt::black);
    EXPECT_TRUE(image.save(path, nullptr, quality)) << path.toStdString();
    return path;
}

class OpenPicturesTest : public ShellTest {
protected:
    QString Pictures() const { return Home() + "/Pictures"; }
    void SetUp() override
    {
        ShellTest::SetUp();
        QDir().mkpath(Pictures());
    }
    int Pixel(int32_t x, int32_t y) { return Doc().m_paper.GetPixel(x, y); }
    QString Path() { return QString::fromStdString(Doc().GetPathName()); }
};

}  // namespace

TEST_F(OpenPicturesTest, EachKindOfPictureBecomesTheExpectedSheet)
{
    const struct {
        QString file;
        QSize sheet;
        std::vector<std::tuple<int32_t, int32_t, int>> points;  // x, y, gray (within 3 for JPEG)
    } cases[] = {
        // Pure red with a black square: red's luminance, and black.
        {MakePicture(Pictures() + "/colour.png", {40, 30}, Qt::red, {10, 10, 5, 5}), {40, 30}, {{2, 2, 76}, {12, 12, 0}}},
        {MakePicture(Pictures() + "/photo.jpg", {64, 48}, QColor(0, 0, 255), {32, 0, 32, 48}, 95), {64, 48},
         {{8, 24, 29}, {56, 24, 0}}},
        // Clear all over but for the black square: white paper around it.
        {MakePicture(Pictures() + "/clear.png", {20, 20}, Qt::transparent, {5, 5, 10, 10}), {20, 20},
         {{0, 0, 255}, {19, 19, 255}, {7, 7, 0}}},
        {MakePicture(Pictures() + "/half.png", {8, 8}, QColor(0, 0, 0, 128)), {8, 8}, {{4, 4, 127}}},
        // Larger than any sheet: scaled down to fit, the black left third where it was.
        {MakePicture(Pictures() + "/big.png", {3000, 2000}, Qt::white, {0, 0, 1000, 2000}), {2048, 1365},
         {{100, 100, 0}, {681, 1364, 0}, {683, 0, 255}, {2047, 1364, 255}}},
        // Smaller than the smallest sheet: white beside it.
        {MakePicture(Pictures() + "/dot.bmp", {2, 2}, Qt::black), {4, 4}, {{1, 1, 0}, {3, 3, 255}}},
    };
    Start();
    for (const auto& c : cases) {
        const QByteArray before = Hash(c.file);
        ASSERT_TRUE(m_app->OpenFile(c.file)) << c.file.toStdString();
        EXPECT_TRUE(messages.messages.empty()) << messages.messages.front();
        EXPECT_EQ(Path(), Documents() + "/" + QFileInfo(c.file).completeBaseName() + ".tvk");
        EXPECT_EQ(QSize(int(Doc().m_paper.GetWidth()), int(Doc().m_paper.GetHeight())), c.sheet) << c.file.toStdString();
        EXPECT_EQ(Doc().GetRoughness(), 5);
        for (const auto& [x, y, gray] : c.points)
            EXPECT_NEAR(Pixel(x, y), gray, c.file.endsWith(".jpg") ? 3 : 0) << c.file.toStdString() << " " << x << "," << y;
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_FALSE(Frame().IsDocListShown());
        EXPECT_EQ(Hash(c.file), before) << "the picture was written";
    }

    // Leaving a picture's drawing saves it; the same picture again takes the next name.
    ASSERT_TRUE(m_app->OpenFile(cases[0].file));
    EXPECT_EQ(Path(), Documents() + "/colour (2).tvk");
    EXPECT_TRUE(QFileInfo::exists(Documents() + "/colour.tvk"));
    EXPECT_TRUE(QFileInfo::exists(Documents() + "/big.tvk"));

    // A sketch keeps being a sketch whatever its name.
    ASSERT_TRUE(QFile::copy(Documents() + "/colour.tvk", Pictures() + "/sketch.png"));
    ASSERT_TRUE(m_app->OpenFile(Pictures() + "/sketch.png"));
    EXPECT_EQ(Path(), Pictures() + "/sketch.png");
    EXPECT_EQ(Pixel(12, 12), 0);
}

TEST_F(OpenPicturesTest, APictureThatCannotBeReadIsNamedWithTheReasonAndTheDrawingStays)
{
    const QString good = MakePicture(Pictures() + "/good.png", {50, 40}, Qt::blue);
    QFile source(good);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray bytes = source.readAll();
    const std::pair<QString, QByteArray> broken[] = {
        {"cut.png", bytes.left(bytes.size() / 2)},
        {"junk.jpg", "this is no picture at all"},
    };
    Start();
    DrawStroke();
    const QString sketch = Path();
    for (const auto& [name, content] : broken) {
        QFile f(Pictures() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
    }
    EXPECT_FALSE(m_app->OpenFile(Pictures() + "/cut.png"));
    EXPECT_FALSE(m_app->OpenFile(Pictures() + "/junk.jpg"));
    EXPECT_FALSE(m_app->OpenFile(Pictures() + "/missing.gif"));
    EXPECT_EQ(messages.messages, (std::vector<std::string>{
                                     "\"cut.png\" could not be opened: the picture is damaged.",
                                     "\"junk.jpg\" could not be opened: it is not a picture of a kind this computer can read.",
                                     "\"missing.gif\" could not be opened: the file does not exist.",
                                 }));
    // As on the way to any other file, the drawing went to its file first, and is still on screen.
    EXPECT_EQ(Path(), sketch);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_NE(Pixel(60, 40), 255);
    EXPECT_EQ(QDir(Documents()).entryList(QDir::Files), QStringList({"Sketch1.tvk"}));
}

TEST_F(OpenPicturesTest, AFileDroppedOnTheWindowOpensAsOpenWouldOpenIt)
{
    const QString picture = MakePicture(Pictures() + "/dropped.png", {30, 20}, Qt::black);
    Start();
    DrawStroke();
    QMimeData data;
    data.setUrls({QUrl("https://example.com/x.png"), QUrl::fromLocalFile(picture)});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(Path(), Documents() + "/Sketch1.tvk") << "opened inside the drop";
    RunEventLoop();
    EXPECT_EQ(Path(), Documents() + "/dropped.tvk");
    EXPECT_EQ(Pixel(29, 19), 0);
    EXPECT_NE(SavedPixel(Documents() + "/Sketch1.tvk", 60, 40), 255) << "the stroke was saved on the way";

    // Nothing local to open: the drop is not taken.
    QMimeData web;
    web.setUrls({QUrl("https://example.com/x.png")});
    QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST(PictureImport, TheOpenDialogOffersSketchesAndPicturesTogetherAndApart)
{
    const QStringList filters = CPictureImport::OpenFilters();
    ASSERT_EQ(filters.size(), 4);
    EXPECT_TRUE(filters[0].startsWith("Sketches and Pictures (*.tvk *."));
    EXPECT_EQ(filters[1], "Sketch File(*.tvk)");
    EXPECT_EQ(filters[3], "All Files (*)");
    for (const char* pattern : {"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp"})
        EXPECT_TRUE(filters[0].contains(pattern) && filters[2].contains(pattern)) << pattern;
}
