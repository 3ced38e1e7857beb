#include "ViewTestSupport.h"

#include "view/ClipboardImage.h"
#include "view/QtClipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QMimeData>

static std::vector<uint8_t> Block(uint32_t reserved, uint32_t width, uint32_t height, size_t pixelBytes)
{
    std::vector<uint8_t> block(12 + pixelBytes, 255);
    const uint32_t words[3] = {reserved, width, height};
    for (size_t i = 0; i < 12; ++i) block[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
    return block;
}

// The copy and paste at the end show a piece travelling row for row; first the blocks no image is made of,
// and other programs' images made pieces.
TEST(QtClipboard, MalformedBlocksAreRefusedForeignImagesBecomeGrayPiecesAndPiecesTravelBetweenViews)
{
    // Empty, one byte short, the reserved word not 0, wider than any paper, far more rows claimed than held.
    const std::vector<uint8_t> malformed[] = {{}, Block(0, 5, 4, 31), Block(1, 5, 4, 32), Block(0, 2049, 1, 2052),
                                              Block(0, 2048, 2048, 16)};
    for (const auto& bad : malformed) EXPECT_TRUE(PayloadToImage(bad).isNull()) << bad.size();

    const std::pair<QSize, QSize> sizes[] = {
        {{3000, 1000}, {2048, 682}}, {{2, 3}, {4, 4}}, {{10, 5000}, {4, 2048}}, {{7, 9}, {7, 9}}};
    for (const auto& [in, out] : sizes) {
        QImage foreign(in, QImage::Format_ARGB32);
        foreign.fill(QColor(0, 0, 0, 0));  // fully transparent
        foreign.setPixel(0, 0, qRgba(255, 0, 0, 255));
        std::vector<uint8_t> payload;
        ASSERT_TRUE(ImageToPayload(foreign, payload));
        const QImage piece = PayloadToImage(payload);
        ASSERT_EQ(piece.size(), out) << in.width() << " x " << in.height();
        // Transparency and padding are white; the red corner is a gray.
        EXPECT_EQ(qGray(piece.pixel(out.width() - 1, out.height() - 1)), 255);
        EXPECT_TRUE(in != out || (qGray(piece.pixel(0, 0)) < 200 && payload[12 + 7] == 255)) << "corner, padding";
    }

    // Through the desktop's clipboard, from one view to another and from other programs.
    QtClipboard clipboard;
    ViewFixture from(400, 300, 500, 400, &clipboard);
    ViewFixture to(300, 200, 500, 400, &clipboard);
    PaintSheet(from.doc, PatternGray);
    from.doc.SelectRect(CRect{10, 20, 47, 51});  // 37 wide: rows padded
    EXPECT_TRUE(from.view->OnCommand(ID_EDIT_COPY));
    // Other programs are offered the piece as an image.
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime->hasFormat(kQuillexMimeType) && mime->hasFormat("image/png") && mime->hasImage());
    const QImage png = QImage::fromData(mime->data("image/png"), "PNG");
    ASSERT_EQ(png.size(), QSize(37, 31));
    EXPECT_EQ(qGray(png.pixel(2, 3)), from.doc.GetPaper().GetPixel(12, 23));

    EXPECT_TRUE(to.view->OnCommand(ID_EDIT_PASTE));
    const CPaper& piece = to.doc.GetSelection().GetPiece();
    ASSERT_EQ((std::pair{piece.GetWidth(), piece.GetHeight()}), (std::pair{37u, 31u}));
    for (int32_t y = 0; y < 31; ++y)
        for (int32_t x = 0; x < 37; ++x)
            ASSERT_EQ(piece.GetPixel(x, y), from.doc.GetPaper().GetPixel(10 + x, 20 + y)) << x << "," << y;
    // It lands under view pixel (5, 5), or at 5 when that is off the paper.
    EXPECT_EQ(to.doc.GetSelection().GetRect(), (CRect{5, 5, 42, 36}));
    // Cut leaves white paper behind.
    EXPECT_TRUE(from.view->OnCommand(ID_EDIT_CUT));
    EXPECT_EQ(from.doc.GetPaper().GetPixel(20, 30), 255);

    // A malformed block of our own still travels, but is not offered as an image.
    ASSERT_TRUE(clipboard.SetData(kClipFormat, Block(0, 100, 100, 40)));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));
    // Another program's image is pasted as gray.
    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(qRgb(90, 90, 90));
    QGuiApplication::clipboard()->setImage(image);
    from.view->OnCommand(ID_EDIT_PASTE);
    const CPaper& gray = from.doc.GetSelection().GetPiece();
    EXPECT_EQ((std::pair{gray.GetWidth(), gray.GetPixel(3, 3)}), (std::pair<uint32_t, uint8_t>{6, 90}));
}
