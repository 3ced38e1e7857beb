#include "NewPaperDlg.h"

#include "Resources.h"
#include "document/Settings.h"
#include "engine/Paper.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The dialog asks for sheets of at least 100 pixels a side, though a paper
// may be smaller.
constexpr int32_t kMinPaper = 100;
constexpr int32_t kMaxPaper = static_cast<int32_t>(kPaperMaxSize);
constexpr int32_t kMinRough = static_cast<int32_t>(kMinRoughness);
constexpr int32_t kMaxRough = static_cast<int32_t>(kMaxRoughness);
constexpr int32_t kArrowStep = 50;
// Ten digits hold every 32-bit number; more could only be refused.
constexpr int kMaxDigits = 10;

bool InRange(int32_t v, uint32_t lo, uint32_t hi)
{
    // Compared without sign, so a negative number is out of range too.
    const uint32_t u = static_cast<uint32_t>(v);
    return u >= lo && u <= hi;
}

}  // namespace

int32_t PaperSizeArrowDelta(int32_t pos, int32_t steps)
{
    int64_t d = int64_t{steps} * kArrowStep;
    if (d <= 0) {
        if (pos + d < kMinPaper) d = kMinPaper - pos;
    } else if (pos + d > kMaxPaper) {
        d = kMaxPaper - pos;
    }
    return static_cast<int32_t>(d);
}

CPaperSpin::CPaperSpin(Rule rule, QWidget* parent) : QAbstractSpinBox(parent), m_rule(rule)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    lineEdit()->setMaxLength(kMaxDigits);
    setMinimumWidth(90);
}

void CPaperSpin::SetValue(int32_t value)
{
    lineEdit()->setText(QString::number(value));
}

bool CPaperSpin::GetValue(int32_t& value) const
{
    bool ok = false;
    const qlonglong n = lineEdit()->text().toLongLong(&ok);
    if (!ok || n > INT32_MAX || n < INT32_MIN) return false;
    value = static_cast<int32_t>(n);
    return true;
}

void CPaperSpin::stepBy(int steps)
{
    const int32_t lo = m_rule == Rule::PaperSize ? kMinPaper : kMinRough;
    const int32_t hi = m_rule == Rule::PaperSize ? kMaxPaper : kMaxRough;
    // Like an arrow control, the position it starts from lies in its range
    // even when the field shows a stored number outside it.
    int32_t pos = lo;
    if (GetValue(pos)) pos = std::clamp(pos, lo, hi);
    const int32_t d = m_rule == Rule::PaperSize ? PaperSizeArrowDelta(pos, steps) : steps;
    SetValue(std::clamp(pos + d, lo, hi));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled CPaperSpin::stepEnabled() const
{
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State CPaperSpin::validate(QString& input, int& /*pos*/) const
{
    for (const QChar c : input)
        if (!c.isDigit() || c.unicode() > '9') return QValidator::Invalid;
    return QValidator::Acceptable;
}

CNewPaperDlg::CNewPaperDlg(IProfile* profile, QWidget* parent) : QDialog(parent), m_profile(profile)
{
    setWindowTitle(res::kNewTitle);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setModal(true);

    m_spinWidth = new CPaperSpin(CPaperSpin::Rule::PaperSize, this);
    m_spinHeight = new CPaperSpin(CPaperSpin::Rule::PaperSize, this);
    m_spinRough = new CPaperSpin(CPaperSpin::Rule::Roughness, this);

    auto* group = new QGroupBox(QStringLiteral("Paper Size"), this);
    auto* sizeGrid = new QGridLayout(group);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Width"), group), 0, 0);
    sizeGrid->addWidget(m_spinWidth, 0, 1);
    sizeGrid->addWidget(new QLabel(QStringLiteral("Height"), group), 1, 0);
    sizeGrid->addWidget(m_spinHeight, 1, 1);

    auto* roughRow = new QGridLayout();
    auto* roughLabel = new QLabel(QStringLiteral("Roughness of Paper"), this);
    roughLabel->setWordWrap(true);
    roughRow->addWidget(roughLabel, 0, 0);
    roughRow->addWidget(m_spinRough, 0, 1);

    m_info = new QLabel(this);
    m_info->setWordWrap(true);
    m_info->setMinimumHeight(m_info->fontMetrics().lineSpacing() * 2);
    m_info->setObjectName(QStringLiteral("info"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewPaperDlg::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(roughRow);
    layout->addWidget(m_info);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_spinWidth, m_spinHeight);
    setTabOrder(m_spinHeight, m_spinRough);

    m_nWidth = ReadSetting(profile, settings::kPaperWidth);
    m_nHeight = ReadSetting(profile, settings::kPaperHeight);
    m_nRough = ReadSetting(profile, settings::kPaperRough);
    UpdateData(false);
    m_spinWidth->setFocus();
}

void CNewPaperDlg::UpdateData(bool saving)
{
    if (saving) {
        // An empty or unreadable field counts as 0, which no range admits,
        // so the user hears about it in the message line.
        if (!m_spinHeight->GetValue(m_nHeight)) m_nHeight = 0;
        if (!m_spinWidth->GetValue(m_nWidth)) m_nWidth = 0;
        if (!m_spinRough->GetValue(m_nRough)) m_nRough = 0;
    } else {
        m_spinHeight->SetValue(m_nHeight);
        m_spinWidth->SetValue(m_nWidth);
        m_spinRough->SetValue(m_nRough);
        m_info->setText(m_strInfo);
    }
}

void CNewPaperDlg::accept()
{
    UpdateData(true);
    m_strInfo.clear();
    if (!InRange(m_nWidth, kMinPaper, kMaxPaper)) {
        m_strInfo = res::kWidthRange;
        m_spinWidth->setFocus();
    } else if (!InRange(m_nHeight, kMinPaper, kMaxPaper)) {
        m_strInfo = res::kHeightRange;
        m_spinHeight->setFocus();
    } else if (!InRange(m_nRough, kMinRough, kMaxRough)) {
        m_strInfo = res::kRoughRange;
        m_spinRough->setFocus();
    }
    // The fields keep what was typed; only the message line changes.
    m_info->setText(m_strInfo);
    if (!m_strInfo.isEmpty()) return;
    WriteSetting(m_profile, settings::kPaperWidth, m_nWidth);
    WriteSetting(m_profile, settings::kPaperHeight, m_nHeight);
    WriteSetting(m_profile, settings::kPaperRough, m_nRough);
    QDialog::accept();
}
