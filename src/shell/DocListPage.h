#pragma once
// CDocListPage: the list of sketch files below the documents folder, in all
// its sub-folders, newest first, each with a small picture of the drawing.
// A click or tap opens a file; the New button starts a new sheet. Pictures
// are drawn one at a time while the program is idle, so a long list costs
// nothing at start.

#include <QIcon>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class CDocListPage : public QWidget {
    Q_OBJECT

public:
    explicit CDocListPage(QWidget* parent = nullptr);

    // Lists the sketch files below folder again.
    void Populate(const QString& folder) { Populate(folder, FindSketches(folder)); }
    // Lists sketches that FindSketches(folder) has just given.
    void Populate(const QString& folder, const QStringList& sketches);
    QStringList Files() const;
    QListWidget* List() const { return m_list; }
    QPushButton* NewButton() const { return m_newButton; }

    // Every sketch file below folder, newest first.
    static QStringList FindSketches(const QString& folder);
    // The drawing of a sketch file shrunk to fit size x size logical pixels,
    // made at pixelRatio device pixels to each; null on failure.
    static QImage Thumbnail(const QString& path, int size, qreal pixelRatio = 1.0);
    // The same in a frame that shows a white sheet on a white list; null on
    // failure.
    static QIcon FramedThumbnail(const QString& path, int size, qreal pixelRatio = 1.0);

signals:
    void OpenRequested(const QString& path);
    void NewRequested();

private:
    void OnItem(QListWidgetItem* item);
    void DrawNextThumbnail();

    QLabel* m_heading = nullptr;
    QListWidget* m_list = nullptr;
    QPushButton* m_newButton = nullptr;
    QTimer m_thumbnailTimer;
    int m_nextThumbnail = 0;
};
