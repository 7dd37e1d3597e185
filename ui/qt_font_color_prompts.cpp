#include "qt_font_color_prompts.h"

#include "platform/colorref_qcolor.h"
#include "platform/gdi_font.h"

#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>

#include <cstdlib>

namespace {

COLORREF FromQColor(const QColor &c)
{
    return RGB(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue()));
}

// The font dialog finds its style by name; without one it guesses from the weight and slant,
// and for faces whose upright style is not called "Normal" (DejaVu's "Book") it guesses wrong.
// Naming the installed style that matches the font opens the dialog on the font itself.
QFont WithInstalledStyleName(QFont font)
{
    const QString family = font.family();
    QString best;
    int bestDistance = 0;
    for (const QString &style : QFontDatabase::styles(family)) {
        const QFont installed = QFontDatabase::font(family, style, 12);
        if ((installed.style() != QFont::StyleNormal) != font.italic())
            continue;
        // Same slant; then the nearest weight, a condensed or expanded cut last.
        const int distance = std::abs(installed.weight() - font.weight())
            + (installed.stretch() == font.stretch() ? 0 : 10000);
        if (best.isEmpty() || distance < bestDistance) {
            best = style;
            bestDistance = distance;
        }
    }
    if (!best.isEmpty())
        font.setStyleName(best);
    return font;
}

} // namespace

std::array<COLORREF, 16> &RunCustomColors()
{
    static std::array<COLORREF, 16> colors = [] {
        std::array<COLORREF, 16> white;
        white.fill(RGB(255, 255, 255));
        return white;
    }();
    return colors;
}

std::optional<LOGFONT> ChooseFontWithDialog(QWidget *owner, const LOGFONT &initial)
{
    const QFont shown = WithInstalledStyleName(FontFromLogFont(initial));
    QFontDialog dialog(shown, owner);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // The dialog offers no choice of smoothing and drops it from its result: keep the record's.
    QFont chosen = dialog.selectedFont();
    chosen.setStyleStrategy(shown.styleStrategy());
    return LogFontFromFont(chosen, initial);
}

std::optional<COLORREF> ChooseColorWithDialog(QWidget *owner, COLORREF initial)
{
    // Qt keeps its own process-wide custom colours and may fill them from its settings; ours
    // are put in before every opening and taken back after it, so the run has one set that
    // starts white.
    std::array<COLORREF, 16> &custom = RunCustomColors();
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, ToQColor(custom[std::size_t(i)]));

    QColorDialog dialog(ToQColor(initial), owner);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;

    for (int i = 0; i < QColorDialog::customCount(); ++i)
        custom[std::size_t(i)] = FromQColor(QColorDialog::customColor(i));
    if (!accepted)
        return std::nullopt;
    return FromQColor(dialog.selectedColor());
}
