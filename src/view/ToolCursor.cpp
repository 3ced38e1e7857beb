#include "ToolCursor.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor kOutline(0, 0, 0);
// Around the outline, so it shows on graphite as on white paper.
const QColor kHalo(255, 255, 255);

Qt::CursorShape DesktopShape(CursorShape shape)
{
    switch (shape) {
    case CursorShape::OpenHand: return Qt::OpenHandCursor;
    case CursorShape::ClosedHand: return Qt::ClosedHandCursor;
    case CursorShape::Cross: return Qt::CrossCursor;
    case CursorShape::Move: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

}  // namespace

CursorSpec CToolCursor::Resolve(CursorSpec look)
{
    const bool footprint = look.shape == CursorShape::Square || look.shape == CursorShape::Disc;
    if (footprint && look.paperSize * look.scale < kMinFootprint) look.shape = CursorShape::Crosshair;
    if (look.shape != CursorShape::Square && look.shape != CursorShape::Disc) {
        // Only a footprint depends on the size and the zoom.
        look.paperSize = 0;
        look.scale = 1.0;
    }
    if (look.shape != CursorShape::Square && look.shape != CursorShape::Disc && look.shape != CursorShape::Crosshair)
        look.ratio = 1.0;
    return look;
}

QPixmap CToolCursor::Picture(const CursorSpec& wanted)
{
    const CursorSpec look = Resolve(wanted);
    const bool crosshair = look.shape == CursorShape::Crosshair;
    if (!crosshair && look.shape != CursorShape::Square && look.shape != CursorShape::Disc) return QPixmap();

    // The footprint in screen pixels, with a pixel of halo on every side.
    const double across =
        crosshair ? kCrosshairSize - 2 : std::clamp(look.paperSize * look.scale, kMinFootprint, double(kMaxFootprint));
    const int side = static_cast<int>(std::ceil(across)) + 2;
    const double ratio = look.ratio > 0 ? look.ratio : 1.0;
    const int device = static_cast<int>(std::ceil(side * ratio));
    QPixmap picture(device, device);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, look.shape == CursorShape::Disc);
    auto pen = [&](const QColor& colour, double width) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    };
    // The outline covers the footprint's edge pixels and the halo the ring
    // just outside, so the inside stays open. Lines one pixel wide run
    // through pixel centres, so they stay sharp.
    const QRectF edge(1.5, 1.5, across - 1.0, across - 1.0);
    const QRectF outside = edge.adjusted(-1, -1, 1, 1);
    if (look.shape == CursorShape::Square) {
        pen(kHalo, 1.0);
        painter.drawRect(outside);
        pen(kOutline, 1.0);
        painter.drawRect(edge);
    } else if (look.shape == CursorShape::Disc) {
        pen(kHalo, 1.0);
        painter.drawEllipse(outside);
        pen(kOutline, 1.0);
        painter.drawEllipse(edge);
    } else {
        // Four arms round an open middle, which leaves the pixel to be drawn
        // on visible: the middle pixel and one on each side of it stay clear.
        // The halo runs along both sides of each arm.
        const int centre = side / 2;
        const double mid = centre + 0.5;
        for (const auto& [colour, width] : {std::pair{kHalo, 3.0}, std::pair{kOutline, 1.0}}) {
            pen(colour, width);
            painter.drawLine(QPointF(1.0, mid), QPointF(centre - 1.0, mid));
            painter.drawLine(QPointF(centre + 2.0, mid), QPointF(side - 1.0, mid));
            painter.drawLine(QPointF(mid, 1.0), QPointF(mid, centre - 1.0));
            painter.drawLine(QPointF(mid, centre + 2.0), QPointF(mid, side - 1.0));
        }
    }
    return picture;
}

bool CToolCursor::Update(const CursorSpec& wanted)
{
    const CursorSpec look = Resolve(wanted);
    if (look == m_spec) return false;
    m_spec = look;
    const QPixmap picture = Picture(look);
    // The hot spot is the middle of the picture, where the footprint is centred.
    m_cursor = picture.isNull() ? QCursor(DesktopShape(look.shape)) : QCursor(picture);
    return true;
}
