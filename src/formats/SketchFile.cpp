#include "SketchFile.h"

#include "LzwDecoder.h"
#include "LzwEncoder.h"
#include "io/ByteOrder.h"

#include <cstring>

namespace {

// Sketch header (first with the paper's own data size, 0; again at the end).
bool WriteHeader(const SketchHeader& h, CArchive& ar)
{
    uint8_t bytes[kSketchHeaderSize];
    std::memcpy(bytes, h.magic, 4);
    PutLe32(bytes + 4, h.headerSize);
    PutLe32(bytes + 8, h.version);
    PutLe32(bytes + 12, h.width);
    PutLe32(bytes + 16, h.height);
    PutLe32(bytes + 20, h.roughness);
    PutLe32(bytes + 24, h.nDataSize);
    return ar.Write(bytes, sizeof bytes);
}

// LZW minimum code size and the code stream in checksummed blocks; adds the
// bytes written to dataSize.
bool WriteImageData(const CPaper& paper, CArchive& ar, uint32_t& dataSize)
{
    CLzwEncoder encoder;
    if (!encoder.Begin(paper.GetBits(), paper.GetWidth(), paper.GetHeight(), kSketchCodeSize))
        return false;
    if (!ar.Write(&kSketchCodeSize, 1)) return false;
    dataSize += 1;
    uint8_t block[1 + CLzwEncoder::kMaxBlock + 2];
    for (;;) {
        uint8_t count = 0;
        encoder.NextBlock(block + 1, &count);
        if (count == 0) break;
        block[0] = count;
        PutLe16(block + 1 + count, SketchChecksum(block + 1, count));
        if (!ar.Write(block, count + kSketchBlockOverhead)) return false;
        dataSize += count + kSketchBlockOverhead;
        if (count < CLzwEncoder::kMaxBlock) break;
    }
    return true;
}

}  // namespace

SketchBlock ReadSketchBlock(CArchive& ar, uint8_t* data, uint32_t& count)
{
    uint8_t countByte = 0;
    if (!ar.ReadExact(&countByte, 1)) return SketchBlock::Missing;
    if (countByte == 0) return SketchBlock::Empty;
    count = countByte;
    uint8_t sum[2];
    if (!ar.ReadExact(data, count) || !ar.ReadExact(sum, 2)) return SketchBlock::Short;
    return GetLe16(sum) == SketchChecksum(data, count) ? SketchBlock::Read : SketchBlock::BadChecksum;
}

uint16_t SketchChecksum(const uint8_t* data, uint32_t count)
{
    uint32_t sum = 0;
    for (uint32_t i = 0; i < count; ++i) sum += data[i];
    return static_cast<uint16_t>(sum);
}

bool ReadSketchHeader(CArchive& ar, SketchHeader& h)
{
    uint8_t bytes[kSketchHeaderSize];
    if (!ar.ReadExact(bytes, sizeof bytes)) return false;
    std::memcpy(h.magic, bytes, 4);
    h.headerSize = GetLe32(bytes + 4);
    h.version = GetLe32(bytes + 8);
    h.width = GetLe32(bytes + 12);
    h.height = GetLe32(bytes + 16);
    h.roughness = GetLe32(bytes + 20);
    h.nDataSize = GetLe32(bytes + 24);
    return true;
}

bool WriteSketch(const CPaper& paper, CArchive& ar)
{
    if (!paper.HasBits()) return false;
    SketchHeader header;
    paper.GetHeader(header);
    if (!WriteHeader(header, ar)) return false;
    uint32_t dataSize = 0;
    if (!WriteImageData(paper, ar, dataSize)) return false;
    // Until this point the file says it holds no data, so a save cut short
    // before here opens as a white sheet rather than as garbage.
    header.nDataSize = dataSize;
    return ar.Flush() && ar.Seek(0) && WriteHeader(header, ar) && ar.Flush();
}

bool ReadSketch(CPaper& paper, CPaper& basePaper, CArchive& ar)
{
    SketchHeader header;
    if (!ReadSketchHeader(ar, header)) {
        paper.Free();
        return false;
    }
    if (!paper.CreateFromHeader(header)) return false;
    if (!basePaper.CreateFromHeader(header)) {
        // Without a base sheet the history could not replay; better no sheet.
        paper.Free();
        return false;
    }
    uint32_t dataLeft = header.nDataSize;
    if (dataLeft == 0) return true;

    uint8_t codeSize = 0;
    if (!ar.ReadExact(&codeSize, 1) || codeSize != kSketchCodeSize) return false;
    --dataLeft;

    CLzwDecoder decoder;
    if (!decoder.Begin(paper.GetBits(), kSketchCodeSize, header.width, header.height, false))
        return false;
    uint8_t data[255];
    // Every round consumes at least four bytes of the file or stops, so a
    // data size that does not match the blocks cannot make this loop hang.
    while (dataLeft != 0) {
        uint32_t count = 0;
        if (ReadSketchBlock(ar, data, count) != SketchBlock::Read) return false;
        int result = decoder.DecodeBlock(data, count);
        if (result == CLzwDecoder::kCorrupt) return false;
        if (result == CLzwDecoder::kEnd) {
            // An end code before the last pixel left the rest of the sheet
            // white: the file holds less than its header promises.
            if (decoder.GetPixelCount() != uint64_t{header.width} * header.height) return false;
            basePaper.CopyBitsFrom(paper);
            return true;
        }
        dataLeft -= count + kSketchBlockOverhead;
    }
    // The data ran out without the end code.
    return false;
}

SketchLoad LoadSketchFile(const std::string& path, CPaper& paper, std::string& error)
{
    CArchive ar;
    if (!ar.Open(path, CArchive::load)) {
        error = ar.GetError();
        return SketchLoad::NotOpened;
    }
    CPaper basePaper;
    const bool whole = ReadSketch(paper, basePaper, ar);
    ar.Close();
    if (!paper.HasBits()) return SketchLoad::NotSketch;
    return whole ? SketchLoad::Whole : SketchLoad::Part;
}
