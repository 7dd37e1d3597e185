#include "ui/qt_font_color_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs script on the modal dialog of type T as soon as it is up.
template<typename T>
void OnNextDialog(std::function<void(T &)> script)
{
    QTimer::singleShot(0, qApp, [script] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        script(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

TEST(QtColorPrompt, CustomColoursStartWhiteAndCarryOverFromOneOpeningToTheNext)
{
    std::vector<QColor> seen;
    OnNextDialog<QColorDialog>([&](QColorDialog &dialog) {
        EXPECT_EQ(dialog.currentColor(), QColor(10, 20, 30));
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            seen.push_back(QColorDialog::customColor(i));
        QColorDialog::setCustomColor(3, QColor(200, 0, 0));
        dialog.reject();
    });
    EXPECT_EQ(ChooseColorWithDialog(nullptr, RGB(10, 20, 30)), std::nullopt);
    EXPECT_EQ(seen, std::vector<QColor>(16, QColor(255, 255, 255)));

    // Qt's own store is changed behind the run's back; the run's set still wins.
    QColorDialog::setCustomColor(5, QColor(1, 1, 1));
    OnNextDialog<QColorDialog>([&](QColorDialog &dialog) {
        EXPECT_EQ(QColorDialog::customColor(3), QColor(200, 0, 0));
        EXPECT_EQ(QColorDialog::customColor(5), QColor(255, 255, 255));
        dialog.setCurrentColor(QColor(0, 128, 255));
        dialog.accept();
    });
    EXPECT_EQ(ChooseColorWithDialog(nullptr, RGB(0, 0, 0)), RGB(0, 128, 255));
    EXPECT_EQ(RunCustomColors()[3], RGB(200, 0, 0));
}

TEST(QtFontPrompt, RecordSurvivesTheDialogWholeAndChangesComeBackWhole)
{
    const LOGFONT initial {-24, 0,   0, 0, FW_NORMAL,           0,    0,
                           0,   134, 3, 2, ANTIALIASED_QUALITY, 0x22, "DejaVu Sans"};

    // Accepted as it opened: the same record comes back.
    OnNextDialog<QFontDialog>([](QFontDialog &dialog) { dialog.accept(); });
    EXPECT_EQ(ChooseFontWithDialog(nullptr, initial), initial);

    OnNextDialog<QFontDialog>([](QFontDialog &dialog) { dialog.reject(); });
    EXPECT_EQ(ChooseFontWithDialog(nullptr, initial), std::nullopt);

    // Effects chosen in the dialog are part of the record that comes back.
    OnNextDialog<QFontDialog>([](QFontDialog &dialog) {
        QFont font = dialog.currentFont();
        font.setStyleName(QStringLiteral("Bold Oblique"));
        font.setUnderline(true);
        font.setStrikeOut(true);
        dialog.setCurrentFont(font);
        dialog.accept();
    });
    LOGFONT expected = initial;
    expected.lfWeight = FW_BOLD;
    expected.lfItalic = expected.lfUnderline = expected.lfStrikeOut = 1;
    EXPECT_EQ(ChooseFontWithDialog(nullptr, initial), expected);
}

} // namespace
