#include "OptionBar.h"

#include "MainToolBar.h"
#include "tools/EraserTool.h"
#include "tools/PencilTool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QSignalBlocker>

#include <algorithm>

COptionBar::COptionBar(OptionBar kind, Notify notify, QWidget* parent)
    : QToolBar(parent), m_notify(std::move(notify))
{
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    switch (kind) {
    case OptionBar::Pencil:
        setObjectName(QStringLiteral("PencilBar"));
        AddLabel("Pencil");
        AddCombo(IDC_PENCIL_GRADE, kGradeNames, kGradeCount);
        AddLabel("Size");
        AddCombo(IDC_PENCIL_WIDTH, kPencilWidthNames, kPencilMaxWidth);
        AddCheck(IDC_SMOOTH, "Smooth");
        AddCheck(IDC_PENCIL_PRESSURE, "Pressure");
        break;
    case OptionBar::Eraser:
        setObjectName(QStringLiteral("EraserBar"));
        AddLabel("Eraser");
        AddCombo(IDC_ERASER_SIZE, kEraserSizeNames, kEraserMaxOption);
        AddLabel("Strength");
        AddCombo(IDC_ERASER_STRENGTH, kEraserStrengthNames, kEraserMaxOption);
        AddCheck(IDC_ERASER_PRESSURE, "Pressure");
        break;
    case OptionBar::Select:
        setObjectName(QStringLiteral("SelectBar"));
        AddCheck(IDC_TRANSPARENT, "Transparent");
        break;
    }
}

void COptionBar::AddLabel(const char* text)
{
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setContentsMargins(6, 0, 3, 0);
    addWidget(label);
}

void COptionBar::AddCombo(uint32_t controlId, const char* const* items, int count)
{
    auto* combo = new QComboBox(this);
    for (int i = 0; i < count; ++i) combo->addItem(QString::fromUtf8(items[i]));
    combo->setCurrentIndex(0);
    combo->setFocusPolicy(Qt::NoFocus);
    combo->setObjectName(QStringLiteral("combo%1").arg(controlId));
    // Every change the user makes, by mouse, wheel or keys, is one
    // selection change; SetComboSelection blocks this while it works.
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, controlId](int) { m_notify(controlId, CBN_SELCHANGE); });
    m_combos[controlId] = combo;
    addWidget(combo);
}

void COptionBar::AddCheck(uint32_t controlId, const char* text)
{
    auto* check = new QCheckBox(QString::fromUtf8(text), this);
    // The text stands left of the box.
    check->setLayoutDirection(Qt::RightToLeft);
    check->setFocusPolicy(Qt::NoFocus);
    check->setObjectName(QStringLiteral("check%1").arg(controlId));
    connect(check, &QCheckBox::clicked, this,
            [this, controlId](bool) { m_notify(controlId, BN_CLICKED); });
    m_checks[controlId] = check;
    addWidget(check);
}

QComboBox* COptionBar::Combo(uint32_t controlId) const
{
    const auto it = m_combos.find(controlId);
    return it == m_combos.end() ? nullptr : it->second;
}

QCheckBox* COptionBar::Check(uint32_t controlId) const
{
    const auto it = m_checks.find(controlId);
    return it == m_checks.end() ? nullptr : it->second;
}

void COptionBar::SetComboSelection(uint32_t controlId, int index)
{
    if (QComboBox* combo = Combo(controlId)) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(std::clamp(index, 0, combo->count() - 1));
    }
}

void COptionBar::SetCheck(uint32_t controlId, bool on)
{
    if (QCheckBox* check = Check(controlId)) {
        const QSignalBlocker quiet(check);
        check->setChecked(on);
    }
}

void COptionBar::paintEvent(QPaintEvent* event)
{
    QToolBar::paintEvent(event);
    DrawTopLine(this);
}
