#include "InfoCommand.h"
#include "Usage.h"

#include "engine/Paper.h"
#include "formats/LzwDecoder.h"
#include "formats/SketchFile.h"
#include "io/Archive.h"

#include <ostream>

namespace {

const char kUsage[] = "usage: graphelle-cli info FILE\n";

// What walking the blocks found; empty problem when the file reads whole.
struct BlockWalk {
    uint32_t blocks = 0;
    uint64_t bytes = 0;
    bool endCode = false;
    uint32_t badChecksum = 0;  // the block whose checksum failed, 0 for none
    std::string problem;
};

// Walks the blocks exactly as the sketch reader does, noting why it stops.
BlockWalk WalkBlocks(CArchive& ar, uint32_t dataLeft, CLzwDecoder& decoder)
{
    BlockWalk walk;
    uint8_t data[255];
    while (dataLeft != 0) {
        const uint32_t number = walk.blocks + 1;
        const std::string block = "block " + std::to_string(number);
        uint32_t count = 0;
        const SketchBlock read = ReadSketchBlock(ar, data, count);
        switch (read) {
        case SketchBlock::Missing:
            walk.problem = block + " is missing";
            return walk;
        case SketchBlock::Empty:
            walk.problem = block + " is empty";
            return walk;
        case SketchBlock::Short:
            walk.problem = block + " is cut short";
            return walk;
        case SketchBlock::BadChecksum:
        case SketchBlock::Read:
            break;
        }
        ++walk.blocks;
        walk.bytes += count;
        if (read == SketchBlock::BadChecksum) {
            walk.badChecksum = number;
            walk.problem = block + " fails its checksum";
            return walk;
        }
        int result = decoder.DecodeBlock(data, count);
        if (result == CLzwDecoder::kCorrupt) {
            walk.problem = block + " holds codes that cannot be decoded";
            return walk;
        }
        if (result == CLzwDecoder::kEnd) {
            walk.endCode = true;
            return walk;
        }
        dataLeft -= count + kSketchBlockOverhead;
    }
    walk.problem = "the data ends without the end code";
    return walk;
}

}  // namespace

int CliInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (const int status = CheckArguments(args, 1, kUsage, nullptr, out, err); status >= 0) return status;
    const std::string& path = args[0];
    CArchive ar;
    if (!ar.Open(path, CArchive::load)) {
        err << path << ": " << ar.GetError() << "\n";
        return 1;
    }
    SketchHeader header;
    if (!ReadSketchHeader(ar, header)) {
        err << path << ": shorter than a sketch header\n";
        return 1;
    }
    std::string magic;
    for (char c : header.magic) magic += (c >= 0x20 && c < 0x7F) ? c : '?';
    out << "magic: " << magic << "\n"
        << "header size: " << header.headerSize << "\n"
        << "version: " << header.version << "\n"
        << "width: " << header.width << "\n"
        << "height: " << header.height << "\n"
        << "roughness: " << header.roughness << "\n"
        << "data size: " << header.nDataSize << "\n";

    CPaper paper;
    if (!paper.CreateFromHeader(header)) {
        out << "header: invalid\n";
        err << path << ": not a sketch file (invalid header)\n";
        return 1;
    }
    out << "header: valid\n";
    if (header.nDataSize == 0) {
        out << "blocks: none (a white sheet)\n";
        return 0;
    }
    uint8_t codeSize = 0;
    if (!ar.ReadExact(&codeSize, 1)) {
        out << "code size: missing\n";
        err << path << ": the code size is missing; the sheet opens white\n";
        return 1;
    }
    out << "code size: " << unsigned{codeSize} << "\n";
    if (codeSize != kSketchCodeSize) {
        err << path << ": unknown code size; the sheet opens white\n";
        return 1;
    }
    CLzwDecoder decoder;
    if (!decoder.Begin(paper.GetBits(), kSketchCodeSize, header.width, header.height, false)) {
        err << path << ": out of memory\n";
        return 1;
    }
    BlockWalk walk = WalkBlocks(ar, header.nDataSize - 1, decoder);
    const uint64_t pixels = uint64_t{header.width} * header.height;
    out << "blocks: " << walk.blocks << " (" << walk.bytes << " bytes of code stream)\n"
        << "checksums: "
        << (walk.badChecksum ? "block " + std::to_string(walk.badChecksum) + " does not match"
                             : "all " + std::to_string(walk.blocks) + " match")
        << "\n"
        << "end code: " << (walk.endCode ? "found" : "missing") << "\n"
        << "pixels: " << decoder.GetPixelCount() << " of " << pixels << "\n";
    if (!walk.problem.empty()) {
        out << "blocks read whole: no\n";
        err << path << ": " << walk.problem << "; the sheet opens in part\n";
        return 1;
    }
    if (decoder.GetPixelCount() != pixels) {
        out << "blocks read whole: no\n";
        err << path << ": the code stream ends before the last pixel; the sheet opens in part\n";
        return 1;
    }
    out << "blocks read whole: yes\n";
    return 0;
}
