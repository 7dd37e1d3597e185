#pragma once

#include <QString>

#include <cstdint>

// What the exchange needs of the text properties dialog's controls, by control id, so the
// exchange runs without widgets in tests.
class TextPropertiesControls
{
public:
    virtual ~TextPropertiesControls() = default;

    virtual int GetCheck(int id) const = 0;       // 0 unchecked, 1 checked
    virtual void SetCheck(int id, int state) = 0; // 0, 1, or 2 (indeterminate)
    virtual QString GetText(int id) const = 0;    // an edit's whole text
    virtual void SetText(int id, const QString &text) = 0;
    // A warning: exclamation icon, OK, the program's title; returns once dismissed.
    virtual void Warn(const QString &message) = 0;
    // Keyboard focus to the edit, its whole text selected.
    virtual void FocusAndSelectAll(int id) = 0;
};

// The dialog members the exchange ties to controls.
struct TextPropertiesValues
{
    std::int32_t &bgTransparentValue;
    std::int32_t &alphaValue;
    QString &textValue;
};

// The dialog's data exchange: check box 1004, then edit 1005 as a number with its range check
// on reading, then edit 1010. A failed read warns, puts the focus on the transparency edit and
// stops, leaving the later members as they were. While a pass runs, InPass() is true, and the
// dialog's change handlers must ignore the notifications its own writes raise.
class TextPropertiesExchange
{
public:
    static constexpr std::int32_t kAlphaMin = 0;
    static constexpr std::int32_t kAlphaMax = 255;

    // saveAndValidate: true reads the controls into the members, false writes the members to
    // the controls. False when a read failed.
    bool UpdateData(TextPropertiesControls &controls, bool saveAndValidate,
                    const TextPropertiesValues &values);

    bool InPass() const { return m_inPass; }

private:
    bool Read(TextPropertiesControls &controls, const TextPropertiesValues &values);
    void Write(TextPropertiesControls &controls, const TextPropertiesValues &values);
    static void WriteEdit(TextPropertiesControls &controls, int id, const QString &text);
    static bool Fail(TextPropertiesControls &controls, const QString &message);

    bool m_inPass = false;
};
