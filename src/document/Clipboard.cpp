#include "Clipboard.h"

#include "io/ByteOrder.h"
#include "engine/Paper.h"

#include <new>

std::vector<uint8_t> MakeClipBlock(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> block;
    try {
        block.resize(kClipHeaderSize + size_t{PaperStride(width)} * height);
    } catch (const std::bad_alloc&) {
        return {};
    }
    PutLe32(block.data(), 0);
    PutLe32(block.data() + 4, width);
    PutLe32(block.data() + 8, height);
    return block;
}

bool HasClipSignature(const std::vector<uint8_t>& block)
{
    return block.size() >= 4 && GetLe32(block.data()) == 0;
}

bool ReadClipHeader(const std::vector<uint8_t>& block, uint32_t& width, uint32_t& height)
{
    if (block.size() < kClipHeaderSize || !HasClipSignature(block)) return false;
    const uint32_t w = GetLe32(block.data() + 4);
    const uint32_t h = GetLe32(block.data() + 8);
    if (w < kPaperMinSize || w > kPaperMaxSize || h < kPaperMinSize || h > kPaperMaxSize) return false;
    // The header is not to be trusted: the rows it promises must all be there.
    if (block.size() - kClipHeaderSize < size_t{PaperStride(w)} * h) return false;
    width = w;
    height = h;
    return true;
}
