#pragma once
// CNewPaperDlg: the modal "New" dialog that sizes a new sheet. It offers the
// last accepted width, height and roughness, steps width and height by 50
// with its arrows, and refuses values out of range with a line inside the
// dialog, never a message box. Nothing is stored until all three pass; the
// caller reads m_nWidth, m_nHeight and m_nRough after it ended with OK.

#include <QAbstractSpinBox>
#include <QDialog>
#include <QString>

#include <cstdint>

class IProfile;

class QLabel;
class IProfile;

// The change one arrow press makes to a width or height at position pos:
// 50 a step, stopping exactly at 100 and at 2048.
int32_t PaperSizeArrowDelta(int32_t pos, int32_t steps);

// A number field with arrows that may hold any number of digits typed or
// stored, in range or not; only the arrows keep to the range.
class CPaperSpin : public QAbstractSpinBox {
public:
    enum class Rule { PaperSize, Roughness };

    CPaperSpin(Rule rule, QWidget* parent = nullptr);

    void SetValue(int32_t value);
    // The field's number; false when it is empty or not a number that fits.
    bool GetValue(int32_t& value) const;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    Rule m_rule;
};

class CNewPaperDlg : public QDialog {
public:
    // The sizes start from the profile's and go back to it on OK; no
    // profile, the defaults.
    explicit CNewPaperDlg(IProfile* profile, QWidget* parent = nullptr);

    // OK: check the three values in order and stay open on the first failure.
    void accept() override;

    CPaperSpin* m_spinRough = nullptr;
    CPaperSpin* m_spinWidth = nullptr;
    CPaperSpin* m_spinHeight = nullptr;
    int32_t m_nHeight = 0;
    int32_t m_nWidth = 0;
    int32_t m_nRough = 0;
    QString m_strInfo;

private:
    // Controls to members (saving) or members to controls.
    void UpdateData(bool saving);

    IProfile* m_profile;
    QLabel* m_info = nullptr;
};
