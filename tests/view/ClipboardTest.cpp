#include "ViewTestSupport.h"

#include "framework/Services.h"
#include "view/ClipboardImage.h"
#include "view/QtClipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

std::vector<uint8_t> Block(uint32_t reserved, uint32_t width, uint32_t height, size_t pixelBytes, uint8_t fill = 255)
{
    std::vector<uint8_t> block(12 + pixelBytes, fill);
    const uint32_t words[3] = {reserved, width, height};
    for (size_t i = 0; i < 12; ++i) block[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
    return block;
}

// The Qt clipboard as the program's service for one test, left empty.
struct ClipboardService {
    QtClipboard clipboard;
    ~ClipboardService() { QGuiApplication::clipboard()->clear(); }
};

TEST(ClipboardImage, PayloadBecomesAnImageRowForRowAndMalformedBlocksAreRefused)
{
    // 5 x 4: stride 8, bottom row first, padding white.
    std::vector<uint8_t> block = Block(0, 5, 4, 32);
    for (uint32_t row = 0; row < 4; ++row)
        for (uint32_t x = 0; x < 5; ++x) block[12 + row * 8 + x] = static_cast<uint8_t>(row * 10 + x);
    const QImage image = PayloadToImage(block);
    ASSERT_EQ(image.size(), QSize(5, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(qGray(image.pixel(x, y)), (3 - y) * 10 + x) << x << "," << y;

    // And back: the same block.
    std::vector<uint8_t> again;
    ASSERT_TRUE(ImageToPayload(image, again));
    EXPECT_EQ(again, block);

    const std::vector<std::vector<uint8_t>> malformed{
        {},
        std::vector<uint8_t>(11, 0),  // not even a header
        Block(0, 5, 4, 31),        // one byte short
        Block(1, 5, 4, 32),        // reserved word not 0
        Block(0, 0, 4, 32),        // no width
        Block(0, 5, 0, 32),        // no height
        Block(0, 2049, 1, 2052),   // wider than any paper
        Block(0, 2048, 2048, 16),  // claims far more rows than it holds
    };
    for (const auto& bad : malformed) EXPECT_TRUE(PayloadToImage(bad).isNull()) << bad.size();
}

TEST(ClipboardImage, ForeignImagesBecomeGrayPiecesWithinThePaperLimits)
{
    const std::pair<QSize, QSize> cases[] = {
        {{3000, 1000}, {2048, 682}}, {{2, 3}, {4, 4}}, {{10, 5000}, {4, 2048}}, {{7, 9}, {7, 9}}};
    for (const auto& [in, out] : cases) {
        QImage image(in, QImage::Format_ARGB32);
        image.fill(QColor(0, 0, 0, 0));  // fully transparent
        image.setPixel(0, 0, qRgba(255, 0, 0, 255));
        std::vector<uint8_t> payload;
        ASSERT_TRUE(ImageToPayload(image, payload));
        const QImage piece = PayloadToImage(payload);
        ASSERT_EQ(piece.size(), out) << in.width() << " x " << in.height();
        // Transparency and padding are white; the red corner is a gray.
        EXPECT_EQ(qGray(piece.pixel(out.width() - 1, out.height() - 1)), 255);
        if (in == out) { EXPECT_LT(qGray(piece.pixel(0, 0)), 200); }
    }
    std::vector<uint8_t> payload;
    EXPECT_FALSE(ImageToPayload(QImage(), payload));
}

TEST(QtClipboard, CopyInOneViewPasteInAnother)
{
    ClipboardService service;
    ViewFixture from(400, 300, 500, 400, nullptr, &service.clipboard);
    ViewFixture to(300, 200, 500, 400, nullptr, &service.clipboard);
    FillPattern(from.doc);
    // Copy and Cut need a selection, Paste the program's format.
    EXPECT_FALSE(from.State(ID_EDIT_COPY).first || from.State(ID_EDIT_CUT).first || to.State(ID_EDIT_PASTE).first);
    from.doc.SelectRect(CRect{10, 20, 47, 51});  // 37 wide: rows padded
    EXPECT_TRUE(from.State(ID_EDIT_COPY).first && from.State(ID_EDIT_CUT).first);
    EXPECT_TRUE(from.view->OnCommand(ID_EDIT_COPY));
    EXPECT_TRUE(to.State(ID_EDIT_PASTE).first);
    // Other programs are offered the piece as an image.
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime->hasFormat(kQuillexMimeType) && mime->hasFormat("image/png") && mime->hasImage());
    QImage png;
    ASSERT_TRUE(png.loadFromData(mime->data("image/png"), "PNG"));
    EXPECT_EQ(png.size(), QSize(37, 31));
    EXPECT_EQ(qGray(png.pixel(2, 3)), from.doc.GetPaper().GetPixel(12, 23));

    EXPECT_TRUE(to.view->OnCommand(ID_EDIT_PASTE));
    ASSERT_EQ((std::pair{to.doc.GetSelection().GetPiece().GetWidth(), to.doc.GetSelection().GetPiece().GetHeight()}), (std::pair{37u, 31u}));
    for (int32_t y = 0; y < 31; ++y)
        for (int32_t x = 0; x < 37; ++x)
            ASSERT_EQ(to.doc.GetSelection().GetPiece().GetPixel(x, y), from.doc.GetPaper().GetPixel(10 + x, 20 + y)) << x << "," << y;
    EXPECT_EQ(to.doc.GetTool(), ToolKind::Select);
    // It lands under view pixel (5, 5), or at 5 when that is off the paper.
    EXPECT_EQ(to.doc.GetSelection().GetRect(), (CRect{5, 5, 42, 36}));

    // Cut leaves white paper behind.
    EXPECT_TRUE(from.view->OnCommand(ID_EDIT_CUT));
    EXPECT_TRUE(from.doc.GetSelection().GetRect().IsEmpty());
    EXPECT_EQ(from.doc.GetPaper().GetPixel(20, 30), 255);
}

TEST(QtClipboard, PasteRefusesMalformedBlocksAndTakesForeignImages)
{
    ClipboardService service;
    ViewFixture f(300, 200, 500, 400, nullptr, &service.clipboard);
    for (const auto& bad : {Block(0, 100, 100, 40), Block(7, 4, 4, 16), Block(0, 3, 4, 16)}) {
        auto* mime = new QMimeData;  // the clipboard takes it
        mime->setData(kQuillexMimeType, QByteArray(reinterpret_cast<const char*>(bad.data()), qsizetype(bad.size())));
        QGuiApplication::clipboard()->setMimeData(mime);
        f.view->OnCommand(ID_EDIT_PASTE);
        EXPECT_FALSE(f.doc.GetSelection().IsFloating() || !f.doc.GetSelection().GetRect().IsEmpty());
    }
    // A malformed block of our own still travels, but is not offered as an image.
    ASSERT_TRUE(service.clipboard.SetData("QUILLEX V1", Block(0, 100, 100, 8)));
    EXPECT_TRUE(service.clipboard.HasFormat("QUILLEX V1"));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat("image/png"));

    QImage image(6, 5, QImage::Format_RGB32);
    image.fill(qRgb(90, 90, 90));
    QGuiApplication::clipboard()->setImage(image);
    EXPECT_TRUE(f.State(ID_EDIT_PASTE).first);
    f.view->OnCommand(ID_EDIT_PASTE);
    EXPECT_EQ((std::pair{f.doc.GetSelection().GetPiece().GetWidth(), f.doc.GetSelection().GetPiece().GetPixel(3, 3)}),
              (std::pair<uint32_t, uint8_t>{6, 90}));
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(service.clipboard.HasFormat("QUILLEX V1"));
    EXPECT_FALSE(f.State(ID_EDIT_PASTE).first);
}

}  // namespace
