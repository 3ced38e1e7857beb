#include "Selection.h"

#include <cstring>

void CSelection::Select(const CRect& rect)
{
    m_piece.Free();
    m_rect = rect.IsEmpty() ? CRect{} : rect;
}

void CSelection::Clear()
{
    Select(CRect{});
}

bool CSelection::Lift(CPaper& sheet)
{
    if (m_rect.IsEmpty() || IsFloating()) return false;
    if (!m_piece.Create(static_cast<uint32_t>(m_rect.Width()), static_cast<uint32_t>(m_rect.Height()),
                        sheet.GetRoughness()))
        return false;
    if (!sheet.GetRectBits(m_rect, m_piece.GetBits(), true)) {
        m_piece.Free();
        return false;
    }
    return true;
}

bool CSelection::Float(uint32_t width, uint32_t height, uint32_t roughness, const uint8_t* pixels, CPoint at)
{
    if (!m_piece.Create(width, height, roughness)) {
        Clear();
        return false;
    }
    std::memcpy(m_piece.GetBits(), pixels, m_piece.GetImageSize());
    m_rect = CRect{at.x, at.y, at.x + static_cast<int32_t>(width), at.y + static_cast<int32_t>(height)};
    return true;
}

bool CSelection::PutDown(CPaper& sheet, PixelBuffer& pixels, uint32_t& size)
{
    if (!IsFloating()) return false;
    size = m_piece.GetImageSize();
    // A piece moved wholly off the sheet puts nothing down, and goes.
    sheet.PutRectBits(m_rect, m_piece.GetBits(), size, m_bTransparent ? PASTE_TRANSPARENT : PASTE_OPAQUE);
    pixels = m_piece.DetachBits();
    m_rect.SetEmpty();
    return true;
}
