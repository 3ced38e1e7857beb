#pragma once
// A document with a paper and a shown view onto it, and synthetic input, for
// the view tests on the offscreen platform.

#include "../support/PaintSheet.h"
#include "document/QuillexDoc.h"
#include "framework/CommandIds.h"
#include "view/QuillexView.h"

#include <QApplication>
#include <QPainter>
#include <QtGui/qevent.h>

#include <memory>
#include <vector>

inline QRgb Gray(int g) { return qRgb(g, g, g); }

// Every pixel a gray of its own position, so that a wrong row or column shows.
inline int PatternGray(int32_t x, int32_t y) { return (x * 31 + y * 7) & 0xFF; }

struct ViewFixture {
    // The view's client area, without scroll bars, is clientW x clientH.
    ViewFixture(uint32_t paperW, uint32_t paperH, int clientW, int clientH, IClipboard* clipboard = nullptr)
    {
        services.pClipboard = clipboard;
        PaintSheet(doc, [](int32_t, int32_t) { return -1; }, paperW, paperH);
        doc.SetTitle("Sketch1.tvk");
        view = std::make_unique<CQuillexView>();
        doc.AddView(view.get());
        view->resize(clientW, clientH);
        view->show();
        QApplication::processEvents();
        view->OnInitialUpdate();
        // A sheet larger than the client opens fitted; the tests here are laid
        // out at actual size with the sheet's corner in view.
        view->ZoomBy(kActualSizeFactor);
        view->ScrollTo(view->Geometry().m_ptOrigin.x, view->Geometry().m_ptOrigin.y);
        QApplication::processEvents();
    }

    QWidget* Port() const { return view->viewport(); }
    // Where a paper pixel shows in the client area.
    QPoint At(int32_t x, int32_t y) const { return ToQRect(view->PaperToView(CRect{x, y, x + 1, y + 1})).topLeft(); }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(pos), Port()->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(Port(), &event);
    }
    void Press(QPoint p) { Mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void Move(QPoint p) { Mouse(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    void Release(QPoint p) { Mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    void Key(QEvent::Type type, int key, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(view.get(), &event);
    }
    void Wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers)
    {
        QWheelEvent event(QPointF(at), Port()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Port(), &event);
    }
    // The picture the view paints for the area asked, the rest magenta.
    QImage Render(const QRegion& area = QRegion(0, 0, 1 << 16, 1 << 16))
    {
        QImage image(Port()->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        painter.setFont(Port()->font());
        view->PaintArea(painter, area.intersected(image.rect()));
        return image;
    }

    AppServices services;
    CQuillexDoc doc{services};
    std::unique_ptr<CQuillexView> view;
};
