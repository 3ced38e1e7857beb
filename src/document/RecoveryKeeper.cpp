#include "RecoveryKeeper.h"

#include "QuillexDoc.h"

CRecoveryKeeper::CRecoveryKeeper(CQuillexDoc& doc, const CRecoveryStore& store) : m_doc(doc), m_worker(store)
{
    m_doc.AddView(this);
}

CRecoveryKeeper::~CRecoveryKeeper()
{
    Finish();
}

void CRecoveryKeeper::OnUpdate(CView* /*sender*/, const CRect* /*hint*/)
{
    ++m_nChange;
    if (m_onChange) m_onChange();
}

bool CRecoveryKeeper::HasUnsavedWork() const
{
    // A stroke under way is on the sheet before the release marks a change.
    return m_doc.IsModified() || m_doc.IsInGesture();
}

void CRecoveryKeeper::PostCopy()
{
    if (!m_doc.GetPaper().HasBits()) return;
    const std::string& path = m_doc.GetPathName();
    if (path != m_slotPath) {
        // A copy under the old path, if any is left, waits for a later start.
        ++m_nSlot;
        m_slotPath = path;
        m_nPosted = 0;
        m_bCopy = false;
    }
    if (m_nPosted == m_nChange && !m_bRetryDue) return;
    if (m_worker.PostWrite(m_nSlot, path, m_nChange, m_doc.GetPaper())) {
        m_nPosted = m_nChange;
        m_bCopy = true;
    }
    m_bRetryDue = false;
}

void CRecoveryKeeper::PostRemove()
{
    if (m_bCopy) m_worker.PostRemove(m_nSlot);
    m_bCopy = false;
    m_nPosted = 0;
    m_bRetryDue = false;
}

void CRecoveryKeeper::Tick()
{
    if (m_bFinished) return;
    if (!HasUnsavedWork()) {
        PostRemove();
        return;
    }
    // A failed write is tried again after a pause, not on every tick.
    if (m_worker.HasFailed() && !m_bRetryDue) {
        m_bRetryDue = true;
        return;
    }
    PostCopy();
}

void CRecoveryKeeper::OnSaved(const std::string& path)
{
    // A copy saved elsewhere leaves the drawing's own file as it was.
    if (m_bFinished || path != m_slotPath || HasUnsavedWork()) return;
    PostRemove();
}

int CRecoveryKeeper::NextTickDelay() const
{
    if (m_bFinished) return -1;
    if (!HasUnsavedWork()) return m_bCopy ? kDelayMs : -1;
    if (!m_doc.GetPaper().HasBits()) return -1;
    if (m_bRetryDue) return kRetryDelayMs;
    if (m_nPosted != m_nChange || m_doc.GetPathName() != m_slotPath) return kDelayMs;
    // Looked at again until the worker has it on disk, to notice a failure.
    return m_worker.GetWrittenChange() == m_nPosted ? -1 : kDelayMs;
}

void CRecoveryKeeper::Finish()
{
    if (m_bFinished) return;
    if (HasUnsavedWork()) {
        m_bRetryDue = m_worker.HasFailed();
        PostCopy();
    } else {
        PostRemove();
    }
    m_bFinished = true;
    m_worker.Drain();
    if (GetDocument()) GetDocument()->RemoveView(this);
}
