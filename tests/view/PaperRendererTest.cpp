#include "view/PaperRenderer.h"

#include "ViewTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(PaperRenderer, EveryScreenPixelShowsThePaperPixelThePointerMapsTo)
{
    CPaper paper;
    CPaperRenderer renderer;
    QImage target(100, 100, QImage::Format_RGB32);
    // Nothing without pixels, nothing outside the paper.
    EXPECT_TRUE(renderer.Convert(paper, CRect{0, 0, 10, 10}, CRect{0, 0, 10, 10}, target).IsEmpty());
    ASSERT_TRUE(paper.Create(7, 5, 3));
    EXPECT_TRUE(renderer.Convert(paper, CRect{0, 0, 7, 5}, CRect{7, 0, 10, 10}, target).IsEmpty());
    FillPattern(paper);

    const std::pair<CRect, CRect> cases[] = {
        // where the whole paper is shown, and the area asked for
        {{0, 0, 7, 5}, {0, 0, 7, 5}},          // actual size
        {{10, 20, 24, 30}, {0, 0, 100, 100}},  // twice the size, offset
        {{-3, -2, 8, 5}, {0, 0, 8, 5}},        // shrunk, partly scrolled off
        {{5, 5, 72, 53}, {30, 11, 41, 50}},    // 9.6 times, a strip only
    };
    for (const auto& [onScreen, clip] : cases) {
        target.fill(Qt::red);
        const CRect area = renderer.Convert(paper, onScreen, clip, target);
        EXPECT_EQ(area, CRect::Intersect(onScreen, clip));
        for (int32_t j = 0; j < area.Height(); ++j) {
            for (int32_t i = 0; i < area.Width(); ++i) {
                const int32_t px = (area.left + i - onScreen.left) * 7 / onScreen.Width();
                const int32_t py = (area.top + j - onScreen.top) * 5 / onScreen.Height();
                ASSERT_EQ(target.pixel(i, j), Gray(paper.GetPixel(px, py))) << area.left + i << "," << area.top + j;
            }
        }
        // Nothing beyond the area is touched.
        if (area.Width() < 100) { EXPECT_EQ(target.pixel(area.Width(), 0), qRgb(255, 0, 0)); }
    }
}

}  // namespace
