#pragma once
// CDocument: the framework's part of a document. It keeps the title, the path
// name, the modified flag and the attached views, and runs the default new,
// open and save steps around the derived class's DeleteContents and Serialize.
// It never throws; failures come back as false, and a failed save is shown
// through the message box service naming the file and the system's reason.

#include "CmdTarget.h"
#include "Services.h"
#include "engine/Geometry.h"

#include <string>
#include <vector>

class CArchive;
class CView;

class CDocument : public CCmdTarget {
public:
    // The services stay with their owner, who keeps them as long as the
    // document lives.
    explicit CDocument(AppServices& services) : m_services(services) {}
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    AppServices& GetServices() const { return m_services; }

    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& title) { m_strTitle = title; }
    const std::string& GetPathName() const { return m_strPathName; }
    // Also makes the file's name (without its folder) the title; an empty
    // path clears both.
    void SetPathName(const std::string& path);

    virtual bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return m_views; }
    // Tells every view but the sender; hint as CView::OnUpdate takes it.
    void UpdateAllViews(CView* sender, const CRect* hint = nullptr);

    // Empties the document; the base has nothing to empty.
    virtual void DeleteContents() {}
    // Loads or stores the contents through the archive; false on failure.
    virtual bool Serialize(CArchive& ar);

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool OnSaveDocument(const std::string& path);
    // Saves to the document's own path; false when it has none or it failed.
    bool DoFileSave();

private:
    AppServices& m_services;
    std::string m_strTitle;
    std::string m_strPathName;
    bool m_bModified = false;
    std::vector<CView*> m_views;
};
