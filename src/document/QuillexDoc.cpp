#include "QuillexDoc.h"

#include "Settings.h"
#include "framework/CommandIds.h"
#include "framework/Services.h"

CQuillexDoc::CQuillexDoc(AppServices& services) : CDocument(services)
{
    LoadToolSettings();
}

CQuillexDoc::~CQuillexDoc()
{
    ClearHistory();
}

// Settings come from the option bars when the frame already has them, else
// from the profile, which ReadSetting brings into range; the tools clamp
// what the bars give them.
void CQuillexDoc::LoadToolSettings()
{
    IMainWindow* main = GetServices().pMainWindow;
    IProfile* profile = GetServices().pProfile;

    int32_t grade, width, smooth;
    if (main && main->HasOptionBarWindow(OptionBar::Pencil)) {
        grade = main->GetComboSelection(IDC_PENCIL_GRADE);
        width = main->GetComboSelection(IDC_PENCIL_WIDTH) + 1;
        smooth = main->GetCheckState(IDC_SMOOTH) > 0;
        m_pencilTool.m_bPressure = main->GetCheckState(IDC_PENCIL_PRESSURE) > 0 ? 1 : 0;
    } else {
        grade = ReadSetting(profile, settings::kPencilType);
        width = ReadSetting(profile, settings::kPencilWidth);
        smooth = ReadSetting(profile, settings::kPencilSmooth) != 0;
        m_pencilTool.m_bPressure = ReadSetting(profile, settings::kPencilPressure) != 0 ? 1 : 0;
    }
    m_pencilTool.SetOptions(grade, width, smooth ? 1 : 0);

    if (main && main->HasOptionBarWindow(OptionBar::Eraser)) {
        m_eraserTool.SetOptions(main->GetComboSelection(IDC_ERASER_SIZE) + 1,
                                main->GetComboSelection(IDC_ERASER_STRENGTH) + 1);
        m_eraserTool.m_bPressure = main->GetCheckState(IDC_ERASER_PRESSURE) > 0 ? 1 : 0;
    } else {
        m_eraserTool.SetOptions(ReadSetting(profile, settings::kEraserSize),
                                ReadSetting(profile, settings::kEraserStrength));
        m_eraserTool.m_bPressure = ReadSetting(profile, settings::kEraserPressure) != 0 ? 1 : 0;
    }

    if (main && main->HasOptionBarWindow(OptionBar::Select))
        m_selection.SetTransparent(main->GetCheckState(IDC_TRANSPARENT) >= 1);
    else
        m_selection.SetTransparent(ReadSetting(profile, settings::kTransparent) != 0);
}

ToolKind CQuillexDoc::GetTool() const
{
    if (m_pTool == &m_eraserTool) return ToolKind::Eraser;
    if (m_pTool == &m_handTool) return ToolKind::Hand;
    if (m_pTool == &m_selectTool) return ToolKind::Select;
    return ToolKind::Pencil;
}

bool CQuillexDoc::SetPencilOptions(int32_t grade, int32_t width, int32_t smooth)
{
    if (m_bInGesture) return false;
    m_pencilTool.SetOptions(grade, width, smooth);
    return true;
}

bool CQuillexDoc::SetEraserOptions(int32_t size, int32_t strength)
{
    if (m_bInGesture) return false;
    m_eraserTool.SetOptions(size, strength);
    return true;
}

bool CQuillexDoc::SetPressureUsed(ToolKind tool, bool used)
{
    if (m_bInGesture || (tool != ToolKind::Pencil && tool != ToolKind::Eraser)) return false;
    (tool == ToolKind::Pencil ? static_cast<CTool&>(m_pencilTool) : m_eraserTool).m_bPressure = used ? 1 : 0;
    return true;
}

bool CQuillexDoc::SetTransparent(bool transparent)
{
    if (m_bInGesture) return false;
    m_selection.SetTransparent(transparent);
    UpdateAllViews(nullptr, nullptr);
    return true;
}

// ---- Pointer entry points -------------------------------------------------

// A press during a gesture, and moves and releases outside one, reach no
// tool: whoever feeds the pointer, the tool sees one whole gesture at a time.
bool CQuillexDoc::PointerDown(IToolView* view, int32_t x, int32_t y, int32_t viewX, int32_t viewY,
                              int32_t pressure)
{
    if (m_bInGesture) return false;
    m_pTool->SetPressure(pressure);
    m_nGesturePressure = pressure;
    CRect dirty;
    const int32_t accepted = m_pTool->OnPointerDown(view, &m_paper, x, y, viewX, viewY, dirty, 1);
    UpdateAllViews(nullptr, &dirty);
    m_bInGesture = accepted != 0;
    m_ptGesture = CPoint{x, y};
    m_ptGestureView = CPoint{viewX, viewY};
    return m_bInGesture;
}

bool CQuillexDoc::PointerMove(int32_t x, int32_t y, int32_t viewX, int32_t viewY, int32_t pressure)
{
    if (!m_bInGesture) return false;
    m_ptGesture = CPoint{x, y};
    m_ptGestureView = CPoint{viewX, viewY};
    m_nGesturePressure = pressure;
    m_pTool->SetPressure(pressure);
    CRect dirty;
    const int32_t result = m_pTool->OnPointerMove(x, y, viewX, viewY, dirty);
    UpdateAllViews(nullptr, &dirty);
    return result != 0;
}

bool CQuillexDoc::PointerUp(int32_t x, int32_t y, int32_t viewX, int32_t viewY, int32_t pressure)
{
    if (!m_bInGesture) return false;
    m_bInGesture = false;
    m_pTool->SetPressure(pressure);
    CRect dirty;
    HistoryRecord record;
    record.nType = HR_NONE;
    int32_t modified = 0;
    const int32_t result = m_pTool->OnPointerUp(x, y, viewX, viewY, dirty, record, modified);
    UpdateAllViews(nullptr, &dirty);
    if (record.nType != HR_NONE) {
        AddHistory(std::move(record));
    } else if (modified && (m_pTool == &m_pencilTool || m_pTool == &m_eraserTool)) {
        // A stroke drawn but not recorded (memory ran out): replaying the
        // history would rebuild a sheet without it.
        ForgetHistory();
    }
    if (modified) SetModifiedFlag(true);
    return result != 0;
}

void CQuillexDoc::EndGesture()
{
    if (m_bInGesture)
        PointerUp(m_ptGesture.x, m_ptGesture.y, m_ptGestureView.x, m_ptGestureView.y, m_nGesturePressure);
}

// ---- Selection ------------------------------------------------------------

void CQuillexDoc::DropSelection()
{
    if (m_bInGesture || m_selection.IsEmpty()) return;
    const CRect hint = m_selection.GetRect();
    PixelBuffer pixels;
    uint32_t size = 0;
    if (m_selection.PutDown(m_paper, pixels, size)) {
        SetModifiedFlag(true);
        RecordRect(HR_PASTE, hint, m_selection.IsTransparent() ? 1 : 0, std::move(pixels), size);
    }
    m_selection.Clear();
    UpdateAllViews(nullptr, &hint);
}

void CQuillexDoc::OnSelectionLifted(const CRect& rect)
{
    RecordRect(HR_CLEAR, rect);
    SetModifiedFlag(true);
}

bool CQuillexDoc::SetSheet(const CPaper& sheet)
{
    if (m_bInGesture || !sheet.HasBits()) return false;
    m_selection.Clear();
    ClearHistory();
    if (!CreatePapers(sheet.GetWidth(), sheet.GetHeight(), sheet.GetRoughness())) return false;
    m_paper.CopyBitsFrom(sheet);
    m_basePaper.CopyBitsFrom(sheet);
    UpdateAllViews(nullptr, nullptr);
    return true;
}

bool CQuillexDoc::CreatePapers(uint32_t width, uint32_t height, uint32_t roughness)
{
    if (m_paper.Create(width, height, roughness) && m_basePaper.Create(width, height, roughness)) return true;
    // Both papers or neither: they must always have the same size.
    m_paper.Free();
    m_basePaper.Free();
    return false;
}

bool CQuillexDoc::SelectRect(const CRect& rect)
{
    if (m_bInGesture) return false;
    DropSelection();
    const CRect whole{0, 0, static_cast<int32_t>(m_paper.GetWidth()), static_cast<int32_t>(m_paper.GetHeight())};
    m_selection.Select(CRect::Intersect(rect, whole));
    UpdateAllViews(nullptr, nullptr);
    m_pTool = &m_selectTool;
    return true;
}

bool CQuillexDoc::FloatPiece(uint32_t width, uint32_t height, const uint8_t* pixels, CPoint at)
{
    if (m_bInGesture || !m_paper.HasBits()) return false;
    DropSelection();
    if (!m_selection.Float(width, height, m_paper.GetRoughness(), pixels, at)) return false;
    m_pTool = &m_selectTool;
    UpdateAllViews(nullptr, nullptr);
    SetModifiedFlag(true);
    return true;
}

// ---- Commands -------------------------------------------------------------

void CQuillexDoc::SelectTool(CTool* tool)
{
    if (m_bInGesture) return;
    DropSelection();
    m_pTool = tool;
}

void CQuillexDoc::OnToolPencil()
{
    SelectTool(&m_pencilTool);
}

void CQuillexDoc::OnToolEraser()
{
    SelectTool(&m_eraserTool);
}

void CQuillexDoc::OnToolHand()
{
    SelectTool(&m_handTool);
}

// Choosing Select again puts a floating piece down; switching to Select from
// another tool had nothing floating to put down.
void CQuillexDoc::OnToolSelect()
{
    if (m_bInGesture) return;
    if (m_pTool == &m_selectTool) DropSelection();
    m_pTool = &m_selectTool;
}

void CQuillexDoc::OnEditSelectAll()
{
    SelectRect(CRect{0, 0, static_cast<int32_t>(m_paper.GetWidth()), static_cast<int32_t>(m_paper.GetHeight())});
}

void CQuillexDoc::OnEditClear()
{
    if (m_bInGesture || m_selection.IsEmpty()) return;
    RemoveSelection();
    UpdateAllViews(nullptr, nullptr);
}

void CQuillexDoc::RemoveSelection()
{
    // The place a floating piece was lifted from was whitened and recorded
    // at the lift.
    if (!m_selection.IsFloating()) {
        m_paper.GetRectBits(m_selection.GetRect(), nullptr, true);
        RecordRect(HR_CLEAR, m_selection.GetRect());
    }
    SetModifiedFlag(true);
    m_selection.Clear();
}

bool CQuillexDoc::OnCommand(uint32_t id)
{
    switch (id) {
    case ID_TOOL_PENCIL: OnToolPencil(); return true;
    case ID_TOOL_ERASER: OnToolEraser(); return true;
    case ID_TOOL_HAND: OnToolHand(); return true;
    case ID_TOOL_SELECT: OnToolSelect(); return true;
    case ID_EDIT_UNDO: OnEditUndo(); return true;
    case ID_EDIT_REDO: OnEditRedo(); return true;
    case ID_FILE_SAVE_AS: OnFileSaveAs(); return true;
    case ID_FILE_EXPORT_PNG: OnFileExportPng(); return true;
    case ID_EDIT_SELECT_ALL: OnEditSelectAll(); return true;
    case ID_EDIT_CLEAR: OnEditClear(); return true;
    case ID_EDIT_DESELECT: DropSelection(); return true;
    default: return false;
    }
}

// Each option takes the one value its control now shows and keeps the
// tool's other settings.
bool CQuillexDoc::OnControlNotify(uint32_t controlId, uint32_t code)
{
    IMainWindow* main = GetServices().pMainWindow;
    if (!main) return false;
    if (m_bInGesture) {
        RestoreOptionControl(controlId);
        return true;
    }
    int32_t grade, width, smooth, size, strength;
    m_pencilTool.GetOptions(grade, width, smooth);
    m_eraserTool.GetOptions(size, strength);

    switch (controlId) {
    case IDC_PENCIL_GRADE:
        if (code != CBN_SELCHANGE) return false;
        m_pencilTool.SetOptions(main->GetComboSelection(IDC_PENCIL_GRADE), width, smooth);
        return true;
    case IDC_PENCIL_WIDTH:
        if (code != CBN_SELCHANGE) return false;
        m_pencilTool.SetOptions(grade, main->GetComboSelection(IDC_PENCIL_WIDTH) + 1, smooth);
        return true;
    case IDC_SMOOTH:
        if (code != BN_CLICKED) return false;
        m_pencilTool.SetOptions(grade, width, main->GetCheckState(IDC_SMOOTH) > 0 ? 1 : 0);
        return true;
    case IDC_ERASER_SIZE:
        if (code != CBN_SELCHANGE) return false;
        m_eraserTool.SetOptions(main->GetComboSelection(IDC_ERASER_SIZE) + 1, strength);
        return true;
    case IDC_ERASER_STRENGTH:
        if (code != CBN_SELCHANGE) return false;
        m_eraserTool.SetOptions(size, main->GetComboSelection(IDC_ERASER_STRENGTH) + 1);
        return true;
    case IDC_TRANSPARENT:
        if (code != BN_CLICKED) return false;
        m_selection.SetTransparent(main->GetCheckState(IDC_TRANSPARENT) > 0);
        UpdateAllViews(nullptr, nullptr);
        return true;
    case IDC_PENCIL_PRESSURE:
    case IDC_ERASER_PRESSURE: {
        if (code != BN_CLICKED) return false;
        CTool& tool = controlId == IDC_PENCIL_PRESSURE ? static_cast<CTool&>(m_pencilTool) : m_eraserTool;
        tool.m_bPressure = main->GetCheckState(controlId) > 0 ? 1 : 0;
        return true;
    }
    default:
        return false;
    }
}

bool CQuillexDoc::OnUpdateCommand(CCmdUI& ui)
{
    switch (ui.m_nID) {
    case ID_TOOL_PENCIL:
    case ID_TOOL_ERASER:
    case ID_TOOL_SELECT:
    case ID_TOOL_HAND:
    case ID_EDIT_UNDO:
    case ID_EDIT_REDO:
    case ID_EDIT_CLEAR:
    case ID_EDIT_SELECT_ALL:
    case ID_EDIT_DESELECT:
    case ID_FILE_SAVE_AS:
    case ID_FILE_EXPORT_PNG:
        if (m_bInGesture) ui.Enable(false);
        break;
    default:
        break;
    }
    switch (ui.m_nID) {
    case ID_TOOL_PENCIL: ui.SetCheck(m_pTool == &m_pencilTool); return true;
    case ID_TOOL_ERASER: ui.SetCheck(m_pTool == &m_eraserTool); return true;
    case ID_TOOL_SELECT: ui.SetCheck(m_pTool == &m_selectTool); return true;
    case ID_TOOL_HAND:
        ui.SetCheck(m_pTool == &m_handTool);
        PlaceOptionBars();
        return true;
    case ID_EDIT_UNDO: ui.Enable(!m_bInGesture && CanUndo()); return true;
    case ID_EDIT_REDO: ui.Enable(!m_bInGesture && CanRedo()); return true;
    case ID_EDIT_CLEAR:
    case ID_EDIT_DESELECT: ui.Enable(!m_bInGesture && !m_selection.IsEmpty()); return true;
    case ID_EDIT_SELECT_ALL:
    case ID_FILE_SAVE_AS:
    case ID_FILE_EXPORT_PNG: return m_bInGesture;
    default: return false;
    }
}

void CQuillexDoc::RestoreOptionControl(uint32_t controlId)
{
    IMainWindow* main = GetServices().pMainWindow;
    int32_t grade, width, smooth, size, strength;
    m_pencilTool.GetOptions(grade, width, smooth);
    m_eraserTool.GetOptions(size, strength);
    switch (controlId) {
    case IDC_PENCIL_GRADE: main->SetComboSelection(controlId, grade); break;
    case IDC_PENCIL_WIDTH: main->SetComboSelection(controlId, width - 1); break;
    case IDC_SMOOTH: main->SetCheckState(controlId, smooth); break;
    case IDC_ERASER_SIZE: main->SetComboSelection(controlId, size - 1); break;
    case IDC_ERASER_STRENGTH: main->SetComboSelection(controlId, strength - 1); break;
    case IDC_TRANSPARENT: main->SetCheckState(controlId, m_selection.IsTransparent() ? 1 : 0); break;
    case IDC_PENCIL_PRESSURE: main->SetCheckState(controlId, m_pencilTool.m_bPressure); break;
    case IDC_ERASER_PRESSURE: main->SetCheckState(controlId, m_eraserTool.m_bPressure); break;
    default: break;
    }
}

// The option bar of the current tool follows it while the toolbar shows;
// the hand has none. A hidden toolbar keeps every option bar hidden.
void CQuillexDoc::PlaceOptionBars()
{
    IMainWindow* main = GetServices().pMainWindow;
    if (!main || !main->IsToolBarVisible()) return;
    main->ShowOptionBar(OptionBar::Pencil, m_pTool == &m_pencilTool);
    main->ShowOptionBar(OptionBar::Eraser, m_pTool == &m_eraserTool);
    main->ShowOptionBar(OptionBar::Select, m_pTool == &m_selectTool);
    main->RecalcLayout();
}
