#include "ViewPainter.h"

#include "engine/Paper.h"

#include <QFontMetrics>
#include <QPainter>
#include <QString>

namespace {

void FillRegion(QPainter& painter, const QRegion& region, const QColor& color)
{
    for (const QRect& r : region) painter.fillRect(r, color);
}

// One line of caption text in an opaque cell of the surround colour.
void DrawCaptionLine(QPainter& painter, const QRect& bounds, int x, int y, const QString& text, const QColor& color)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    if (!cell.intersects(bounds)) return;
    painter.fillRect(cell, kSurroundColor);
    painter.setPen(color);
    painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace

QRegion CViewPainter::FrameRegion(const CRect& r)
{
    if (r.IsEmpty()) return QRegion();
    // The outline runs from (left - 1, top - 1) to (right, bottom) inclusive.
    QRegion outline;
    outline += QRect(r.left - 1, r.top - 1, r.Width() + 2, 1);
    outline += QRect(r.left - 1, r.bottom, r.Width() + 2, 1);
    outline += QRect(r.left - 1, r.top, 1, r.Height());
    outline += QRect(r.right, r.top, 1, r.Height());
    return outline;
}

void CViewPainter::Paint(QPainter& painter, const QRegion& region, const CViewGeometry& geometry,
                         const ViewScene& scene)
{
    if (region.isEmpty()) return;
    const CPaper* paper = scene.pPaper;
    if (!paper || !paper->HasBits() || !geometry.HasPaper()) {
        FillRegion(painter, region, kSurroundColor);
        return;
    }

    const CRect paperRect = geometry.PaperRectOnScreen();
    CRect frame = paperRect;
    frame.Inflate(1);
    const QRect paperQ = ToQRect(paperRect);
    const QRect frameQ = ToQRect(frame);

    // Everything outside the frame is surround: filled around it, never under
    // the paper, so nothing is painted twice.
    FillRegion(painter, region.subtracted(QRegion(frameQ)), kSurroundColor);
    PaintTexts(painter, region.boundingRect(), geometry, scene);
    FillRegion(painter, region.intersected(QRegion(frameQ).subtracted(QRegion(paperQ))), kFrameColor);
    PaintPaper(painter, region.intersected(paperQ), paperRect, geometry, scene);

    if (scene.bShowGrid) {
        const int32_t cx = geometry.MirrorX(paperRect.left + paperRect.Width() / 2);
        const int32_t cy = paperRect.top + paperRect.Height() / 2;
        QRegion cross(QRect(cx, paperRect.top, 1, paperRect.Height()));
        cross += QRect(paperRect.left, cy, paperRect.Width(), 1);
        FillRegion(painter, region.intersected(cross), kCrossColor);
    }

    // The outlines invert what lies beneath with their colour, so they show
    // over white paper, the surround and dark graphite alike; the pixels
    // beneath were painted afresh just above, so each is inverted once.
    const QRegion outlines = FrameRegion(geometry.PaperToView(scene.rcSelection)) + FrameRegion(scene.rcBand);
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    FillRegion(painter, region.intersected(outlines), kSelectionColor);
    painter.restore();
}

void CViewPainter::PaintTexts(QPainter& painter, const QRect& bounds, const CViewGeometry& geometry,
                              const ViewScene& scene)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const int sx = geometry.m_ptScroll.x;
    const int sy = geometry.m_ptScroll.y;
    const int lineHeight = metrics.height();
    const QString title = QString::fromStdString(CaptionTitle(scene.title));
    const QString status = QString::fromStdString(
        StatusLine(static_cast<int32_t>(scene.pPaper->GetWidth()), static_cast<int32_t>(scene.pPaper->GetHeight()),
                   static_cast<int32_t>(scene.pPaper->GetRoughness()), geometry.ScalePercent()));
    const int footerY = 2 * geometry.m_ptOrigin.y + geometry.m_sizeZoom.cy - lineHeight - 5 - sy;

    painter.save();
    DrawCaptionLine(painter, bounds, 5 - sx, 5 - sy, title, kTitleColor);
    DrawCaptionLine(painter, bounds, 5 - sx, lineHeight + 10 - sy, status, kFrameColor);
    DrawCaptionLine(painter, bounds, 5 - sx, footerY, QString::fromLatin1(kFooterText), kFooterColor);
    painter.restore();
}

void CViewPainter::PaintPaper(QPainter& painter, const QRegion& region, const CRect& paperRect,
                              const CViewGeometry& geometry, const ViewScene& scene)
{
    if (region.isEmpty()) return;
    PieceOverlay overlay;
    if (scene.pFloating && scene.pFloating->HasBits() && !scene.rcSelection.IsEmpty())
        overlay = PieceOverlay{scene.pFloating, scene.rcSelection, scene.bTransparent};
    for (const QRect& r : region) m_renderer.Draw(painter, *scene.pPaper, paperRect, ToCRect(r), overlay,
                                                   geometry.m_bMirror);
}
