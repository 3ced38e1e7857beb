#pragma once
// Command routing. A command travels view -> document -> frame -> application
// until one target handles it; update handlers fill a CCmdUI with the enabled
// and checked state of a command, and run whenever the event loop goes idle.

#include <cstdint>

class CCmdUI {
public:
    explicit CCmdUI(uint32_t id) : m_nID(id) {}
    virtual ~CCmdUI() = default;
    virtual void Enable(bool on = true) { m_bEnabled = on; }
    virtual void SetCheck(int check = 1) { m_nCheck = check; }

    uint32_t m_nID;
    bool m_bEnabled = true;  // a command without an update handler stays enabled
    int m_nCheck = 0;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // A menu, toolbar or accelerator command; false when not handled here.
    virtual bool OnCommand(uint32_t /*id*/) { return false; }
    // A notification from an option-bar control; false when not handled here.
    virtual bool OnControlNotify(uint32_t /*controlId*/, uint32_t /*code*/) { return false; }
    // Fills ui for its command; false when this target has no update handler.
    virtual bool OnUpdateCommand(CCmdUI& /*ui*/) { return false; }
};
