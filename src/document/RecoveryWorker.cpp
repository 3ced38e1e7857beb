#include "RecoveryWorker.h"

#include "RecoveryStore.h"
#include "engine/Paper.h"

#include <new>

namespace {

bool SameShape(const CPaper& a, const CPaper& b)
{
    return a.HasBits() && a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           a.GetRoughness() == b.GetRoughness();
}

}  // namespace

CRecoveryWorker::CRecoveryWorker(const CRecoveryStore& store) : m_store(store)
{
    try {
        m_thread = std::thread([this] { Run(); });
    } catch (...) {
        // Without a thread the caller does the work itself; slower, but
        // the copies are still made.
    }
}

CRecoveryWorker::~CRecoveryWorker()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

std::unique_ptr<CPaper> CRecoveryWorker::TakeSheet()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A write still waiting is out of date now; its sheet is reused.
        if (!m_jobs.empty() && !m_jobs.back().remove) {
            std::unique_ptr<CPaper> sheet = std::move(m_jobs.back().sheet);
            m_jobs.pop_back();
            return sheet;
        }
        if (m_spare) return std::move(m_spare);
    }
    return std::unique_ptr<CPaper>(new (std::nothrow) CPaper);
}

bool CRecoveryWorker::PostWrite(int slot, const std::string& drawingPath, uint64_t change, const CPaper& paper)
{
    std::unique_ptr<CPaper> sheet = TakeSheet();
    if (!sheet || !paper.HasBits()) return false;
    if (!SameShape(*sheet, paper)) {
        SketchHeader header;
        paper.GetHeader(header);
        if (!sheet->CreateFromHeader(header)) return false;
    }
    if (!sheet->CopyBitsFrom(paper)) return false;
    try {
        Job job;
        job.slot = slot;
        job.drawingPath = drawingPath;
        job.change = change;
        job.sheet = std::move(sheet);
        m_nLatest = change;
        m_nFailed = 0;
        if (!m_thread.joinable()) {
            Execute(job);
            return true;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    } catch (...) {
        return false;
    }
    m_wake.notify_one();
    return true;
}

void CRecoveryWorker::PostRemove(int slot)
{
    try {
        Job job;
        job.remove = true;
        job.slot = slot;
        if (!m_thread.joinable()) {
            Execute(job);
            return;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        while (!m_jobs.empty() && !m_jobs.back().remove && m_jobs.back().slot == slot) m_jobs.pop_back();
        m_jobs.push_back(std::move(job));
    } catch (...) {
        return;
    }
    m_wake.notify_one();
}

void CRecoveryWorker::Drain()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_bBusy; });
}

void CRecoveryWorker::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_bStop || !m_jobs.empty(); });
        if (m_jobs.empty()) break;  // stopping, and nothing left to do
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_bBusy = true;
        lock.unlock();
        Execute(job);
        lock.lock();
        if (job.sheet && !m_spare) m_spare = std::move(job.sheet);
        m_bBusy = false;
        if (m_jobs.empty()) m_idle.notify_all();
    }
    m_idle.notify_all();
}

void CRecoveryWorker::Execute(Job& job)
{
    if (job.remove) {
        m_store.RemoveCopy(job.slot);
        m_nWritten = 0;
        return;
    }
    if (m_store.WriteCopy(job.slot, job.drawingPath, *job.sheet))
        m_nWritten = job.change;
    else if (job.change == m_nLatest)
        m_nFailed = job.change;
}
