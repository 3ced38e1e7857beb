#include "MainToolBar.h"

#include <QPainter>

CMainToolBar::CMainToolBar(QWidget* parent) : QToolBar(parent)
{
    setObjectName(QStringLiteral("ToolBar"));
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void CMainToolBar::paintEvent(QPaintEvent* event)
{
    QToolBar::paintEvent(event);
    DrawTopLine(this);
}

void DrawTopLine(QWidget* bar)
{
    QPainter p(bar);
    p.setPen(bar->palette().color(QPalette::Mid));
    p.drawLine(0, 0, bar->width(), 0);
}
