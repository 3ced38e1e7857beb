#pragma once
// CFileDropFilter: lets a window take a file dropped on it from a file
// manager. The first local file of a drop goes to the callback once the drop
// has ended, so that what opening it shows (a message, a new sheet) never
// runs inside the drag protocol and the source is not kept waiting.

#include <QObject>
#include <QList>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

class CFileDropFilter : public QObject {
public:
    // Watches window, which it belongs to.
    CFileDropFilter(QWidget* window, std::function<void(const QString&)> open);

    // The first local file among urls, or empty when there is none.
    static QString DroppedFile(const QList<QUrl>& urls);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> m_open;
};
