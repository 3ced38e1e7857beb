#pragma once
// Tests set up a drawing's pixels the way a user could not: a new sheet of
// their own making, taken as the drawing before any change.

#include "document/QuillexDoc.h"

#include <gtest/gtest.h>

// The drawing's sheet with each pixel gray(x, y), or kept where that is -1;
// a width of 0 keeps the sheet's size and roughness.
template <class Gray>
void PaintSheet(CQuillexDoc& doc, Gray gray, uint32_t width = 0, uint32_t height = 0, uint32_t roughness = 5)
{
    const CPaper& now = doc.GetPaper();
    CPaper sheet;
    if (width == 0) {
        ASSERT_TRUE(sheet.Create(now.GetWidth(), now.GetHeight(), now.GetRoughness()) && sheet.CopyBitsFrom(now));
    } else {
        ASSERT_TRUE(sheet.Create(width, height, roughness));
    }
    for (int32_t y = 0; y < static_cast<int32_t>(sheet.GetHeight()); ++y)
        for (int32_t x = 0; x < static_cast<int32_t>(sheet.GetWidth()); ++x)
            if (const int g = gray(x, y); g >= 0) sheet.SetPixel(x, y, static_cast<uint8_t>(g));
    ASSERT_TRUE(doc.SetSheet(sheet));
}

// A piece of width x height pixels, each gray(x, y), floating at 'at'.
template <class Gray>
void FloatPiece(CQuillexDoc& doc, const CRect& at, Gray gray)
{
    CPaper piece;
    ASSERT_TRUE(piece.Create(static_cast<uint32_t>(at.Width()), static_cast<uint32_t>(at.Height()), 5));
    for (int32_t y = 0; y < at.Height(); ++y)
        for (int32_t x = 0; x < at.Width(); ++x) piece.SetPixel(x, y, static_cast<uint8_t>(gray(x, y)));
    ASSERT_TRUE(doc.FloatPiece(piece.GetWidth(), piece.GetHeight(), piece.GetBits(), CPoint{at.left, at.top}));
}
