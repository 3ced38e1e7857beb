#pragma once
// CEarlierVersionsDlg: the "Earlier Versions" dialog. It lists the versions it
// is given, newest first, each with a picture of the drawing and the date and
// time it was saved (and the drawing's name when it lists several drawings);
// "Open as New Sketch" ends it with one chosen. It reads the versions' files
// only for their pictures and writes nothing.

#include "document/VersionStore.h"

#include <QDialog>
#include <QTimer>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

class CEarlierVersionsDlg : public QDialog {
public:
    // heading: what the list is of; withNames: each entry names its drawing.
    CEarlierVersionsDlg(std::vector<EarlierVersion> versions, const QString& heading, bool withNames,
                        QWidget* parent = nullptr);

    // The chosen version after the dialog was accepted; -1 for none.
    int SelectedIndex() const;
    const std::vector<EarlierVersion>& Versions() const { return m_versions; }
    QListWidget* List() const { return m_list; }
    QPushButton* OpenButton() const { return m_openButton; }

    // How a version's date and time are shown.
    static QString TimeText(int64_t time);

private:
    void DrawNextThumbnail();

    std::vector<EarlierVersion> m_versions;
    QListWidget* m_list = nullptr;
    QPushButton* m_openButton = nullptr;
    QTimer m_thumbnailTimer;
    int m_nextThumbnail = 0;
};
