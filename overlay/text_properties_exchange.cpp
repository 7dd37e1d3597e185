#include "text_properties_exchange.h"

#include "overlay/alpha_parse.h"
#include "res/text_properties_strings.h"
#include "res/text_properties_template.h"

namespace {

// Longer texts are always put back, whatever the edit holds; shorter ones only when they
// differ, so an equal text keeps the caret and selection where the user left them.
constexpr qsizetype kCompareLimit = 256;

} // namespace

bool TextPropertiesExchange::UpdateData(TextPropertiesControls &controls, bool saveAndValidate,
                                        const TextPropertiesValues &values)
{
    m_inPass = true;
    bool ok = true;
    if (saveAndValidate)
        ok = Read(controls, values);
    else
        Write(controls, values);
    m_inPass = false;
    return ok;
}

bool TextPropertiesExchange::Read(TextPropertiesControls &controls,
                                  const TextPropertiesValues &values)
{
    values.bgTransparentValue = controls.GetCheck(textprops::kBgTransparentCheck);

    const std::optional<std::int32_t> alpha
        = ParseAlphaText(controls.GetText(textprops::kAlphaEdit));
    if (!alpha)
        return Fail(controls, QString::fromUtf8(strings::kTypeAnInteger));
    values.alphaValue = *alpha;
    if (*alpha < kAlphaMin || *alpha > kAlphaMax) {
        return Fail(controls,
                    QString::fromUtf8(strings::kIntegerBetween).arg(kAlphaMin).arg(kAlphaMax));
    }

    values.textValue = controls.GetText(textprops::kTextEdit);
    return true;
}

void TextPropertiesExchange::Write(TextPropertiesControls &controls,
                                   const TextPropertiesValues &values)
{
    if (values.bgTransparentValue < 0 || values.bgTransparentValue > 2)
        values.bgTransparentValue = 0;
    controls.SetCheck(textprops::kBgTransparentCheck, values.bgTransparentValue);
    WriteEdit(controls, textprops::kAlphaEdit, QString::number(values.alphaValue));
    WriteEdit(controls, textprops::kTextEdit, values.textValue);
}

void TextPropertiesExchange::WriteEdit(TextPropertiesControls &controls, int id,
                                       const QString &text)
{
    if (text.size() > kCompareLimit || controls.GetText(id) != text)
        controls.SetText(id, text);
}

bool TextPropertiesExchange::Fail(TextPropertiesControls &controls, const QString &message)
{
    controls.Warn(message);
    controls.FocusAndSelectAll(textprops::kAlphaEdit);
    return false;
}
