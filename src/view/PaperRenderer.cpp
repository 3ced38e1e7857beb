#include "PaperRenderer.h"

#include "engine/Paper.h"

#include <QPainter>

#include <cstring>

CPaperRenderer::CPaperRenderer()
{
    for (uint32_t g = 0; g < 256; ++g) m_gray[g] = 0xFF000000u | (g << 16) | (g << 8) | g;
}

CRect CPaperRenderer::Convert(const CPaper& paper, const CRect& paperOnScreen, const CRect& clip, QImage& target,
                              const PieceOverlay& overlay, bool mirror)
{
    const CRect area = CRect::Intersect(paperOnScreen, clip);
    if (area.IsEmpty() || !paper.HasBits()) return CRect{};
    const int64_t pw = paper.GetWidth();
    const int64_t ph = paper.GetHeight();
    const int64_t zw = paperOnScreen.Width();
    const int64_t zh = paperOnScreen.Height();
    const int32_t w = area.Width();
    const int32_t h = area.Height();

    // The same truncating division as the pointer mapping, so the pixel shown
    // under the pointer is the pixel a tool touches there; mirrored, a column
    // shows what its reflection in the paper's rectangle would.
    m_columns.resize(static_cast<size_t>(w));
    for (int32_t i = 0; i < w; ++i) {
        const int64_t offset = area.left + i - paperOnScreen.left;
        m_columns[static_cast<size_t>(i)] = static_cast<uint32_t>((mirror ? zw - 1 - offset : offset) * pw / zw);
    }

    const uint8_t* bits = paper.GetBits();
    const size_t stride = paper.GetStride();
    // A piece of another size than its place would be read past its end.
    const CPaper* piece = overlay.pPiece;
    const CRect at = overlay.rcAt;
    if (piece && (!piece->HasBits() || static_cast<int64_t>(piece->GetWidth()) != at.Width() ||
                  static_cast<int64_t>(piece->GetHeight()) != at.Height()))
        piece = nullptr;
    const size_t rowBytes = static_cast<size_t>(w) * sizeof(uint32_t);
    int64_t lastRow = -1;
    const uint32_t* lastLine = nullptr;
    for (int32_t j = 0; j < h; ++j) {
        const int64_t row = (area.top + j - paperOnScreen.top) * ph / zh;
        auto* line = reinterpret_cast<uint32_t*>(target.scanLine(j));
        if (row == lastRow) {
            // Enlarged paper repeats rows; copying the finished one is cheaper
            // than converting it again.
            std::memcpy(line, lastLine, rowBytes);
            continue;
        }
        const uint8_t* src = bits + static_cast<size_t>(ph - 1 - row) * stride;
        const uint32_t* column = m_columns.data();
        if (piece && row >= at.top && row < at.bottom) {
            const uint8_t* pieceRow = piece->GetBits() + static_cast<size_t>(at.bottom - 1 - row) * piece->GetStride();
            for (int32_t i = 0; i < w; ++i) {
                const int64_t c = column[i];
                uint8_t v = src[c];
                if (c >= at.left && c < at.right) {
                    const uint8_t p = pieceRow[c - at.left];
                    if (!overlay.bTransparent || p != 255) v = p;
                }
                line[i] = m_gray[v];
            }
        } else {
            for (int32_t i = 0; i < w; ++i) line[i] = m_gray[src[column[i]]];
        }
        lastRow = row;
        lastLine = line;
    }
    return area;
}

void CPaperRenderer::Draw(QPainter& painter, const CPaper& paper, const CRect& paperOnScreen, const CRect& clip,
                          const PieceOverlay& overlay, bool mirror)
{
    const CRect area = CRect::Intersect(paperOnScreen, clip);
    if (area.IsEmpty() || !paper.HasBits()) return;
    if (m_buffer.width() < area.Width() || m_buffer.height() < area.Height()) {
        // Grow only; one buffer of the largest area painted so far serves all.
        m_buffer = QImage(std::max(m_buffer.width(), area.Width()), std::max(m_buffer.height(), area.Height()),
                          QImage::Format_RGB32);
        if (m_buffer.isNull()) return;
    }
    Convert(paper, paperOnScreen, area, m_buffer, overlay, mirror);
    painter.drawImage(QPoint(area.left, area.top), m_buffer, QRect(0, 0, area.Width(), area.Height()));
}
