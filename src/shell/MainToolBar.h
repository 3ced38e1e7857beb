#pragma once
// CMainToolBar: the bottom toolbar with the tool and editing buttons. It
// draws a line along its top edge that sets it apart from the drawing; the
// option bars beside it draw the same line.

#include <QToolBar>

class CMainToolBar : public QToolBar {
public:
    explicit CMainToolBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The line along the top edge of a bottom bar.
void DrawTopLine(QWidget* bar);
