#include "Document.h"

#include "io/Archive.h"
#include "Services.h"
#include "View.h"

#include <algorithm>

CView::~CView()
{
    if (m_pDocument) m_pDocument->RemoveView(this);
}

CDocument::~CDocument()
{
    // Views may outlive the document; they must not point back at it.
    for (CView* view : m_views) view->m_pDocument = nullptr;
}

void CDocument::SetPathName(const std::string& path)
{
    m_strPathName = path;
    const size_t slash = path.find_last_of('/');
    m_strTitle = slash == std::string::npos ? path : path.substr(slash + 1);
}

void CDocument::AddView(CView* view)
{
    if (!view || view->m_pDocument == this) return;
    if (view->m_pDocument) view->m_pDocument->RemoveView(view);
    try {
        m_views.push_back(view);
    } catch (...) {
        return;
    }
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view)
{
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return;
    m_views.erase(it);
    view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, const CRect* hint)
{
    // A view may detach itself while it updates, so walk a copy.
    std::vector<CView*> views;
    try {
        views = m_views;
    } catch (...) {
        return;
    }
    for (CView* view : views)
        if (view != sender && view->m_pDocument == this) view->OnUpdate(sender, hint);
}

bool CDocument::Serialize(CArchive& /*ar*/)
{
    return true;
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    SetPathName(std::string());
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const std::string& path)
{
    CArchive ar;
    if (!ar.Open(path, CArchive::load)) return false;
    DeleteContents();
    const bool loaded = Serialize(ar);
    const bool closed = ar.Close();
    if (!loaded || !closed) {
        // Whatever half arrived is not a document.
        DeleteContents();
        return false;
    }
    SetPathName(path);
    SetModifiedFlag(false);
    return true;
}

static void ReportSaveFailure(const AppServices& services, const std::string& path, const std::string& reason)
{
    if (IMessageBox* box = services.pMessageBox)
        box->ShowMessage("Could not save \"" + path + "\": " + (reason.empty() ? "write failed" : reason));
}

bool CDocument::OnSaveDocument(const std::string& path)
{
    ISaveWatcher* watcher = m_services.pSaveWatcher;
    if (watcher) watcher->BeforeSave(path);
    CArchive ar;
    if (!ar.Open(path, CArchive::store)) {
        ReportSaveFailure(m_services, path, ar.GetError());
        return false;
    }
    if (!Serialize(ar)) {
        // The writer failed without a system reason of its own; the target
        // stays as it was.
        std::string reason = ar.GetError();
        ar.Abort();
        ReportSaveFailure(m_services, path, reason);
        return false;
    }
    if (!ar.Close()) {
        ReportSaveFailure(m_services, path, ar.GetError());
        return false;
    }
    SetModifiedFlag(false);
    if (watcher) watcher->AfterSave(path);
    return true;
}

bool CDocument::DoFileSave()
{
    if (m_strPathName.empty()) return false;
    return OnSaveDocument(m_strPathName);
}
