#pragma once
// COptionBar: the settings of one tool as a bar below the drawing: combo
// boxes and check boxes with the control identifiers the document reads.
// A change made by the user goes to the main window exactly once, which
// routes it to the document; setting a control from code says nothing.

#include "framework/CommandIds.h"
#include "framework/Services.h"

#include <QToolBar>

#include <functional>
#include <map>

class QCheckBox;
class QComboBox;

class COptionBar : public QToolBar {
public:
    using Notify = std::function<void(uint32_t controlId, uint32_t code)>;

    COptionBar(OptionBar kind, Notify notify, QWidget* parent);

    QComboBox* Combo(uint32_t controlId) const;
    QCheckBox* Check(uint32_t controlId) const;

    // From code, without a notification; out-of-range indexes are clamped.
    void SetComboSelection(uint32_t controlId, int index);
    void SetCheck(uint32_t controlId, bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void AddLabel(const char* text);
    void AddCombo(uint32_t controlId, const char* const* items, int count);
    void AddCheck(uint32_t controlId, const char* text);

    Notify m_notify;
    std::map<uint32_t, QComboBox*> m_combos;
    std::map<uint32_t, QCheckBox*> m_checks;
};
