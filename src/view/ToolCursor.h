#pragma once
// CToolCursor: the pointer's picture over the sheet. The pencil and the
// eraser show their footprint as it will fall on the paper at the zoom (the
// pencil's square, the eraser's disc), or a small crosshair when that would
// be too small to see; the hand and the select tool show the desktop's
// shapes. Pictures are drawn at the screen's pixel ratio, so they stay crisp
// on scaled screens, and made again only when what they show has changed.

#include <QCursor>
#include <QPixmap>

#include <cstdint>

enum class CursorShape {
    Arrow,       // nothing to draw on
    Square,      // the pencil's footprint
    Disc,        // the eraser's footprint
    Crosshair,   // a footprint under kMinFootprint screen pixels
    OpenHand,
    ClosedHand,  // while panning
    Cross,       // the select tool
    Move,        // the select tool over a piece it can lift or move
};

struct CursorSpec {
    CursorShape shape = CursorShape::Arrow;
    int32_t paperSize = 0;  // the footprint across, in paper pixels
    double scale = 1.0;     // screen pixels a paper pixel
    double ratio = 1.0;     // device pixels a screen pixel

    bool operator==(const CursorSpec&) const = default;
};

class CToolCursor {
public:
    // Below this many screen pixels a footprint is a crosshair instead.
    static constexpr double kMinFootprint = 4.0;
    // The small crosshair's size, in screen pixels.
    static constexpr int kCrosshairSize = 15;
    // Larger footprints are drawn this size; only the largest eraser at the
    // largest zoom comes near it.
    static constexpr int kMaxFootprint = 256;

    // The shape look will show: a footprint too small to see becomes the
    // crosshair.
    static CursorSpec Resolve(CursorSpec look);
    // Makes the cursor for look unless it already is; true when it changed.
    bool Update(const CursorSpec& look);
    const QCursor& Cursor() const { return m_cursor; }
    const CursorSpec& Look() const { return m_spec; }

    // The footprint or crosshair picture, at the look's pixel ratio; null
    // for the desktop's own shapes.
    static QPixmap Picture(const CursorSpec& look);

private:
    CursorSpec m_spec;
    QCursor m_cursor;
};
