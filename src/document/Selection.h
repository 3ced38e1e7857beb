#pragma once
// CSelection: the selected rectangle of the sheet and the piece lifted from
// it, with how the piece goes down (transparent or not). The document and the
// select tool share one; the view only reads it. A floating piece always has
// exactly the rectangle's size, whatever sets them, so no put-down can read
// past the piece's end. It never throws and never records history: callers
// record what it did.

#include "engine/Paper.h"

#include <cstdint>

class CSelection {
public:
    bool IsEmpty() const { return m_rect.IsEmpty(); }
    const CRect& GetRect() const { return m_rect; }
    bool HasPiece() const { return m_piece.HasBits(); }
    const CPaper& GetPiece() const { return m_piece; }
    bool IsTransparent() const { return m_bTransparent; }
    void SetTransparent(bool transparent) { m_bTransparent = transparent; }

    // A rectangle with nothing lifted; an empty one selects nothing. Any
    // piece is given up: put it down first to keep it.
    void Select(const CRect& rect);
    // Nothing selected, nothing afloat.
    void Clear();
    // Moves the rectangle, and the piece with it.
    void Offset(int32_t dx, int32_t dy) { m_rect.Offset(dx, dy); }

    // Takes the rectangle's pixels off the sheet into the piece, whitening
    // them there. False, with nothing changed, when the piece cannot be made.
    bool Lift(CPaper& sheet);
    // Floats a piece of width x height bits (the paper's own layout) at a
    // place; false, with the selection as it was, when memory ran out or a
    // piece floats already (put it down first).
    bool Float(CPoint at, uint32_t width, uint32_t height, uint32_t roughness, const uint8_t* bits);
    // Puts the piece onto the sheet where it floats and hands its pixels and
    // their size over for the record; the selection is then empty. False,
    // with nothing changed, when there is no piece.
    bool PutDown(CPaper& sheet, PixelBuffer& pixels, uint32_t& size);
    // The selected pixels, from the piece or else from the sheet, into dest
    // (room for the rectangle in the paper's layout).
    bool CopyPixels(CPaper& sheet, uint8_t* dest) const;

private:
    CRect m_rect;
    CPaper m_piece;
    bool m_bTransparent = false;
};
