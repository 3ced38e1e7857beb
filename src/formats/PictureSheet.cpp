#include "PictureSheet.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Adds one line of values, n wide, to a line sums.size() wide that it spans
// exactly, each value weighted by how much of each target pixel it covers:
// a value is `fit` units long and a target pixel `n` units, so every target
// pixel gathers n units of weight in all. Never more than two targets share
// a value, because the line only ever shrinks.
template <typename Value>
void Spread(const Value* values, uint32_t n, std::vector<uint64_t>& sums)
{
    const uint64_t fit = sums.size();
    uint64_t start = 0, edge = n;
    size_t target = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint64_t end = start + fit;
        if (end <= edge) {
            sums[target] += values[i] * fit;
            if (end == edge) ++target, edge += n;
        } else {
            const uint64_t first = edge - start;
            sums[target] += values[i] * first;
            sums[target + 1] += values[i] * (fit - first);
            ++target, edge += n;
        }
        start = end;
    }
}

}  // namespace

void CPictureSheet::FitSize(uint32_t width, uint32_t height, uint32_t& fitWidth, uint32_t& fitHeight)
{
    fitWidth = width;
    fitHeight = height;
    if (width <= kPaperMaxSize && height <= kPaperMaxSize) return;
    const auto scaled = [](uint32_t side, uint32_t longer) {
        return static_cast<uint32_t>(std::max<uint64_t>(1, (uint64_t{side} * kPaperMaxSize + longer / 2) / longer));
    };
    if (width >= height) {
        fitWidth = kPaperMaxSize;
        fitHeight = scaled(height, width);
    } else {
        fitHeight = kPaperMaxSize;
        fitWidth = scaled(width, height);
    }
}

uint8_t CPictureSheet::Gray(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    // Luminance in thousandths, then over white as far as the pixel is clear.
    const uint32_t luma = 299u * r + 587u * g + 114u * b;
    return static_cast<uint8_t>((luma * a + 255000u * (255u - a) + 127500u) / 255000u);
}

bool CPictureSheet::Begin(uint32_t width, uint32_t height, uint32_t roughness, CPaper& paper)
{
    m_pPaper = nullptr;
    if (width == 0 || height == 0 || uint64_t{width} * height > kMaxPicturePixels) return false;
    FitSize(width, height, m_fitWidth, m_fitHeight);
    if (!paper.Create(std::max(m_fitWidth, kPaperMinSize), std::max(m_fitHeight, kPaperMinSize), roughness))
        return false;
    const bool scaled = m_fitWidth != width || m_fitHeight != height;
    try {
        m_gray.assign(width, 0);
        m_rowSums.assign(scaled ? m_fitWidth : 0, 0);
        m_sums.assign(scaled ? m_fitWidth : 0, 0);
        m_nextSums.assign(scaled ? m_fitWidth : 0, 0);
    } catch (const std::bad_alloc&) {
        paper.Free();
        return false;
    }
    m_pPaper = &paper;
    m_width = width;
    m_height = height;
    m_nextRow = 0;
    return true;
}

void CPictureSheet::AddRow(const uint8_t* rgba)
{
    if (!m_pPaper || m_nextRow >= m_height) return;
    for (uint32_t x = 0; x < m_width; ++x, rgba += 4) m_gray[x] = Gray(rgba[0], rgba[1], rgba[2], rgba[3]);
    const uint32_t row = m_nextRow++;
    if (m_rowSums.empty()) {
        // At 1:1 the sheet takes the gray values themselves.
        const uint32_t y = m_pPaper->GetHeight() - 1 - row;
        std::memcpy(m_pPaper->GetBits() + size_t{y} * m_pPaper->GetStride(), m_gray.data(), m_width);
        return;
    }

    std::fill(m_rowSums.begin(), m_rowSums.end(), 0);
    Spread(m_gray.data(), m_width, m_rowSums);
    // The same spreading downwards: this row is m_fitHeight units high, a
    // sheet row m_height units; it ends in the sheet row under way or
    // reaches into the next.
    const uint64_t start = uint64_t{row} * m_fitHeight, end = start + m_fitHeight;
    const uint32_t sheetRow = static_cast<uint32_t>(start / m_height);
    const uint64_t edge = (uint64_t{sheetRow} + 1) * m_height;
    const uint64_t first = std::min(end, edge) - start, rest = m_fitHeight - first;
    for (uint32_t x = 0; x < m_fitWidth; ++x) {
        m_sums[x] += m_rowSums[x] * first;
        if (rest) m_nextSums[x] += m_rowSums[x] * rest;
    }
    if (end >= edge) {
        FinishRow(sheetRow, m_sums);
        m_sums.swap(m_nextSums);
        std::fill(m_nextSums.begin(), m_nextSums.end(), 0);
    }
}

void CPictureSheet::FinishRow(uint32_t sheetRow, const std::vector<uint64_t>& sums)
{
    // Every sheet pixel gathered m_width x m_height units of weight.
    const uint64_t total = uint64_t{m_width} * m_height;
    uint8_t* bits = m_pPaper->GetBits() + size_t{m_pPaper->GetHeight() - 1 - sheetRow} * m_pPaper->GetStride();
    for (uint32_t x = 0; x < m_fitWidth; ++x) bits[x] = static_cast<uint8_t>((sums[x] + total / 2) / total);
}
