#include "PngFile.h"

#include "PictureSheet.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

// libpng leaves an error by longjmp to the frame that called setjmp. Every
// such frame here holds nothing with a destructor, and so does every frame
// of ours that the jump can cross (the archive callbacks call png_error only
// after their own work is done), so the jump never skips C++ clean-up.

namespace {

// One of zlib's quick levels: on a 2048 x 2048 drawing the copy is smaller
// than the sketch file and written in about the same time, where the default
// level takes four times as long for a few per cent.
constexpr int kCompressionLevel = 2;
// A picture is as wide or high as this at most; anything larger is a damaged
// or hostile header, refused before a row is read.
constexpr uint32_t kMaxPictureSide = 1'000'000;
// Interlaced rows arrive in seven passes, so such a picture is held whole
// while it is read; beyond this size it is refused instead.
constexpr uint64_t kMaxInterlacedBytes = 512ull << 20;

constexpr char kEndOfFile[] = "the file ends before the picture does";

struct PngError {
    char text[200];
};

void OnError(png_structp png, png_const_charp message)
{
    if (auto* error = static_cast<PngError*>(png_get_error_ptr(png)))
        std::snprintf(error->text, sizeof error->text, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

// Warnings are about chunks we do not use; the pixels are still right.
void OnWarning(png_structp, png_const_charp) {}

void WriteToArchive(png_structp png, png_bytep data, size_t size)
{
    const bool written = static_cast<CArchive*>(png_get_io_ptr(png))->Write(data, size);
    if (!written) png_error(png, "write failed");
}

void FlushArchive(png_structp) {}

void ReadFromArchive(png_structp png, png_bytep data, size_t size)
{
    const bool read = static_cast<CArchive*>(png_get_io_ptr(png))->ReadExact(data, size);
    if (!read) png_error(png, kEndOfFile);
}

// A pencil drawing is mostly bare paper, and row filters only turn the
// grain along its strokes into more noise (a fifth larger and slower on our
// drawings); the gradients of a photograph made into a sheet shrink by a
// third with them. Which of the two a raster is shows in its white.
int RowFilters(const uint8_t* topRow, uint32_t width, uint32_t height, ptrdiff_t rowStep)
{
    uint64_t white = 0;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = topRow + static_cast<ptrdiff_t>(y) * rowStep;
        for (uint32_t x = 0; x < width; ++x) white += row[x] == 255;
    }
    return white * 2 >= uint64_t{width} * height ? PNG_FILTER_NONE : PNG_ALL_FILTERS;
}

// Header, rows and end of a gray picture.
bool EncodeRows(png_structp png, png_infop info, const uint8_t* topRow, uint32_t width, uint32_t height,
                ptrdiff_t rowStep)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, kCompressionLevel);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, RowFilters(topRow, width, height, rowStep));
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; ++y) png_write_row(png, topRow + static_cast<ptrdiff_t>(y) * rowStep);
    png_write_end(png, nullptr);
    return true;
}

struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngError error{};
    uint32_t width = 0, height = 0;
    int passes = 1;
};

// The header, and libpng told to hand out every kind of PNG as 8-bit RGBA:
// palettes, small and large depths, gray, and a transparent colour included.
bool ReadHeader(PngReader& r)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_read_info(r.png, r.info);
    png_set_expand(r.png);
    png_set_scale_16(r.png);
    png_set_gray_to_rgb(r.png);
    png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
    r.passes = png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    r.width = png_get_image_width(r.png, r.info);
    r.height = png_get_image_height(r.png, r.info);
    return png_get_channels(r.png, r.info) == 4 && png_get_bit_depth(r.png, r.info) == 8 &&
           png_get_rowbytes(r.png, r.info) == size_t{r.width} * 4;
}

// The rows into the sheet: one at a time, or, interlaced, all of them into
// rows first.
bool ReadRows(PngReader& r, uint8_t* rows, CPictureSheet& sheet)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    const size_t rowBytes = size_t{r.width} * 4;
    if (r.passes == 1) {
        for (uint32_t y = 0; y < r.height; ++y) {
            png_read_row(r.png, rows, nullptr);
            sheet.AddRow(rows);
        }
        return true;
    }
    for (int pass = 0; pass < r.passes; ++pass)
        for (uint32_t y = 0; y < r.height; ++y) png_read_row(r.png, rows + y * rowBytes, nullptr);
    for (uint32_t y = 0; y < r.height; ++y) sheet.AddRow(rows + y * rowBytes);
    return true;
}

std::string Reason(const PngReader& r)
{
    if (std::strcmp(r.error.text, kEndOfFile) == 0) return kEndOfFile;
    return std::string("the picture is damaged (") + r.error.text + ")";
}

bool ReadPicture(PngReader& r, CPaper& paper, uint32_t roughness, std::string& error)
{
    if (!ReadHeader(r)) {
        error = r.error.text[0] ? Reason(r) : "the picture is of a kind this program cannot read";
        return false;
    }
    if (uint64_t{r.width} * r.height > kMaxPicturePixels) {
        error = "the picture has more than " + std::to_string(kMaxPicturePixels / 1'000'000) + " million pixels";
        return false;
    }
    const uint64_t bufferBytes = uint64_t{r.width} * 4 * (r.passes == 1 ? 1 : r.height);
    if (bufferBytes > kMaxInterlacedBytes) {
        error = "the picture is interlaced and too large to read";
        return false;
    }
    std::vector<uint8_t> rows;
    try {
        rows.resize(static_cast<size_t>(bufferBytes));
    } catch (const std::bad_alloc&) {
        error = "not enough memory to read the picture";
        return false;
    }
    CPictureSheet sheet;
    if (!sheet.Begin(r.width, r.height, roughness, paper)) {
        error = "not enough memory to read the picture";
        return false;
    }
    if (!ReadRows(r, rows.data(), sheet)) {
        error = Reason(r);
        return false;
    }
    return true;
}

}  // namespace

bool WriteGrayPng(const uint8_t* topRow, uint32_t width, uint32_t height, ptrdiff_t rowStep, CArchive& ar)
{
    if (!topRow || width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
    PngError error{};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, OnError, OnWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    bool written = false;
    if (info) {
        png_set_write_fn(png, &ar, WriteToArchive, FlushArchive);
        written = EncodeRows(png, info, topRow, width, height, rowStep);
    }
    png_destroy_write_struct(&png, &info);
    return written && !ar.HasFailed();
}

bool WritePng(const CPaper& paper, CArchive& ar)
{
    if (!paper.HasBits()) return false;
    // The paper keeps its rows bottom-up; PNG wants the top row first.
    const ptrdiff_t stride = paper.GetStride();
    const uint8_t* topRow = paper.GetBits() + (static_cast<ptrdiff_t>(paper.GetHeight()) - 1) * stride;
    return WriteGrayPng(topRow, paper.GetWidth(), paper.GetHeight(), -stride, ar);
}

bool IsPngSignature(const uint8_t* bytes, size_t size)
{
    return bytes && size >= 8 && png_sig_cmp(bytes, 0, 8) == 0;
}

bool ReadPng(CArchive& ar, CPaper& paper, uint32_t roughness, std::string& error)
{
    paper.Free();
    uint8_t signature[8];
    if (!ar.ReadExact(signature, sizeof signature) || !IsPngSignature(signature, sizeof signature)) {
        error = "not a PNG picture";
        return false;
    }
    PngReader r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r.error, OnError, OnWarning);
    if (r.png) r.info = png_create_info_struct(r.png);
    bool read = false;
    if (r.info) {
        png_set_read_fn(r.png, &ar, ReadFromArchive);
        png_set_sig_bytes(r.png, sizeof signature);
        png_set_user_limits(r.png, kMaxPictureSide, kMaxPictureSide);
        read = ReadPicture(r, paper, roughness, error);
    } else {
        error = "not enough memory to read the picture";
    }
    png_destroy_read_struct(&r.png, &r.info, nullptr);
    if (!read) paper.Free();
    return read;
}
