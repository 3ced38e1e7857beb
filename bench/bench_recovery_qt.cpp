// Recovery copies of a 2048 x 2048 sheet. "StartCopy" times what the user
// interface thread pays when a copy starts: the keeper's tick, which copies
// the sheet and queues it (the worker's encoding and writing are waited for
// outside the timing). "LastChangeToCopyOnDisk" times, through the program's
// own timer and worker, a change of the sheet until its copy is on disk,
// wait included.

#include "document/QuillexDoc.h"
#include "document/RecoveryKeeper.h"
#include "document/RecoveryStore.h"
#include "shell/DrawingSafety.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

QCoreApplication& App()
{
    static int argc = 1;
    static char name[] = "bench_recovery_qt";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// A private state folder and a drawing of a full sheet with unsaved changes.
struct Scene {
    Scene()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "graphelle-bench-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        setenv("XDG_STATE_HOME", (folder + "/state").c_str(), 1);
        CPaper sheet;
        sheet.Create(2048, 2048, 5);
        for (int32_t y = 0; y < 2048; ++y)
            for (int32_t x = 0; x < 2048; ++x) sheet.SetPixel(x, y, static_cast<uint8_t>((x * y) >> 4));
        doc.SetSheet(sheet);
        doc.SetPathName(folder + "/Sketch1.tvk");
    }
    ~Scene() { std::filesystem::remove_all(folder); }

    // One pencil dab.
    void Change(int32_t n)
    {
        const int32_t x = n % 2048, y = n / 2048 % 2048;
        doc.PointerDown(nullptr, x, y, x, y);
        doc.PointerUp(x, y, x, y);
    }

    std::string folder;
    AppServices services;
    CQuillexDoc doc{services};
};

struct NoFolders : IShellFolders {
    bool GetDocumentsFolder(std::string&) override { return false; }
    bool FileExists(const std::string&) override { return false; }
};

void BM_StartCopy(benchmark::State& state)
{
    Scene scene;
    CRecoveryStore store;
    if (!store.Open()) return state.SkipWithError("no recovery folder");
    CRecoveryKeeper keeper(scene.doc, store);
    int32_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        scene.Change(++n);
        state.ResumeTiming();
        keeper.Tick();
        state.PauseTiming();
        keeper.Drain();
        state.ResumeTiming();
    }
    if (keeper.Worker().GetWrittenChange() == 0) state.SkipWithError("no copy was written");
}

void BM_LastChangeToCopyOnDisk(benchmark::State& state)
{
    App();
    Scene scene;
    NoFolders folders;
    CDrawingSafety safety(scene.doc, folders, nullptr);
    const CRecoveryKeeper* keeper = safety.Keeper();
    if (!keeper) return state.SkipWithError("no recovery folder");
    int32_t n = 0;
    for (auto _ : state) {
        const uint64_t before = keeper->Worker().GetWrittenChange();
        const auto start = std::chrono::steady_clock::now();
        scene.Change(++n);
        while (keeper->Worker().GetWrittenChange() == before) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
    }
}

}  // namespace

BENCHMARK(BM_StartCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LastChangeToCopyOnDisk)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
