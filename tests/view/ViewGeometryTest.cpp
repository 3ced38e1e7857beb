#include "view/ViewGeometry.h"

#include <gtest/gtest.h>


namespace {

CViewGeometry MakeGeometry(int32_t pw, int32_t ph, int32_t clientW = 300, int32_t clientH = 200, CSize zoom = {})
{
    CViewGeometry g;
    g.m_sizePaper = CSize{pw, ph};
    g.ResetZoom();
    if (zoom.cx > 0) g.m_sizeZoom = zoom;
    g.m_sizeClient = CSize{clientW, clientH};
    g.UpdateOrigin();
    return g;
}

// The status line and the caption, rectangles at the zoom, and the limits of fitting.
TEST(ViewGeometry, TextsRectanglesAndFit)
{
    EXPECT_EQ(MakeGeometry(400, 300, 300, 200, {691, 518}).ScalePercent(), 172);
    EXPECT_EQ(StatusLine(400, 300, 5, 83), "Width 400  Height 300  Roughness 5   Scale 83%");
    for (auto [title, shown] : {std::pair{"my.sketch.gif", "my.sketch"}, {".tvk", ".tvk"}, {"a.", "a"}})
        EXPECT_EQ(CaptionTitle(title), shown) << title;

    // zoom, scroll, paper rectangle, where it shows. The extent is scaled on
    // its own: 3 pixels at 0.8325 stay 2 wide even where the far corner alone
    // would round to 3.
    const std::tuple<CSize, CPoint, CRect, CRect> rects[] = {
        {{800, 600}, {100, 40}, {10, 20, 30, 40}, {-30, 50, 10, 90}},
        {{333, 250}, {0, 0}, {1, 1, 4, 4}, {50, 50, 52, 52}},
        {{333, 250}, {0, 0}, {-12, 0, 0, 6}, {41, 50, 50, 55}},
    };
    for (const auto& [zoom, scroll, paper, view] : rects) {
        CViewGeometry g = MakeGeometry(400, 300, 300, 200, zoom);
        g.m_ptScroll = scroll;
        EXPECT_EQ(g.PaperToView(paper), view) << zoom.cx;
    }

    // The view's tests open and fit sheets by the height; here the limits.
    CSize zoom;
    ASSERT_TRUE(MakeGeometry(100, 100).ComputeFit({1920, 1080}, zoom));
    EXPECT_EQ(zoom, (CSize{800, 800}));
    ASSERT_TRUE(MakeGeometry(2048, 100).ComputeFit({600, 400}, zoom));
    EXPECT_EQ(zoom, (CSize{500, 24}));  // the height follows the width's scale, truncated
    EXPECT_TRUE(MakeGeometry(333, 777).FitsAtActualSize({433, 877}));
    EXPECT_FALSE(MakeGeometry(333, 777).FitsAtActualSize({433, 876}));
}

// Zooming out stops before the sheet shows narrower than 8 pixels; the mapping scales each axis
// by its own ratio; a stale scroll position on an axis without room stays.
TEST(ViewGeometry, ZoomOutLimitMappingAndScroll)
{
    CViewGeometry small = MakeGeometry(100, 100);
    CSize zoom;
    float effective = 0;
    while (small.ComputeZoom(kZoomOutFactor, zoom, effective)) small.m_sizeZoom = zoom;
    EXPECT_EQ(small.m_sizeZoom, (CSize{7, 7}));

    CViewGeometry g = MakeGeometry(400, 300, 300, 200, {800, 300});
    g.m_ptScroll = CPoint{100, 40};
    EXPECT_EQ(g.ViewToPaper({75, 66}), (CPoint{62, 56}));
    g = MakeGeometry(400, 300, 300, 500);
    g.m_ptScroll = CPoint{10, 4};
    EXPECT_EQ(g.ClampScroll(30, 90), (CPoint{30, 4}));
}

}  // namespace
