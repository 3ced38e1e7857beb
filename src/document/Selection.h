#pragma once
// CSelection: the selected rectangle of the sheet and, once lifted or pasted,
// the floating piece that moves with it until it is put down. The piece
// always has the rectangle's size, so putting it down never reads past it.

#include "engine/Geometry.h"
#include "engine/Paper.h"
#include "tools/HistoryRecord.h"

#include <cstdint>

class CSelection {
public:
    const CRect& GetRect() const { return m_rect; }
    bool IsEmpty() const { return m_rect.IsEmpty(); }
    bool IsFloating() const { return m_piece.HasBits(); }
    const CPaper& GetPiece() const { return m_piece; }
    // Pixels of value 255 in the piece leave the sheet beneath showing.
    bool IsTransparent() const { return m_bTransparent; }
    void SetTransparent(bool transparent) { m_bTransparent = transparent; }

    // Selects a rectangle of the sheet, nothing floating; an empty one
    // selects nothing. Any piece afloat is thrown away.
    void Select(const CRect& rect);
    // Empties the selection and throws away any piece afloat.
    void Clear();
    // Takes the selected pixels off the sheet into the piece, whitening
    // them there. False, with the sheet untouched, when the piece cannot be
    // made.
    bool Lift(CPaper& sheet);
    // A piece from elsewhere, width x height pixels in rows padded to four
    // bytes, floats with its top-left corner at 'at'; false, with nothing
    // selected, when it cannot be made.
    bool Float(uint32_t width, uint32_t height, uint32_t roughness, const uint8_t* pixels, CPoint at);
    void MoveBy(int32_t dx, int32_t dy) { m_rect.Offset(dx, dy); }
    // Puts the piece onto the sheet (nothing lands off its edges) and hands
    // its pixels over for the history, with their size in bytes; the
    // selection is then empty. False, with nothing changed, when nothing
    // floats.
    bool PutDown(CPaper& sheet, PixelBuffer& pixels, uint32_t& size);

private:
    CRect m_rect;
    CPaper m_piece;
    bool m_bTransparent = false;
};
