#pragma once
// CDrawingSafety: what keeps a drawing from being lost, wired into the
// program. While the drawing has unsaved work a timer lets the recovery
// keeper copy it; before a save replaces a file its content becomes an
// earlier version; at start, drawings that a copy of the program left behind
// when it died are written back and the user is told which; and the
// "Earlier Versions..." command lists and restores versions. The application
// owns one, after the document and before the window goes away.

#include "QtServices.h"
#include "document/RecoveryStore.h"
#include "document/VersionStore.h"
#include "framework/CmdTarget.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class CQuillexDoc;
class CRecoveryKeeper;

class CDrawingSafety : public QObject, public CCmdTarget, public ISaveWatcher, public CDialogParent {
public:
    // open: opens a file as the program's Open does.
    using OpenFile = std::function<bool(const QString& path)>;

    // Lists itself as the save watcher while it lives.
    CDrawingSafety(CQuillexDoc& doc, IShellFolders& folders, OpenFile open);
    ~CDrawingSafety() override;

    // Start-up, before any drawing opens: writes back what dead copies left.
    void RestoreLostDrawings();
    // Once the event loop runs, tells the user what came back, if anything.
    void AnnounceRestored();
    const std::vector<RestoredDrawing>& Restored() const { return m_restored; }
    // The notice for what came back; empty when there is nothing to tell.
    static QString RestoredNotice(const std::vector<RestoredDrawing>& restored);

    bool OnCommand(uint32_t id) override;
    bool OnUpdateCommand(CCmdUI& ui) override;
    void OnFileEarlierVersions();

    void BeforeSave(const std::string& path) override;
    void AfterSave(const std::string& path) override;

    // Null when there is no recovery folder.
    CRecoveryKeeper* Keeper() const { return m_pKeeper.get(); }

private:
    void OnTick();

    CQuillexDoc& m_doc;
    IShellFolders& m_folders;
    OpenFile m_open;
    CVersionStore m_versions;
    CRecoveryStore m_store;
    std::unique_ptr<CRecoveryKeeper> m_pKeeper;
    QTimer m_timer;
    std::vector<RestoredDrawing> m_restored;
};
