#include "res/dialog_template.h"
#include "support/modal_runner.h"
#include "ui/dialog_builder.h"
#include "ui/file_filter.h"
#include "ui/qt_font_color_prompts.h"
#include "ui/qt_prompt_service.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

TEST(QtPromptService, MessageBoxesHaveTheirIconCaptionAndButtons)
{
    using Box = QMessageBox;
    using Show = MessageAnswer (PromptService::*)(QWidget *, const QString &);
    const QString text = QString::fromUtf8("文件 /a&b.bmp 读取失败!");
    QtPromptService service;
    for (const auto &[show, press, answer, caption, icon, buttons] :
         {std::tuple<Show, Box::StandardButton, MessageAnswer, const char *, Box::Icon, int> {
              &PromptService::Warning, Box::Ok, MessageAnswer::Ok, "velmora", Box::Warning,
              Box::Ok},
          {&PromptService::Question, Box::No, MessageAnswer::No, "询问", Box::NoIcon,
           Box::Yes | Box::No},
          {&PromptService::Question, Box::Yes, MessageAnswer::Yes, "询问", Box::NoIcon,
           Box::Yes | Box::No},
          {&PromptService::Notice, Box::Ok, MessageAnswer::Ok, "", Box::NoIcon, Box::Ok}}) {
        RunModal<Box>([&] { EXPECT_EQ((service.*show)(nullptr, text), answer); },
                      [&](Box &box) {
                          EXPECT_EQ(std::tuple(box.text(), box.windowTitle(), box.icon(),
                                               int(box.standardButtons())),
                                    std::tuple(text, QString::fromUtf8(caption), icon, buttons));
                          box.button(press)->click();
                      });
    }
}

// Fields a Qt font has no place for come back as they went in, with a change made in the dialog.
TEST(QtFontPrompt, RecordSurvivesTheDialogWhole)
{
    const LOGFONT initial {-24, 0,   0, 0, FW_NORMAL,           0,    0,
                           0,   134, 3, 2, ANTIALIASED_QUALITY, 0x22, "DejaVu Sans"};
    LOGFONT underlined = initial;
    underlined.lfUnderline = 1;
    std::optional<LOGFONT> chosen;
    RunModal<QFontDialog>([&] { chosen = ChooseFontWithDialog(nullptr, initial); },
                          [&](QFontDialog &dialog) {
                              QFont font = dialog.currentFont();
                              font.setUnderline(true);
                              dialog.setCurrentFont(font);
                              dialog.accept();
                          });
    EXPECT_EQ(chosen, underlined);
}

TEST(DialogBuilder, DialogUnitsComeFromTheFallbackFont)
{
    const QFont font = DialogFont({0, "", "宋体", 9, {}, 0, 0, 0, {}});
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8("文泉驿微米黑")); // in Chinese
    const DialogBaseUnits units = BaseUnitsFor(font);
    ASSERT_GT(units.x * units.y, 0);
    // x by a quarter of the average width, y by an eighth of the height, rounded.
    EXPECT_EQ(DialogUnitsToPixels({4, 8, 40, 16}, units),
              QRect(units.x, units.y, 10 * units.x, 2 * units.y));
    EXPECT_EQ(DialogUnitsToPixels({2, 0, 0, 0}, {7, 16}).x(), 4); // 3.5 rounds up
}

// The program's own filters are checked in its file dialogs; here what they do not show: more
// than one entry, patterns joined by ";", the empty filter.
TEST(FileFilter, TurnsCommandFiltersIntoQtFilters)
{
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("图片|*.bmp;*.dib|全部|*.*||")),
              QStringLiteral("图片 (*.bmp *.dib);;全部 (*.*)"));
    EXPECT_EQ(ToQtFileFilter(QString()), QString());
}

} // namespace
