#include "support/modal_runner.h"
#include "ui/qt_font_color_prompts.h"
#include "ui/qt_prompt_service.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
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

// Each filter entry is shown by its name alone, as the command gives it.
TEST(QtPromptService, FileDialogsShowFilterNamesAsGiven)
{
    QtPromptService service;
    for (const auto &[ask, filter, shown] :
         {std::tuple(&PromptService::GetOpenFileName, "BMP文件|*.bmp", "BMP文件"),
          std::tuple(&PromptService::GetSaveFileName, "位图文件(*.bmp)|*.bmp|",
                     "位图文件(*.bmp)")}) {
        RunModal<QFileDialog>([&] { (service.*ask)(nullptr, QString::fromUtf8(filter)); },
                              [&](QFileDialog &dialog) {
                                  auto *types = dialog.findChild<QComboBox *>("fileTypeCombo");
                                  EXPECT_EQ(types->currentText(), QString::fromUtf8(shown));
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

} // namespace
