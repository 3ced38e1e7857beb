#include "view/PaperRenderer.h"

#include "engine/Paper.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

// Every pixel a different gray, so that a wrong row or column shows.
void FillPattern(CPaper& paper)
{
    for (int32_t y = 0; y < static_cast<int32_t>(paper.GetHeight()); ++y)
        for (int32_t x = 0; x < static_cast<int32_t>(paper.GetWidth()); ++x)
            paper.SetPixel(x, y, static_cast<uint8_t>((x * 31 + y * 7) & 0xFF));
}

TEST(PaperRenderer, EveryScreenPixelShowsThePaperPixelThePointerMapsTo)
{
    CPaper paper;
    ASSERT_TRUE(paper.Create(7, 5, 3));
    FillPattern(paper);
    CPaperRenderer renderer;

    struct Case {
        CRect onScreen;  // where the whole paper is shown
        CRect clip;      // the area asked for
    };
    const Case cases[] = {
        {{0, 0, 7, 5}, {0, 0, 7, 5}},          // actual size
        {{10, 20, 24, 30}, {0, 0, 100, 100}},  // twice the size, offset
        {{-3, -2, 8, 5}, {0, 0, 8, 5}},        // shrunk, partly scrolled off
        {{5, 5, 72, 53}, {30, 11, 41, 50}},    // 9.6 times, a strip only
    };
    for (const Case& c : cases) {
        QImage target(100, 100, QImage::Format_RGB32);
        target.fill(Qt::red);
        const CRect area = renderer.Convert(paper, c.onScreen, c.clip, target);
        EXPECT_EQ(area, CRect::Intersect(c.onScreen, c.clip));
        for (int32_t j = 0; j < area.Height(); ++j) {
            for (int32_t i = 0; i < area.Width(); ++i) {
                const int32_t px = (area.left + i - c.onScreen.left) * 7 / c.onScreen.Width();
                const int32_t py = (area.top + j - c.onScreen.top) * 5 / c.onScreen.Height();
                const int g = paper.GetPixel(px, py);
                ASSERT_EQ(target.pixel(i, j), qRgb(g, g, g)) << "screen " << area.left + i << "," << area.top + j;
            }
        }
        // Nothing beyond the area is touched.
        if (area.Width() < 100) {
            EXPECT_EQ(target.pixel(area.Width(), 0), qRgb(255, 0, 0));
        }
    }
}

TEST(PaperRenderer, NothingOutsideThePaperOrWithoutPixels)
{
    CPaper paper;
    CPaperRenderer renderer;
    QImage target(10, 10, QImage::Format_RGB32);
    EXPECT_TRUE(renderer.Convert(paper, CRect{0, 0, 10, 10}, CRect{0, 0, 10, 10}, target).IsEmpty());
    ASSERT_TRUE(paper.Create(4, 4, 1));
    EXPECT_TRUE(renderer.Convert(paper, CRect{0, 0, 4, 4}, CRect{4, 0, 10, 10}, target).IsEmpty());
}

}  // namespace
