// Pictures opened through Qt's image readers: the sheet each kind becomes and the name it gets,
// the message for one that cannot be read; never the picture written. (Dropping a file on the
// window is in tests/e2e, where a real drag delivers it.)

#include "ShellTestSupport.h"

#include <QCryptographicHash>
#include <QPainter>

namespace {

QByteArray Hash(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

class OpenPicturesTest : public ShellTest {
protected:
    // A picture filled with colour and a black rectangle, in the format its name says.
    QString Picture(const QString& name, QSize size, QColor colour, QRect black = {})
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(colour);
        QPainter(&image).fillRect(black, Qt::black);
        QDir().mkpath(Home() + "/Pictures");
        EXPECT_TRUE(image.save(Home() + "/Pictures/" + name, nullptr, 95));
        return Home() + "/Pictures/" + name;
    }
};

}  // namespace

TEST_F(OpenPicturesTest, EachKindOfPictureBecomesTheExpectedSheet)
{
    const struct {
        QString file;
        QSize sheet;
        std::vector<std::tuple<int32_t, int32_t, int>> points;  // x, y, gray (within 3 for JPEG)
    } cases[] = {
        {Picture("colour.png", {40, 30}, Qt::red, {10, 10, 5, 5}), {40, 30}, {{2, 2, 76}, {12, 12, 0}}},
        {Picture("photo.jpg", {64, 48}, Qt::blue, {32, 0, 32, 48}), {64, 48}, {{8, 24, 29}, {56, 24, 0}}},
        {Picture("clear.png", {20, 20}, Qt::transparent, {5, 5, 5, 5}), {20, 20}, {{0, 0, 255}, {7, 7, 0}}},
        {Picture("big.png", {3000, 2000}, Qt::white, {0, 0, 1000, 2000}), {2048, 1365},
         {{100, 100, 0}, {681, 1364, 0}, {683, 0, 255}, {2047, 1364, 255}}},
        {Picture("dot.bmp", {2, 2}, Qt::black), {4, 4}, {{1, 1, 0}, {3, 3, 255}}},
    };
    Start();
    for (const auto& c : cases) {
        const QByteArray before = Hash(c.file);
        ASSERT_TRUE(m_app->OpenFile(c.file)) << c.file.toStdString();
        EXPECT_EQ(DocPath(), Documents() + "/" + QFileInfo(c.file).completeBaseName() + ".tvk");
        EXPECT_EQ(QSize(int(Doc().GetPaper().GetWidth()), int(Doc().GetPaper().GetHeight())), c.sheet);
        for (const auto& [x, y, gray] : c.points)
            EXPECT_NEAR(Doc().GetPaper().GetPixel(x, y), gray, c.file.endsWith(".jpg") ? 3 : 0) << c.file.toStdString();
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_EQ(Hash(c.file), before) << "the picture was written";
    }
    EXPECT_TRUE(messages.messages.empty());
    // Leaving a picture's drawing saved it, so the same picture again takes the next name.
    ASSERT_TRUE(m_app->OpenFile(cases[0].file));
    EXPECT_EQ(DocPath(), Documents() + "/colour (2).tvk");
    // A sketch stays a sketch whatever its name.
    ASSERT_TRUE(QFile::copy(Documents() + "/colour.tvk", Home() + "/sketch.png"));
    ASSERT_TRUE(m_app->OpenFile(Home() + "/sketch.png"));
    EXPECT_EQ(DocPath(), Home() + "/sketch.png");
}

TEST_F(OpenPicturesTest, APictureThatCannotBeReadIsNamedWithTheReasonAndTheDrawingStays)
{
    QFile png(Picture("good.png", {50, 40}, Qt::blue));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const std::pair<QString, QByteArray> broken[] = {{"cut.png", png.readAll().left(100)}, {"junk.jpg", "no picture"}};
    for (const auto& [name, content] : broken) {
        QFile f(Home() + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    }
    Start();
    DrawStroke();
    for (const char* name : {"cut.png", "junk.jpg", "missing.gif"}) EXPECT_FALSE(m_app->OpenFile(Home() + "/" + name));
    EXPECT_EQ(messages.messages, (std::vector<std::string>{
                                     "\"cut.png\" could not be opened: the picture is damaged.",
                                     "\"junk.jpg\" could not be opened: it is not a picture of a kind this computer can read.",
                                     "\"missing.gif\" could not be opened: the file does not exist.",
                                 }));
    // As on the way to any file, the drawing went to its file first, and it is still on screen.
    EXPECT_EQ(DocPath(), Documents() + "/Sketch1.tvk");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_NE(Doc().GetPaper().GetPixel(60, 40), 255);
}
