#include "tools/EraserTool.h"

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void GrayPaper(CPaper& paper, uint8_t value, uint32_t size = 64)
{
    ASSERT_TRUE(paper.Create(size, size, 10));
    FillPaper(paper, value);
}

// One stamp at (x, y): a press that is not recorded and never released.
CRect StampOnce(CEraserTool& eraser, CPaper& paper, int32_t x, int32_t y)
{
    CRect changed;
    EXPECT_EQ(eraser.OnPointerDown(nullptr, &paper, x, y, x, y, changed, 0), 1);
    return changed;
}

}  // namespace

TEST(EraserTool, DefaultsAndClamping)
{
    CEraserTool eraser;
    int32_t size = 0, strength = 0;
    eraser.GetOptions(size, strength);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(strength, 1);

    struct Case {
        int32_t size, strength, wantSize, wantStrength;
    };
    const Case cases[] = {{0, 7, 1, 3}, {-5, 0, 1, 1}, {2, 2, 2, 2}, {3, 1, 3, 1}, {99, -99, 3, 1}};
    for (const Case& c : cases) {
        eraser.SetOptions(c.size, c.strength);
        eraser.GetOptions(size, strength);
        EXPECT_EQ(size, c.wantSize) << c.size;
        EXPECT_EQ(strength, c.wantStrength) << c.strength;
    }
    EXPECT_STREQ(kEraserSizeNames[0], "Small");
    EXPECT_STREQ(kEraserStrengthNames[2], "Heavy");
}

TEST(EraserTool, RowsOnBlackPaper)
{
    struct Row {
        int32_t size, strength;
        std::vector<int> values;  // distance 0, 1, ... r + 1
    };
    const Row rows[] = {
        {1, 1, {61, 54, 34, 1, 0}},
        {1, 3, {181, 161, 101, 1, 0}},
        {2, 2, {121, 117, 107, 91, 67, 37, 1, 0}},
        {3, 1, {61, 60, 58, 54, 49, 42, 34, 24, 13, 1, 0}},
    };
    for (const Row& row : rows) {
        CPaper paper;
        GrayPaper(paper, 0);
        CEraserTool eraser;
        eraser.SetOptions(row.size, row.strength);
        StampOnce(eraser, paper, 30, 30);
        for (int32_t k = 0; k < static_cast<int32_t>(row.values.size()); ++k) {
            // The quadrant is mirrored: all four directions agree.
            EXPECT_EQ(paper.GetPixel(30 + k, 30), row.values[k]) << row.size << "/" << row.strength << " at " << k;
            EXPECT_EQ(paper.GetPixel(30 - k, 30), row.values[k]);
            EXPECT_EQ(paper.GetPixel(30, 30 + k), row.values[k]);
            EXPECT_EQ(paper.GetPixel(30, 30 - k), row.values[k]);
        }
    }
}

TEST(EraserTool, DiscSizesAndChangedRectangle)
{
    const std::pair<int32_t, size_t> discs[] = {{1, 29}, {2, 113}, {3, 253}};
    for (const auto& [size, pixels] : discs) {
        CPaper paper;
        GrayPaper(paper, 0);
        CEraserTool eraser;
        eraser.SetOptions(size, 2);
        const CRect changed = StampOnce(eraser, paper, 30, 30);
        const auto touched = PixelsNot(paper, 0);
        EXPECT_EQ(touched.size(), pixels) << "size " << size;
        const int32_t r = 3 * size;
        EXPECT_EQ(changed, (CRect{30 - r - 1, 30 - r - 1, 30 + r + 1, 30 + r + 1}));
        for (const auto& [x, y] : touched) {
            EXPECT_LE((x - 30) * (x - 30) + (y - 30) * (y - 30), r * r);
            EXPECT_TRUE(changed.Contains(x, y));
        }
    }
    CPaper paper;
    GrayPaper(paper, 0, 128);
    CEraserTool eraser;
    eraser.SetOptions(2, 1);
    EXPECT_EQ(StampOnce(eraser, paper, 50, 50), (CRect{43, 43, 57, 57}));
}

TEST(EraserTool, RimCentreAndWhite)
{
    // The rim gains exactly one level; one pixel further out is untouched.
    CPaper gray;
    GrayPaper(gray, 100);
    CEraserTool eraser;
    StampOnce(eraser, gray, 20, 20);
    EXPECT_EQ(gray.GetPixel(23, 20), 101);
    EXPECT_EQ(gray.GetPixel(24, 20), 100);

    const std::pair<int32_t, int> centres[] = {{1, 137}, {2, 173}, {3, 210}};
    for (const auto& [strength, want] : centres) {
        CPaper paper;
        GrayPaper(paper, 100);
        CEraserTool e;
        e.SetOptions(1, strength);
        StampOnce(e, paper, 20, 20);
        EXPECT_EQ(paper.GetPixel(20, 20), want) << strength;
    }

    // White stays white, and 254 anywhere in the disc becomes white.
    CPaper white;
    GrayPaper(white, 255);
    eraser.SetOptions(3, 3);
    StampOnce(eraser, white, 20, 20);
    EXPECT_TRUE(PixelsNot(white, 255).empty());
    CPaper light;
    GrayPaper(light, 254);
    StampOnce(eraser, light, 20, 20);
    EXPECT_EQ(PixelsNot(light, 254).size(), 253u);
    for (const auto& [x, y] : PixelsNot(light, 254)) EXPECT_EQ(light.GetPixel(x, y), 255);
}

TEST(EraserTool, StrokeRecordsEveryPointAndStampsAllButTheRelease)
{
    CPaper paper;
    GrayPaper(paper, 0);
    CEraserTool eraser;
    eraser.SetOptions(1, 1);
    CRect changed;
    ASSERT_EQ(eraser.OnPointerDown(nullptr, &paper, 20, 20, 0, 0, changed, 1), 1);
    EXPECT_EQ(paper.GetPixel(20, 20), 61) << "the press stamps at once";
    EXPECT_EQ(eraser.OnPointerMove(20, 20, 0, 0, changed), 1);
    EXPECT_EQ(eraser.OnPointerMove(20, 20, 0, 0, changed), 1);
    EXPECT_EQ(changed, (CRect{16, 16, 24, 24}));
    HistoryRecord record;
    int32_t modified = 0;
    CRect last{1, 1, 2, 2};
    EXPECT_EQ(eraser.OnPointerUp(20, 20, 0, 0, last, record, modified), 1);
    EXPECT_EQ(modified, 1);
    EXPECT_TRUE(last.IsEmpty());
    // Three stamps: 0 -> 61 -> 107 -> 142.
    EXPECT_EQ(paper.GetPixel(20, 20), 142);

    EXPECT_EQ(record.nType, HR_ERASER);
    EXPECT_EQ(record.nParam1, 1);
    EXPECT_EQ(record.nParam2, 1);
    ASSERT_NE(record.pPoints, nullptr);
    EXPECT_EQ(record.pPoints->GetCount(), 4u);
    for (const StrokePoint& p : *record.pPoints) {
        EXPECT_EQ(p.x, 20);
        EXPECT_EQ(p.y, 20);
        EXPECT_EQ(p.pData, nullptr);
    }
    EXPECT_EQ(eraser.m_pPoints, nullptr);

    // The release position is recorded, not stamped.
    CPaper other;
    GrayPaper(other, 0);
    eraser.SetOptions(2, 3);
    HistoryRecord r2 = DrawStroke(eraser, other, {CPoint{10, 10}, CPoint{40, 40}});
    EXPECT_EQ(other.GetPixel(40, 40), 0);
    EXPECT_NE(other.GetPixel(10, 10), 0);
    EXPECT_EQ(r2.nParam1, 2);
    EXPECT_EQ(r2.nParam2, 3);
    ASSERT_NE(r2.pPoints, nullptr);
    EXPECT_EQ(r2.pPoints->GetCount(), 2u);

    // Unrecorded strokes leave the record alone but still report a change.
    HistoryRecord none = DrawStroke(eraser, other, {CPoint{10, 10}, CPoint{40, 40}}, 0);
    EXPECT_EQ(none.nType, HR_NONE);
    EXPECT_EQ(none.pPoints, nullptr);
}

TEST(EraserTool, PressOutsideIsRefusedAndEdgesClip)
{
    CPaper paper;
    GrayPaper(paper, 0, 16);
    CEraserTool eraser;
    const CPoint outside[] = {{-1, 5}, {5, -1}, {16, 0}, {0, 16}};
    for (const CPoint& p : outside) {
        CRect changed{1, 1, 4, 4};
        EXPECT_EQ(eraser.OnPointerDown(nullptr, &paper, p.x, p.y, 0, 0, changed, 1), 0);
        EXPECT_TRUE(changed.IsEmpty());
        EXPECT_EQ(eraser.m_pPoints, nullptr);
    }
    EXPECT_TRUE(PixelsNot(paper, 0).empty());
    CRect changed;
    EXPECT_EQ(eraser.OnPointerDown(nullptr, nullptr, 0, 0, 0, 0, changed, 1), 0);

    // A disc at the corner lightens only its quarter inside the paper, and
    // moves may leave the paper entirely.
    eraser.SetOptions(3, 3);
    HistoryRecord record = DrawStroke(eraser, paper, {CPoint{0, 0}, CPoint{-50, 400}, CPoint{15, 15}, CPoint{15, 15}});
    EXPECT_EQ(record.pPoints->GetCount(), 4u);
    EXPECT_EQ(paper.GetPixel(0, 0), 181);
    EXPECT_EQ(paper.GetPixel(9, 0), 1);
    EXPECT_EQ(paper.GetPixel(0, 9), 1);
    EXPECT_EQ(paper.GetPixel(15, 15), 181);
    EXPECT_EQ(paper.GetPixel(7, 7), 0);
}
