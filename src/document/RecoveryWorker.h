#pragma once
// CRecoveryWorker: one thread that writes recovery copies and removes them,
// in the order they were asked for. The calling thread only copies the sheet
// into a spare one and queues it, so a 2048 x 2048 sheet costs it a memory
// copy; encoding and writing happen here. A copy not yet started gives way
// to a newer one of the same drawing.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CPaper;
class CRecoveryStore;

class CRecoveryWorker {
public:
    // The store must outlive the worker.
    explicit CRecoveryWorker(const CRecoveryStore& store);
    // Finishes everything queued, then ends the thread.
    ~CRecoveryWorker();
    CRecoveryWorker(const CRecoveryWorker&) = delete;
    CRecoveryWorker& operator=(const CRecoveryWorker&) = delete;

    // Queues a copy of paper for slot, marked with the document's change
    // number. False when there was no memory for the sheet.
    bool PostWrite(int slot, const std::string& drawingPath, uint64_t change, const CPaper& paper);
    // Queues the removal of slot's copy; any write of it still waiting is
    // dropped, and one under way finishes first.
    void PostRemove(int slot);
    // Waits until everything queued is done.
    void Drain();

    // The change number of the newest copy written (0 for none), and whether
    // the write asked for last has failed.
    uint64_t GetWrittenChange() const { return m_nWritten.load(); }
    bool HasFailed() const { return m_nFailed.load() != 0; }

private:
    struct Job {
        bool remove = false;
        int slot = 0;
        std::string drawingPath;
        uint64_t change = 0;
        std::unique_ptr<CPaper> sheet;
    };

    void Run();
    void Execute(Job& job);
    // A sheet to copy into, reused when one is free; null without memory.
    std::unique_ptr<CPaper> TakeSheet();

    const CRecoveryStore& m_store;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    std::unique_ptr<CPaper> m_spare;
    bool m_bBusy = false;
    bool m_bStop = false;
    std::atomic<uint64_t> m_nWritten{0};
    std::atomic<uint64_t> m_nLatest{0};
    std::atomic<uint64_t> m_nFailed{0};
    std::thread m_thread;
};
