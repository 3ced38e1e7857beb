#include "PngWriter.h"

#include "io/Archive.h"

#include <algorithm>
#include <array>
#include <new>

namespace {

// Stored deflate blocks carry at most this many bytes each (16-bit LEN).
constexpr size_t kMaxStoredBlock = 65535;

const std::array<uint32_t, 256>& CrcTable()
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// One chunk: length, type, data, CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data)
{
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, PngCrc32(out.data() + typeAt, 4 + data.size()));
}

// The zlib stream of the filtered rows: header, stored blocks, Adler-32.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw)
{
    std::vector<uint8_t> z;
    const size_t blocks = raw.empty() ? 1 : (raw.size() + kMaxStoredBlock - 1) / kMaxStoredBlock;
    z.reserve(2 + raw.size() + blocks * 5 + 4);
    z.push_back(0x78);  // deflate, 32K window
    z.push_back(0x01);  // no preset dictionary, check bits make 0x7801 divisible by 31
    size_t pos = 0;
    for (size_t b = 0; b < blocks; ++b) {
        const size_t len = std::min(kMaxStoredBlock, raw.size() - pos);
        z.push_back(b + 1 == blocks ? 1 : 0);  // BFINAL on the last, BTYPE 00 stored
        z.push_back(static_cast<uint8_t>(len));
        z.push_back(static_cast<uint8_t>(len >> 8));
        z.push_back(static_cast<uint8_t>(~len));
        z.push_back(static_cast<uint8_t>(~len >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
        pos += len;
    }
    PutBigEndian32(z, PngAdler32(raw.data(), raw.size()));
    return z;
}

}  // namespace

uint32_t PngCrc32(const uint8_t* data, size_t size, uint32_t crc)
{
    const auto& table = CrcTable();
    uint32_t c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

uint32_t PngAdler32(const uint8_t* data, size_t size, uint32_t adler)
{
    uint32_t a = adler & 0xFFFFu;
    uint32_t b = adler >> 16;
    // 5552 bytes is the longest run before the sums could overflow 32 bits.
    while (size > 0) {
        const size_t run = std::min<size_t>(size, 5552);
        for (size_t i = 0; i < run; ++i) {
            a += data[i];
            b += a;
        }
        a %= 65521u;
        b %= 65521u;
        data += run;
        size -= run;
    }
    return (b << 16) | a;
}

bool EncodeGrayPng(const uint8_t* pixels, uint32_t width, uint32_t height, size_t stride,
                   std::vector<uint8_t>& png)
{
    if (!pixels || width == 0 || height == 0 || stride < width) return false;
    try {
        // Filter type 0 (none) before every row.
        std::vector<uint8_t> raw;
        raw.reserve(static_cast<size_t>(height) * (width + 1u));
        for (uint32_t y = 0; y < height; ++y) {
            raw.push_back(0);
            const uint8_t* row = pixels + static_cast<size_t>(y) * stride;
            raw.insert(raw.end(), row, row + width);
        }

        std::vector<uint8_t> ihdr;
        PutBigEndian32(ihdr, width);
        PutBigEndian32(ihdr, height);
        ihdr.push_back(8);  // bit depth
        ihdr.push_back(0);  // colour type: gray
        ihdr.push_back(0);  // deflate
        ihdr.push_back(0);  // adaptive filtering
        ihdr.push_back(0);  // no interlace

        png.clear();
        static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        png.insert(png.end(), kSignature, kSignature + 8);
        PutChunk(png, "IHDR", ihdr);
        PutChunk(png, "IDAT", StoredZlib(raw));
        PutChunk(png, "IEND", {});
        return true;
    } catch (const std::bad_alloc&) {
        png.clear();
        return false;
    }
}

bool WriteGrayPng(const std::string& path, const uint8_t* pixels, uint32_t width, uint32_t height,
                  size_t stride, std::string& error)
{
    std::vector<uint8_t> png;
    if (!EncodeGrayPng(pixels, width, height, stride, png)) {
        error = "not enough memory for the picture";
        return false;
    }
    CArchive ar;
    if (ar.Open(path, CArchive::store) && ar.Write(png.data(), png.size()) && ar.Close()) return true;
    error = ar.GetError();
    return false;
}
