#include "DocTestSupport.h"

#include "document/Clipboard.h"

#include <array>

using namespace doctest;

namespace {

// A clipboard block: the reserved word, the width and the height, then pixel bytes of 33.
std::vector<uint8_t> Block(uint32_t reserved, uint32_t width, uint32_t height, size_t pixelBytes)
{
    std::vector<uint8_t> b(12 + pixelBytes, 33);
    const std::array words{reserved, width, height};
    for (size_t i = 0; i < 12; ++i) b[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
    return b;
}

}  // namespace

// Pasted, the piece arrives floating under view pixel (5, 5), but never left of or above the
// paper, and each paste puts the one before down.
TEST_F(DocTest, CopyWritesBottomUpPaddedRowsPasteReadsThemBackOrRefusesThemAndCutTakesOnlyWhatReachedTheClipboard)
{
    PaintSheet(*doc, [](int32_t x, int32_t y) { return x >= 10 && x < 15 && y >= 10 && y < 16 ? x * 3 + y : -1; });
    Band(CRect{10, 10, 15, 16});
    doc->CopySelection(&view, false);
    const auto& b = services.clipboard.at(kClipFormat);
    ASSERT_EQ(b.size(), 12u + 8u * 6u);  // width 5 pads to 8
    EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 12), Block(0, 5, 6, 0));
    EXPECT_EQ(b[12 + 5 * 8 + 0], 10 * 3 + 10);  // top row stored last
    EXPECT_EQ(b[12 + 0 * 8 + 4], 14 * 3 + 15);  // bottom row stored first
    EXPECT_EQ(State(), "history 0 pos 0 selection 10 10 15 16 floating 0 modified 0");

    doc->OnCommand(ID_TOOL_PENCIL);
    for (auto [scroll, at] : {std::pair{CPoint{40, 30}, CPoint{45, 35}}, std::pair{CPoint{-20, 10}, CPoint{5, 15}},
                              std::pair{CPoint{30, -9}, CPoint{35, 5}}, std::pair{CPoint{0, 0}, CPoint{5, 5}}}) {
        view.scroll = scroll;
        doc->Paste(&view);
        EXPECT_EQ(doc->GetSelection().GetRect(), (CRect{at.x, at.y, at.x + 5, at.y + 6}));
    }
    EXPECT_EQ(State(), "history 3 pos 3 selection 5 5 10 11 floating 1 modified 1");
    doc->DropSelection();
    for (int32_t y = 0; y < 6; ++y)
        for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(doc->GetPaper().GetPixel(5 + x, 5 + y), x * 3 + y + 40);

    // A cut records once for a plain selection, never for a floating piece, and copies the
    // floating pixels; nothing is cut that the clipboard refused.
    Put(12, 12, 9);
    for (bool refused : {true, false}) {
        services.refuseSet = refused;
        Band(CRect{10, 10, 20, 20});
        doc->SetModifiedFlag(false);
        doc->Cut(&view);
        EXPECT_EQ(State(), refused ? "history 0 pos 0 selection 10 10 20 20 floating 0 modified 0"
                                   : "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1");
        EXPECT_EQ(doc->GetPaper().GetPixel(12, 12), refused ? 9 : 255);
    }
    EXPECT_EQ(services.clipboard.at(kClipFormat)[12 + 7 * 12 + 2], 9);  // (2, 2) of the piece sits in stored row 7
    doc->OnEditUndo();
    EXPECT_EQ(doc->GetPaper().GetPixel(12, 12), 9);

    Lift(CRect{10, 10, 20, 20});  // the paper beneath is white now
    services.refuseSet = true;
    doc->Cut(&view);
    EXPECT_TRUE(doc->GetSelection().IsFloating());
    services.refuseSet = false;
    services.clipboard.clear();
    doc->Cut(&view);
    EXPECT_EQ(State(), "history 1 pos 1 selection 0 0 0 0 floating 0 modified 1");  // the lift only
    EXPECT_EQ(services.clipboard.at(kClipFormat)[12 + 7 * 12 + 2], 9);

    // Paste refuses unusable blocks, after it put the piece before down.
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"width 3", Block(0, 3, 6, 4 * 6)}, {"height 2049", Block(0, 4, 2049, 4 * 2049)},
        {"width 0", Block(0, 0, 6, 0)}, {"a byte short", Block(0, 6, 4, 8 * 4 - 1)}, {"huge", Block(0, ~0u, ~0u, 16)},
        {"header only", Block(0, 6, 4, 0)}, {"shorter than a header", std::vector<uint8_t>(8, 0)},
        {"nothing on the clipboard", {}},
        {"someone else's block", Block(1, 4, 4, 16)}};  // the last two change nothing at all
    for (const auto& [what, block] : cases) {
        services.clipboard[kClipFormat] = Block(0, 4, 4, 16);
        doc->Paste(&view);
        ASSERT_TRUE(doc->GetSelection().IsFloating());
        const int32_t records = doc->GetHistoryCount();
        const bool foreign = block.empty() || block[0] != 0;
        services.clipboard.clear();
        if (!block.empty()) services.clipboard[kClipFormat] = block;
        EXPECT_EQ(doc->CanPaste(), !block.empty()) << what;
        doc->Paste(&view);
        EXPECT_EQ(doc->GetSelection().IsFloating(), foreign) << what;
        EXPECT_EQ(doc->GetSelection().GetRect().IsEmpty(), !foreign) << what;
        EXPECT_EQ(doc->GetHistoryCount(), records + (foreign ? 0 : 1)) << what;  // the drop only
    }
}
