// The file formats on the largest sheet, beside giflib on the same pixels in
// the same run: LZW encoding against EGifPutLine, decoding against
// DGifGetLine, in megapixels per second ("MP/s"), on a pencil drawing, and for
// the encoder also on a white and a random-noise sheet; then saving and
// loading the drawing as a sketch file, and beside it as a PNG copy through
// libpng (written as Save As writes it, read as the command line reads a
// picture), with the file sizes as "bytes".
//
// Targets: the encoder at least 1.5 x giflib on the drawing and never slower
// on white or noise; the decoder at least 1.3 x giflib; save plus load under
// 50 ms.

#include "engine/Paper.h"
#include "formats/LzwDecoder.h"
#include "formats/LzwEncoder.h"
#include "formats/PngFile.h"
#include "formats/SketchFile.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t kSheet = 2048;

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// A sketch as a hand makes it: a few thousand strokes of dark gray, each a
// wandering line of 1.5 to 3 pixels radius whose edge fades into the paper,
// broken up by the paper's grain, plus hatching in a few areas.
void DrawSketch(CPaper& paper)
{
    uint32_t seed = 1;
    auto rnd = [&seed]() { return seed = Hash(seed + 0x9E3779B9u); };
    auto plot = [&paper](int x, int y, int value) {
        if (Hash(static_cast<uint32_t>(y) * 4099u + static_cast<uint32_t>(x)) % 7 == 0) return;  // grain
        if (value < paper.GetPixel(x, y)) paper.SetPixel(x, y, static_cast<uint8_t>(value));
    };
    for (int s = 0; s < 2500; ++s) {
        double x = rnd() % kSheet, y = rnd() % kSheet;
        double angle = (rnd() % 6283) / 1000.0;
        double radius = 1.5 + (rnd() % 150) / 100.0;
        int gray = 20 + static_cast<int>(rnd() % 130);
        int length = 30 + static_cast<int>(rnd() % 300);
        for (int i = 0; i < length; ++i) {
            angle += ((static_cast<int>(rnd() % 200) - 100) / 1000.0);
            x += std::cos(angle);
            y += std::sin(angle);
            int r = static_cast<int>(std::ceil(radius + 1));
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx) {
                    double d = std::sqrt(double(dx * dx + dy * dy));
                    double cover = std::clamp(radius + 0.5 - d, 0.0, 1.0);
                    if (cover <= 0) continue;
                    int value = 255 - static_cast<int>((255 - gray) * cover);
                    plot(static_cast<int>(x) + dx, static_cast<int>(y) + dy, value);
                }
        }
    }
}

enum Sheet { kDrawing, kWhite, kNoise };

const CPaper& GetSheet(Sheet which)
{
    static CPaper sheets[3];
    CPaper& paper = sheets[which];
    if (!paper.HasBits()) {
        paper.Create(kSheet, kSheet, 5);
        if (which == kDrawing) DrawSketch(paper);
        if (which == kNoise) {
            uint32_t seed = 7;
            uint8_t* bits = paper.GetBits();
            for (uint32_t i = 0; i < paper.GetImageSize(); ++i) bits[i] = static_cast<uint8_t>(seed = Hash(seed + i));
        }
    }
    return paper;
}

void SetRate(benchmark::State& state)
{
    state.counters["MP/s"] = benchmark::Counter(double(kSheet) * kSheet / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

// The code stream in blocks, as the sketch file and a GIF carry it.
std::vector<std::vector<uint8_t>> EncodeBlocks(const CPaper& paper)
{
    std::vector<std::vector<uint8_t>> blocks;
    CLzwEncoder encoder;
    encoder.Begin(paper.GetBits(), paper.GetWidth(), paper.GetHeight(), 8);
    uint8_t block[255];
    for (;;) {
        uint8_t count = 0;
        encoder.NextBlock(block, &count);
        if (count == 0) break;
        blocks.emplace_back(block, block + count);
    }
    return blocks;
}

void BM_LzwEncode(benchmark::State& state)
{
    const CPaper& paper = GetSheet(static_cast<Sheet>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) {
        CLzwEncoder encoder;
        encoder.Begin(paper.GetBits(), kSheet, kSheet, 8);
        uint8_t block[255];
        uint8_t count = 0;
        bytes = 0;
        do {
            encoder.NextBlock(block, &count);
            bytes += count;
            benchmark::DoNotOptimize(block);
        } while (count != 0);
    }
    SetRate(state);
    state.counters["bytes"] = double(bytes);
}

int WriteToMemory(GifFileType* gif, const GifByteType* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

// giflib writing the same sheet into memory, a row at a time.
std::vector<uint8_t> GiflibEncode(const CPaper& paper)
{
    std::vector<uint8_t> out;
    out.reserve(8u << 20);
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToMemory, &error);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i) map->Colors[i] = GifColorType{uint8_t(i), uint8_t(i), uint8_t(i)};
    EGifPutScreenDesc(gif, kSheet, kSheet, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, kSheet, kSheet, false, nullptr);
    const uint8_t* bits = paper.GetBits();
    for (uint32_t y = 0; y < kSheet; ++y)
        EGifPutLine(gif, const_cast<uint8_t*>(bits + size_t{kSheet - 1 - y} * kSheet), kSheet);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

void BM_GiflibEncode(benchmark::State& state)
{
    const CPaper& paper = GetSheet(static_cast<Sheet>(state.range(0)));
    size_t bytes = 0;
    for (auto _ : state) bytes = GiflibEncode(paper).size();
    SetRate(state);
    state.counters["bytes"] = double(bytes);
}

void BM_LzwDecode(benchmark::State& state)
{
    const CPaper& paper = GetSheet(static_cast<Sheet>(state.range(0)));
    const auto blocks = EncodeBlocks(paper);
    std::vector<uint8_t> pixels(paper.GetImageSize());
    for (auto _ : state) {
        CLzwDecoder decoder;
        decoder.Begin(pixels.data(), 8, kSheet, kSheet, false);
        for (const auto& block : blocks)
            if (decoder.DecodeBlock(block.data(), static_cast<uint32_t>(block.size())) != CLzwDecoder::kMore) break;
        benchmark::DoNotOptimize(pixels.data());
    }
    if (std::memcmp(pixels.data(), paper.GetBits(), pixels.size()) != 0) state.SkipWithError("pixels differ");
    SetRate(state);
}

struct MemoryInput {
    const std::vector<uint8_t>* data;
    size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int size)
{
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    size_t n = std::min(static_cast<size_t>(size), in->data->size() - in->pos);
    std::memcpy(buffer, in->data->data() + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

void BM_GiflibDecode(benchmark::State& state)
{
    const CPaper& paper = GetSheet(static_cast<Sheet>(state.range(0)));
    const std::vector<uint8_t> file = GiflibEncode(paper);
    std::vector<uint8_t> pixels(paper.GetImageSize());
    for (auto _ : state) {
        MemoryInput input{&file, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&input, ReadFromMemory, &error);
        GifRecordType type;
        while (DGifGetRecordType(gif, &type) == GIF_OK && type != IMAGE_DESC_RECORD_TYPE) {}
        DGifGetImageDesc(gif);
        for (uint32_t y = 0; y < kSheet; ++y) DGifGetLine(gif, pixels.data() + size_t{kSheet - 1 - y} * kSheet, kSheet);
        DGifCloseFile(gif, &error);
        benchmark::DoNotOptimize(pixels.data());
    }
    if (std::memcmp(pixels.data(), paper.GetBits(), pixels.size()) != 0) state.SkipWithError("pixels differ");
    SetRate(state);
}

// A file of the drawing in each format, as Save As writes it.
std::string SaveDrawing(bool (*write)(const CPaper&, CArchive&), const char* extension)
{
    const std::string path = "/tmp/graphelle_bench_" + std::to_string(::getpid()) + extension;
    CArchive out;
    out.Open(path, CArchive::store);
    write(GetSheet(kDrawing), out);
    out.Close();
    return path;
}

double FileSize(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? double(st.st_size) : 0.0;
}

void BM_SketchSaveLoad(benchmark::State& state)
{
    const CPaper& paper = GetSheet(kDrawing);
    const std::string path = "/tmp/graphelle_bench_" + std::to_string(::getpid()) + ".tvk";
    CPaper loaded, base;
    for (auto _ : state) {
        CArchive out;
        out.Open(path, CArchive::store);
        WriteSketch(paper, out);
        out.Close();
        CArchive in;
        in.Open(path, CArchive::load);
        ReadSketch(loaded, base, in);
        in.Close();
    }
    ::unlink(path.c_str());
    if (std::memcmp(loaded.GetBits(), paper.GetBits(), paper.GetImageSize()) != 0)
        state.SkipWithError("pixels differ");
}

// The two halves apart: saving (encoding, writing, and the archive's flush to
// disk on Close) and loading (reading, checking and decoding).
void BM_SketchSave(benchmark::State& state)
{
    const CPaper& paper = GetSheet(kDrawing);
    const std::string path = "/tmp/graphelle_bench_" + std::to_string(::getpid()) + ".tvk";
    for (auto _ : state) {
        CArchive out;
        out.Open(path, CArchive::store);
        WriteSketch(paper, out);
        out.Close();
    }
    state.counters["bytes"] = FileSize(path);
    ::unlink(path.c_str());
}

void BM_SketchLoad(benchmark::State& state)
{
    const CPaper& paper = GetSheet(kDrawing);
    const std::string path = "/tmp/graphelle_bench_" + std::to_string(::getpid()) + ".tvk";
    {
        CArchive out;
        out.Open(path, CArchive::store);
        WriteSketch(paper, out);
        out.Close();
    }
    CPaper loaded, base;
    for (auto _ : state) {
        CArchive in;
        in.Open(path, CArchive::load);
        ReadSketch(loaded, base, in);
        in.Close();
    }
    ::unlink(path.c_str());
    if (std::memcmp(loaded.GetBits(), paper.GetBits(), paper.GetImageSize()) != 0)
        state.SkipWithError("pixels differ");
}

// Saving the drawing as a PNG copy: encoding, writing and the safe replace,
// as BM_SketchSave does for the sketch file.
void BM_PngSave(benchmark::State& state)
{
    const std::string path = SaveDrawing(WritePng, ".png");
    for (auto _ : state) SaveDrawing(WritePng, ".png");
    state.counters["bytes"] = FileSize(path);
    ::unlink(path.c_str());
}

void BM_PngLoad(benchmark::State& state)
{
    const std::string path = SaveDrawing(WritePng, ".png");
    CPaper loaded;
    std::string error;
    for (auto _ : state) {
        CArchive in;
        in.Open(path, CArchive::load);
        ReadPng(in, loaded, kDefaultRoughness, error);
        in.Close();
    }
    state.counters["bytes"] = FileSize(path);
    ::unlink(path.c_str());
    if (!loaded.HasBits() || std::memcmp(loaded.GetBits(), GetSheet(kDrawing).GetBits(), loaded.GetImageSize()) != 0)
        state.SkipWithError("pixels differ");
}

}  // namespace

BENCHMARK(BM_LzwEncode)->ArgName("sheet")->Arg(kDrawing)->Arg(kWhite)->Arg(kNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GiflibEncode)->ArgName("sheet")->Arg(kDrawing)->Arg(kWhite)->Arg(kNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzwDecode)->ArgName("sheet")->Arg(kDrawing)->Arg(kWhite)->Arg(kNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GiflibDecode)->ArgName("sheet")->Arg(kDrawing)->Arg(kWhite)->Arg(kNoise)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SketchSaveLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SketchSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SketchLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngLoad)->Unit(benchmark::kMillisecond);
