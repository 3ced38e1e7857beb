#pragma once
// CQuillexDoc: the drawing. It owns the working paper, the base paper the
// undo history rebuilds from, the floating selection, the four tools and the
// history of the last twenty changes. The view feeds it pointer positions and
// reads its papers and selection; commands arrive through CCmdTarget. It never
// throws and never talks to a toolkit: everything outside goes through the
// framework's services and the IToolView it is handed.

#include "SelectTool.h"
#include "Selection.h"
#include "engine/Paper.h"
#include "framework/Document.h"
#include "framework/FileStamp.h"
#include "framework/NameReservation.h"
#include "tools/EraserTool.h"
#include "tools/HandTool.h"
#include "tools/HistoryRecord.h"
#include "tools/PencilTool.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

enum class ToolKind { Pencil, Eraser, Hand, Select };

class CQuillexDoc : public CDocument, private ISelectionOwner {
public:
    // Takes the tool settings from the option bars or the profile.
    explicit CQuillexDoc(AppServices& services);
    ~CQuillexDoc() override;

    // Pointer entry points of the view's tracking; paper and view coordinates
    // of the same position, and the pen's pressure there (a mouse or a finger
    // presses fully). PointerDown's result says whether to track.
    bool PointerDown(IToolView* view, int32_t x, int32_t y, int32_t viewX, int32_t viewY,
                     int32_t pressure = kFullPressure);
    bool PointerMove(int32_t x, int32_t y, int32_t viewX, int32_t viewY, int32_t pressure = kFullPressure);
    bool PointerUp(int32_t x, int32_t y, int32_t viewX, int32_t viewY, int32_t pressure = kFullPressure);

    // A gesture runs from an accepted press to its release. While it runs,
    // every command that would change the drawing or its tools does nothing,
    // as if disabled, so the gesture always ends on the state it began with.
    bool IsInGesture() const { return m_bInGesture; }
    // Ends a gesture in progress with its release where the pointer was last,
    // so that a command leaving the drawing keeps the stroke.
    void EndGesture();

    int32_t GetRoughness() const { return static_cast<int32_t>(m_paper.GetRoughness()); }

    // The sheet as drawn, and the base the history replays onto.
    const CPaper& GetPaper() const { return m_paper; }
    const CPaper& GetBasePaper() const { return m_basePaper; }
    const CSelection& GetSelection() const { return m_selection; }
    ToolKind GetTool() const;
    const CPencilTool& GetPencilTool() const { return m_pencilTool; }
    const CEraserTool& GetEraserTool() const { return m_eraserTool; }
    const CSelectTool& GetSelectTool() const { return m_selectTool; }

    // Setters of the tools' options, clamped by the tools; like the option
    // bars, refused (false) while a gesture runs.
    bool SetPencilOptions(int32_t grade, int32_t width, int32_t smooth);
    bool SetEraserOptions(int32_t size, int32_t strength);
    bool SetPressureUsed(ToolKind tool, bool used);
    bool SetTransparent(bool transparent);

    // The drawing becomes a copy of sheet as it was before any change: the
    // base too, with no history and nothing selected. The name stays.
    bool SetSheet(const CPaper& sheet);
    // Puts any floating piece down and selects a rectangle of the sheet (the
    // part on it) with the select tool, as Select All does.
    bool SelectRect(const CRect& rect);
    // Puts any floating piece down and floats a piece of width x height
    // pixels (rows padded to four bytes) at 'at' with the select tool, as
    // Paste does.
    bool FloatPiece(uint32_t width, uint32_t height, const uint8_t* pixels, CPoint at);

    // Puts a floating piece down for good (recorded) and clears the selection.
    void DropSelection() override;

    // Replays one record onto a paper.
    static void ApplyHistoryRecord(const HistoryRecord& record, CPaper& paper);
    int32_t GetHistoryCount() const { return static_cast<int32_t>(m_history.size()); }
    const std::deque<HistoryRecord>& GetHistory() const { return m_history; }
    // How many records the sheet shows; those after it are undone.
    int32_t GetHistoryPos() const { return m_nHistoryPos; }
    bool CanUndo() const { return !m_history.empty() && m_nHistoryPos >= 1; }
    bool CanRedo() const { return m_nHistoryPos >= 0 && m_nHistoryPos < GetHistoryCount(); }
    void OnEditUndo();
    void OnEditRedo();

    // Commands of the document (tools, Select All, Clear, Save As, undo, redo)
    // and the option bars' notifications.
    bool OnCommand(uint32_t id) override;
    bool OnControlNotify(uint32_t controlId, uint32_t code) override;
    bool OnUpdateCommand(CCmdUI& ui) override;

    void OnToolPencil();
    void OnToolEraser();
    void OnToolHand();
    void OnToolSelect();
    void OnEditSelectAll();
    void OnEditClear();
    void OnFileSaveAs();

    // A picture made into a sheet (see CPictureSheet) becomes a new drawing
    // named after picturePath in the documents folder ("photo.tvk", then
    // "photo (2).tvk", ...), changed and not yet saved. The picture itself is
    // never written. False with "Failed to create file!" shown.
    bool OnOpenPicture(const std::string& picturePath, const CPaper& sheet);
    // Writes a PNG copy as Save As writes its copies, the name ending in
    // ".png" whatever was typed.
    void OnFileExportPng();

    // The clipboard in the program's own format. The view's Cut, Copy and
    // Paste commands call these with itself as the view.
    void CopySelection(IToolView* view, bool cut);
    void Cut(IToolView* view);
    void Paste(IToolView* view);
    bool CanPaste() const;

    // The file last opened held data that could not be read; the drawing
    // then goes on under a new name beside it, and that file stays as it is.
    bool IsReadInPart() const { return m_bReadInPart; }

    void DeleteContents() override;
    bool Serialize(CArchive& ar) override;
    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
    bool OnSaveDocument(const std::string& path) override;

    // The most records the history holds after an addition.
    static constexpr int32_t kHistoryLimit = 20;

private:
    void OnSelectionLifted(const CRect& rect) override;
    // Takes the record (and its points' pixel blocks); discards the redo part
    // first. A record with nType HR_NONE only discards. False when memory ran
    // out, and the record is then thrown away.
    bool AddHistory(HistoryRecord&& record);
    // Records a change known by its rectangle: a whitened one (HR_CLEAR), or
    // a piece put down (HR_PASTE, param1 transparent, the piece's pixels and
    // their size in bytes).
    void RecordRect(int32_t type, const CRect& rect, int32_t param1 = 0, PixelBuffer pixels = nullptr,
                    uint32_t size = 0);
    // Folds the oldest record into the base paper while more than the limit
    // are held.
    void TrimHistory();
    void ClearHistory();

    void LoadToolSettings();
    void PlaceOptionBars();
    void SelectTool(CTool* tool);
    // Takes the selected pixels out of the drawing and empties the selection:
    // a floating piece goes (its lift was recorded), else the selected area
    // is whitened and recorded.
    void RemoveSelection();
    // A change that cannot be recorded makes the sheet as it stands the base.
    void ForgetHistory();

    // Saves of the drawing to a new name beside its file; false when no
    // free name could be had.
    bool MoveToSiblingName(const std::string& label);

    static constexpr char kFailedToCreate[] = "Failed to create file!";
    // Reserves the first name make(folder, 1), make(folder, 2), ... in the
    // documents folder that no file has, held until the drawing leaves so
    // that no other copy of the program takes it; false with "Failed to
    // create file!" shown.
    bool ReserveDocumentName(const std::function<std::string(const std::string&, int)>& make);
    // The sheet and the base of a new drawing, white or a copy of pixels,
    // under the reserved name; neither, with "Failed to create file!" shown,
    // when one cannot be made.
    bool MakeSheets(uint32_t width, uint32_t height, uint32_t roughness, const CPaper* pixels = nullptr);
    // The sheet and its base, white, of one size; neither when one cannot be
    // made.
    bool CreatePapers(uint32_t width, uint32_t height, uint32_t roughness);
    void ShowMessage(const std::string& text) const;

    // A refused option change puts its control back to the tool's value.
    void RestoreOptionControl(uint32_t controlId);

    // The generated name of a new drawing, held until the drawing leaves.
    CNameReservation m_newName;
    bool m_bInGesture = false;
    bool m_bReadInPart = false;
    // The drawing's file as this program last read or wrote it.
    CFileStamp m_fileStamp;
    // The last position of the gesture, in paper and in view pixels.
    CPoint m_ptGesture;
    CPoint m_ptGestureView;
    int32_t m_nGesturePressure = kFullPressure;

    std::deque<HistoryRecord> m_history;
    int32_t m_nHistoryPos = 0;
    CPaper m_paper;
    CPaper m_basePaper;
    CSelection m_selection;
    CSelectTool m_selectTool{m_selection, *this};
    CPencilTool m_pencilTool;
    CEraserTool m_eraserTool;
    CHandTool m_handTool;
    CTool* m_pTool = &m_pencilTool;
};
