#include "view/ViewGeometry.h"

#include <gtest/gtest.h>

// The status line; where a paper rectangle shows and a view point lands, at a zoom with each axis scaled by its own
// ratio, scrolled.
TEST(ViewGeometry, StatusLineAndMapping)
{
    EXPECT_EQ(StatusLine(400, 300, 5, 83), "Width 400  Height 300  Roughness 5   Scale 83%");

    CViewGeometry g;  // a 400 x 300 sheet shown 800 x 300 in a 300 x 200 client
    g.m_sizePaper = CSize{400, 300};
    g.m_sizeZoom = CSize{800, 300};
    g.m_sizeClient = CSize{300, 200};
    g.UpdateOrigin();
    g.m_ptScroll = CPoint{100, 40};
    EXPECT_EQ(g.PaperToView({10, 20, 30, 40}), (CRect{-30, 30, 10, 50}));
    EXPECT_EQ(g.ViewToPaper({75, 66}), (CPoint{62, 56}));
}

