#include "support/modal_runner.h"
#include "ui/qt_font_color_prompts.h"

#include <QColorDialog>
#include <QFontDialog>

namespace {

// The run's 16 custom colours start white and carry over from one opening to the next, even
// when Qt's own store is changed behind the run's back.
TEST(QtColorPrompt, CustomColoursAreTheRunsOwn)
{
    std::optional<COLORREF> chosen = RGB(1, 1, 1);
    RunModal<QColorDialog>([&] { chosen = ChooseColorWithDialog(nullptr, RGB(10, 20, 30)); },
                           [](QColorDialog &dialog) {
                               EXPECT_EQ(dialog.currentColor(), QColor(10, 20, 30));
                               for (int i = 0; i < QColorDialog::customCount(); ++i)
                                   EXPECT_EQ(QColorDialog::customColor(i), Qt::white) << i;
                               QColorDialog::setCustomColor(3, QColor(200, 0, 0));
                           });
    EXPECT_EQ(chosen, std::nullopt);
    QColorDialog::setCustomColor(5, QColor(1, 1, 1));
    RunModal<QColorDialog>([&] { chosen = ChooseColorWithDialog(nullptr, RGB(0, 0, 0)); },
                           [](QColorDialog &dialog) {
                               EXPECT_EQ(QColorDialog::customColor(3), QColor(200, 0, 0));
                               EXPECT_EQ(QColorDialog::customColor(5), Qt::white);
                               dialog.setCurrentColor(QColor(0, 128, 255));
                               dialog.accept();
                           });
    EXPECT_EQ(chosen, RGB(0, 128, 255));
}

// Accepted as it opened, the same record comes back, fields Qt has no place for included; a
// change made in the dialog comes back with them.
TEST(QtFontPrompt, RecordSurvivesTheDialogWholeAndChangesComeBackWhole)
{
    const LOGFONT initial {-24, 0,   0, 0, FW_NORMAL,           0,    0,
                           0,   134, 3, 2, ANTIALIASED_QUALITY, 0x22, "DejaVu Sans"};
    LOGFONT underlined = initial;
    underlined.lfUnderline = 1;
    for (const auto &[underline, accept, expected] :
         {std::tuple(false, true, std::optional(initial)),
          std::tuple(false, false, std::optional<LOGFONT>()),
          std::tuple(true, true, std::optional(underlined))}) {
        std::optional<LOGFONT> chosen;
        RunModal<QFontDialog>([&] { chosen = ChooseFontWithDialog(nullptr, initial); },
                              [&](QFontDialog &dialog) {
                                  QFont font = dialog.currentFont();
                                  font.setUnderline(true);
                                  if (underline)
                                      dialog.setCurrentFont(font);
                                  accept ? dialog.accept() : dialog.reject();
                              });
        EXPECT_EQ(chosen, expected) << underline << accept;
    }
}

} // namespace
