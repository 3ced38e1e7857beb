#pragma once
// CPaperRenderer: turns part of the gray paper raster into screen pixels at
// the view's zoom, mirrored left to right when asked. Only the requested
// client area is converted, row by row, nearest neighbour (enlarged paper
// pixels stay sharp), through a gray to RGB table, into an image buffer that
// is kept between paints. A floating piece is laid over the sheet on the way;
// neither is ever written.

#include "engine/Geometry.h"

#include <QImage>

#include <cstdint>
#include <vector>

class CPaper;
class QPainter;

// A piece shown over the sheet: its pixels at a rectangle of paper pixels
// the piece's own size; a transparent piece lets the sheet show through its
// white pixels.
struct PieceOverlay {
    const CPaper* pPiece = nullptr;
    CRect rcAt;
    bool bTransparent = false;
};

class CPaperRenderer {
public:
    CPaperRenderer();

    // Draws the part of the paper that falls into clip (client coordinates).
    // paperOnScreen is where the whole paper is displayed, at its zoomed size;
    // mirrored, its left column shows the paper's right one.
    void Draw(QPainter& painter, const CPaper& paper, const CRect& paperOnScreen, const CRect& clip,
              const PieceOverlay& overlay = {}, bool mirror = false);

    // The conversion alone, into a caller's 32-bit image at (0, 0); the image
    // must be at least as large as the area. Returns the area converted.
    CRect Convert(const CPaper& paper, const CRect& paperOnScreen, const CRect& clip, QImage& target,
                  const PieceOverlay& overlay = {}, bool mirror = false);

private:
    uint32_t m_gray[256];
    std::vector<uint32_t> m_columns;
    QImage m_buffer;
};
