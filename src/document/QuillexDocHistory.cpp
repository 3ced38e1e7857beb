// The undo history: records replayed onto the base paper rebuild the sheet,
// so only strokes, corners and pasted pieces are kept, never snapshots.

#include "QuillexDoc.h"

#include "tools/StrokeReplay.h"

#include <algorithm>

bool CQuillexDoc::AddHistory(HistoryRecord&& record)
{
    // A change after undo makes the undone records unreachable.
    const size_t keep = static_cast<size_t>(std::max(m_nHistoryPos, 0));
    while (m_history.size() > keep) m_history.pop_back();

    if (record.nType >= 0) {
        try {
            m_history.push_back(std::move(record));
        } catch (...) {
            ForgetHistory();
            return false;
        }
    }
    TrimHistory();
    m_nHistoryPos = GetHistoryCount();
    return true;
}

void CQuillexDoc::RecordRect(int32_t type, const CRect& rect, int32_t param1, PixelBuffer pixels, uint32_t size)
{
    HistoryRecord record;
    record.nType = type;
    record.nParam1 = param1;
    record.nParam2 = static_cast<int32_t>(size);
    record.pPoints = NewStrokePointList();
    if (!record.pPoints || !record.pPoints->Append(rect.left, rect.top) ||
        !record.pPoints->Append(rect.right, rect.bottom, std::move(pixels))) {
        ForgetHistory();
        return;
    }
    AddHistory(std::move(record));
}

void CQuillexDoc::ApplyHistoryRecord(const HistoryRecord& record, CPaper& paper)
{
    const StrokePointList* points = record.pPoints.get();
    switch (record.nType) {
    case HR_PASTE:
    case HR_CLEAR: {
        if (!points || points->GetCount() < 2) return;
        const StrokePoint& corner = (*points)[1];
        const CRect rect{(*points)[0].x, (*points)[0].y, corner.x, corner.y};
        if (record.nType == HR_CLEAR)
            paper.GetRectBits(rect, nullptr, true);
        else if (corner.pData)
            paper.PutRectBits(rect, corner.pData.get(), static_cast<uint32_t>(record.nParam2),
                              record.nParam1 ? PASTE_TRANSPARENT : PASTE_OPAQUE);
        return;
    }
    case HR_PENCIL:
    case HR_ERASER:
        ReplayStroke(record, paper);
        return;
    default:
        return;
    }
}

void CQuillexDoc::TrimHistory()
{
    while (GetHistoryCount() > kHistoryLimit) {
        ApplyHistoryRecord(m_history.front(), m_basePaper);
        m_history.pop_front();
    }
}

void CQuillexDoc::ClearHistory()
{
    m_history.clear();
    m_nHistoryPos = 0;
}

void CQuillexDoc::ForgetHistory()
{
    m_basePaper.CopyBitsFrom(m_paper);
    ClearHistory();
}

void CQuillexDoc::OnEditUndo()
{
    if (m_bInGesture) return;
    // A floating piece is put down first, so its drop is the step undone.
    DropSelection();
    if (m_nHistoryPos < 1 || m_history.empty()) return;
    --m_nHistoryPos;
    m_paper.CopyBitsFrom(m_basePaper);
    for (int32_t i = 0; i < m_nHistoryPos; ++i) ApplyHistoryRecord(m_history[static_cast<size_t>(i)], m_paper);
    UpdateAllViews(nullptr, nullptr);
}

void CQuillexDoc::OnEditRedo()
{
    if (m_bInGesture) return;
    DropSelection();
    if (m_nHistoryPos < 0 || m_nHistoryPos >= GetHistoryCount()) return;
    ApplyHistoryRecord(m_history[static_cast<size_t>(m_nHistoryPos)], m_paper);
    ++m_nHistoryPos;
    UpdateAllViews(nullptr, nullptr);
}
