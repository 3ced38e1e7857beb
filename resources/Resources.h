#pragma once
// The program's texts, menus, toolbars and accelerators as data. The shell
// builds its windows from these tables, so a text or an order is changed here
// and nowhere else.

#include "framework/CommandIds.h"

#include <cstdint>

namespace res {

inline constexpr const char* kAppName = "Graphelle";
inline constexpr const char* kOrganisation = "Ostrevane";
inline constexpr const char* kVersionLine = "Graphelle v1.0";
inline constexpr const char* kAboutTitle = "About Graphelle";
inline constexpr const char* kFileTypeName = "Graphelle File";
inline constexpr const char* kSketchFilter = "Sketch File(*.tvk)";
inline constexpr const char* kSketchMimeType = "application/x-graphelle-sketch";
inline constexpr const char* kHelpFile = "tenvik.htm";
inline constexpr const char* kHelpAnchor = "Main_Contents";

// New dialog.
inline constexpr const char* kNewTitle = "New";
inline constexpr const char* kWidthRange = "Paper width should be between 100 - 2048!";
inline constexpr const char* kHeightRange = "Paper height should be between 100 - 2048!";
inline constexpr const char* kRoughRange = "Paper roughness should be between 1 - 10!";

// RecentFiles stands for a sub-menu of the files opened last, filled as it
// opens.
enum class MenuEntry { Item, Separator, SubMenu, EndSubMenu, RecentFiles };

struct MenuItemDef {
    MenuEntry kind;
    const char* text;
    uint32_t id;
};

// In front of the others, where desktop users look for it; shown with the
// document list too.
inline constexpr MenuItemDef kFileMenu[] = {
    {MenuEntry::Item, "New", ID_FILE_NEW},
    {MenuEntry::Item, "Open...", ID_FILE_OPEN},
    {MenuEntry::RecentFiles, "Open Recent", 0},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Save", ID_FILE_SAVE},
    {MenuEntry::Item, "Save As...", ID_FILE_SAVE_AS},
    {MenuEntry::Item, "Export PNG...", ID_FILE_EXPORT_PNG},
    {MenuEntry::Item, "Earlier Versions...", ID_FILE_EARLIER_VERSIONS},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Exit", ID_APP_EXIT},
};

inline constexpr MenuItemDef kEditMenu[] = {
    {MenuEntry::Item, "Undo", ID_EDIT_UNDO},
    {MenuEntry::Item, "Redo", ID_EDIT_REDO},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Cut", ID_EDIT_CUT},
    {MenuEntry::Item, "Copy", ID_EDIT_COPY},
    {MenuEntry::Item, "Paste", ID_EDIT_PASTE},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Select All", ID_EDIT_SELECT_ALL},
    {MenuEntry::Item, "Deselect", ID_EDIT_DESELECT},
    {MenuEntry::Item, "Clear", ID_EDIT_CLEAR},
};

inline constexpr MenuItemDef kViewMenu[] = {
    {MenuEntry::Item, "Grid", ID_VIEW_GRID},
    {MenuEntry::Item, "Toolbar", ID_VIEW_TOOLBAR},
    {MenuEntry::SubMenu, "Zoom", 0},
    {MenuEntry::Item, "Zoom In", ID_VIEW_ZOOM_IN},
    {MenuEntry::Item, "Zoom Out", ID_VIEW_ZOOM_OUT},
    {MenuEntry::Item, "Actual Size", ID_VIEW_ACTUAL_SIZE},
    {MenuEntry::Item, "Fit to Window", ID_VIEW_FIT},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Full Screen", ID_VIEW_FULL_SCREEN},
    {MenuEntry::Item, "Mirror View", ID_VIEW_MIRROR},
    {MenuEntry::EndSubMenu, nullptr, 0},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "About 'Graphelle'...", ID_APP_ABOUT},
    {MenuEntry::Item, "Help", ID_HELP},
};

inline constexpr MenuItemDef kToolMenu[] = {
    {MenuEntry::Item, "Hand", ID_TOOL_HAND},
    {MenuEntry::Item, "Pencil", ID_TOOL_PENCIL},
    {MenuEntry::Item, "Eraser", ID_TOOL_ERASER},
    {MenuEntry::Item, "Select", ID_TOOL_SELECT},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Save as...", ID_FILE_SAVE_AS},
    {MenuEntry::Item, "Earlier Versions...", ID_FILE_EARLIER_VERSIONS},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Exit", ID_APP_EXIT},
};

// The only menu while the document list is shown.
inline constexpr MenuItemDef kDocListToolMenu[] = {
    {MenuEntry::Item, "Earlier Versions...", ID_FILE_EARLIER_VERSIONS},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "About 'Graphelle'...", ID_APP_ABOUT},
    {MenuEntry::Item, "Help", ID_HELP},
    {MenuEntry::Separator, nullptr, 0},
    {MenuEntry::Item, "Exit", ID_APP_EXIT},
};

struct ButtonDef {
    uint32_t id;           // 0 for a separator
    const char* tooltip;
    const char* icon;      // resource path of the button's picture
};

// The top bar beside the menus.
inline constexpr ButtonDef kCommandBar[] = {
    {ID_VIEW_TOOLBAR, "Show/Hide Toolbar", ":/icons/toolbar.svg"},
    {0, nullptr, nullptr},
    {ID_VIEW_ZOOM_IN, "Zoom In", ":/icons/zoom-in.svg"},
    {ID_VIEW_ZOOM_OUT, "Zoom Out", ":/icons/zoom-out.svg"},
    {ID_VIEW_ACTUAL_SIZE, "Actual Size", ":/icons/actual-size.svg"},
};

// The bottom toolbar.
inline constexpr ButtonDef kToolBar[] = {
    {ID_TOOL_HAND, "Hand", ":/icons/hand.svg"},
    {ID_TOOL_PENCIL, "Pencil", ":/icons/pencil.svg"},
    {ID_TOOL_ERASER, "Eraser", ":/icons/eraser.svg"},
    {ID_TOOL_SELECT, "Select", ":/icons/select.svg"},
    {0, nullptr, nullptr},
    {ID_EDIT_UNDO, "Undo", ":/icons/undo.svg"},
    {ID_EDIT_REDO, "Redo", ":/icons/redo.svg"},
    {0, nullptr, nullptr},
    {ID_EDIT_CUT, "Cut", ":/icons/cut.svg"},
    {ID_EDIT_COPY, "Copy", ":/icons/copy.svg"},
    {ID_EDIT_PASTE, "Paste", ":/icons/paste.svg"},
    {ID_EDIT_CLEAR, "Clear", ":/icons/clear.svg"},
};

// Tooltips of the three menu buttons of the top bar, in menu order, and of
// the File menu in front of them.
inline constexpr const char* kMenuTooltips[] = {"Edit", "View", "Tool"};
inline constexpr char kFileMenuTooltip[] = "File";
// The most files Open Recent lists.
inline constexpr int kMaxRecentFiles = 8;

struct AcceleratorDef {
    char key;  // with the Control key
    uint32_t id;
};

inline constexpr AcceleratorDef kAccelerators[] = {
    {'N', ID_FILE_NEW},  {'O', ID_FILE_OPEN},  {'S', ID_FILE_SAVE},  {'Q', ID_APP_EXIT},
    {'Z', ID_EDIT_UNDO}, {'X', ID_EDIT_CUT},   {'C', ID_EDIT_COPY},  {'V', ID_EDIT_PASTE},
};

// The keys of the desktop, after the accelerators above, in the portable
// form of key sequences. A command with several keys shows them all in its
// menu, in this order.
struct KeyDef {
    const char* keys;
    uint32_t id;
};

inline constexpr KeyDef kDesktopKeys[] = {
    {"Ctrl+Shift+Z", ID_EDIT_REDO},   {"Ctrl+Y", ID_EDIT_REDO},      {"Ctrl+A", ID_EDIT_SELECT_ALL},
    {"Esc", ID_EDIT_DESELECT},        {"Del", ID_EDIT_CLEAR},        {"Ctrl++", ID_VIEW_ZOOM_IN},
    {"Ctrl+=", ID_VIEW_ZOOM_IN},      {"Ctrl+-", ID_VIEW_ZOOM_OUT},  {"Ctrl+0", ID_VIEW_ACTUAL_SIZE},
    {"Ctrl+9", ID_VIEW_FIT},          {"F11", ID_VIEW_FULL_SCREEN},  {"B", ID_TOOL_PENCIL},
    {"P", ID_TOOL_PENCIL},            {"E", ID_TOOL_ERASER},         {"H", ID_TOOL_HAND},
    {"S", ID_TOOL_SELECT},            {"Ctrl+Shift+S", ID_FILE_SAVE_AS}, {"Ctrl+E", ID_FILE_EXPORT_PNG},
};

}  // namespace res
