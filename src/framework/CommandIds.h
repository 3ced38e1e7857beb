#pragma once
// Every command and control identifier of the program in one place. The
// standard commands keep the numbers of the handheld framework they came
// from, so recorded scripts and tests can name them by number too.

#include <cstdint>

enum CommandId : uint32_t {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE = 57603,
    ID_FILE_SAVE_AS = 57604,
    ID_EDIT_CLEAR = 57632,
    ID_EDIT_COPY = 57634,
    ID_EDIT_CUT = 57635,
    ID_EDIT_PASTE = 57637,
    ID_EDIT_SELECT_ALL = 57642,
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP = 57670,
    ID_VIEW_TOOLBAR = 59392,

    ID_TOOL_HAND = 32772,
    ID_TOOL_PENCIL = 32773,
    ID_TOOL_ERASER = 32774,
    ID_TOOL_SELECT = 32775,
    ID_VIEW_ZOOM_IN = 32809,
    ID_VIEW_ZOOM_OUT = 32810,
    ID_VIEW_ACTUAL_SIZE = 32811,
    ID_VIEW_GRID = 32812,
    ID_FILE_EARLIER_VERSIONS = 32830,
    ID_FILE_EXPORT_PNG = 32831,

    // Navigation and the keys of the desktop.
    ID_VIEW_FIT = 32840,          // the whole sheet as large as the window shows it
    ID_VIEW_MIRROR = 32841,       // the view flipped left to right
    ID_VIEW_FULL_SCREEN = 32842,
    ID_EDIT_DESELECT = 32843,     // puts a floating piece down and drops the selection
};

// Controls of the option bars.
enum ControlId : uint32_t {
    IDC_PENCIL_GRADE = 1000,     // combo: "C" ... "4H", index = grade
    IDC_PENCIL_WIDTH = 1001,     // combo: "Thin", "Mid", "Thick", index + 1 = width
    IDC_ERASER_SIZE = 1002,      // combo: "Small", "Mid", "Large", index + 1 = size
    IDC_ERASER_STRENGTH = 1003,  // combo: "Light", "Mid", "Heavy", index + 1 = strength
    IDC_TRANSPARENT = 1036,      // check box "Transparent"
    IDC_SMOOTH = 1037,           // check box "Smooth"
    IDC_PENCIL_PRESSURE = 1038,  // check box "Pressure" of the pencil
    IDC_ERASER_PRESSURE = 1039,  // check box "Pressure" of the eraser
};

// Notification codes the option bars send with a control identifier.
enum NotifyCode : uint32_t {
    BN_CLICKED = 0,
    CBN_SELCHANGE = 1,
};
