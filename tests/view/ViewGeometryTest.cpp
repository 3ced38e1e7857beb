#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

namespace {

// A 400 x 300 sheet in a 300 x 200 client, at the zoom given.
CViewGeometry MakeGeometry(CSize zoom)
{
    CViewGeometry g;
    g.m_sizePaper = CSize{400, 300};
    g.ResetZoom();
    g.m_sizeZoom = zoom;
    g.m_sizeClient = CSize{300, 200};
    g.UpdateOrigin();
    return g;
}

// The status line; where a paper rectangle shows and a view point lands, at a zoom with each
// axis scaled by its own ratio, scrolled.
TEST(ViewGeometry, TextsAndMapping)
{
    EXPECT_EQ(MakeGeometry({691, 518}).ScalePercent(), 172);
    EXPECT_EQ(StatusLine(400, 300, 5, 83), "Width 400  Height 300  Roughness 5   Scale 83%");

    CViewGeometry g = MakeGeometry({800, 600});
    g.m_ptScroll = CPoint{100, 40};
    EXPECT_EQ(g.PaperToView({10, 20, 30, 40}), (CRect{-30, 50, 10, 90}));
    g = MakeGeometry({800, 300});
    g.m_ptScroll = CPoint{100, 40};
    EXPECT_EQ(g.ViewToPaper({75, 66}), (CPoint{62, 56}));
}

}  // namespace
