#include "FileDropFilter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

CFileDropFilter::CFileDropFilter(QWidget* window, std::function<void(const QString&)> open)
    : QObject(window), m_open(std::move(open))
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

QString CFileDropFilter::DroppedFile(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls)
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return url.toLocalFile();
    return QString();
}

bool CFileDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!drag->mimeData() || DroppedFile(drag->mimeData()->urls()).isEmpty()) return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = drop->mimeData() ? DroppedFile(drop->mimeData()->urls()) : QString();
        if (file.isEmpty()) return false;
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        QTimer::singleShot(0, this, [this, file] { m_open(file); });
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
