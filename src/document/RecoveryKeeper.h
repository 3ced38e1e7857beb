#pragma once
// CRecoveryKeeper: keeps a recovery copy of the drawing while it holds work
// that is in no file. It watches the document as one of its views, counting
// changes; the shell's timer calls Tick, which copies the sheet on the
// calling thread and leaves encoding and writing to its worker. The copy goes
// once the drawing is saved or its changes are given up; at Finish, work
// still unsaved stays in a copy for the next start.

#include "RecoveryWorker.h"
#include "framework/View.h"

#include <cstdint>
#include <functional>
#include <string>

class CQuillexDoc;
class CRecoveryStore;

class CRecoveryKeeper : public CView {
public:
    // From a change to the start of its copy, and after a failed write.
    static constexpr int kDelayMs = 1000;
    static constexpr int kRetryDelayMs = 10000;

    // Joins the document's views; the document and the store outlive it.
    CRecoveryKeeper(CQuillexDoc& doc, const CRecoveryStore& store);
    ~CRecoveryKeeper() override;

    // Called on every change, for the shell to start its timer.
    void SetChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }
    void OnUpdate(CView* sender, const CRect* hint) override;

    // Whether the sheet holds work that is in no file.
    bool HasUnsavedWork() const;
    // Starts a copy of unsaved work that has none yet, or removes the copy
    // when nothing is unsaved any more.
    void Tick();
    // The document was saved to path.
    void OnSaved(const std::string& path);
    // When Tick wants calling again, in milliseconds; -1 when not.
    int NextTickDelay() const;
    // Brings the copy up to date (or removes it) and waits for the worker.
    void Finish();

    // Waits until the worker has done what it was asked.
    void Drain() { m_worker.Drain(); }
    const CRecoveryWorker& Worker() const { return m_worker; }

private:
    void PostCopy();
    void PostRemove();

    CQuillexDoc& m_doc;
    CRecoveryWorker m_worker;
    std::function<void()> m_onChange;
    uint64_t m_nChange = 1;    // counts the document's changes
    uint64_t m_nPosted = 0;    // the change whose copy was asked for; 0 none
    int m_nSlot = 0;           // one slot a drawing path
    std::string m_slotPath;
    bool m_bCopy = false;      // a copy of this slot may be on disk
    bool m_bRetryDue = false;  // a write failed; the next tick tries again
    bool m_bFinished = false;
};
