#pragma once
// CView: one window onto a document. The document calls OnUpdate whenever its
// contents change; the view decides what to repaint. A view never owns its
// document, and the document never owns its views: AddView and RemoveView keep
// the two pointers in step.

#include "engine/Geometry.h"

class CDocument;

class CView {
public:
    CView() = default;
    virtual ~CView();
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    // hint: a paper rectangle to repaint, null for the whole view; an empty
    // rectangle means nothing needs repainting.
    virtual void OnUpdate(CView* sender, const CRect* hint) = 0;

    CDocument* GetDocument() const { return m_pDocument; }

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};
