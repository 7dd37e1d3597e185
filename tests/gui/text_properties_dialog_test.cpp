#include "overlay/text_preview.h"
#include "overlay/text_properties_dialog.h"
#include "res/text_properties_template.h"
#include "support/modal_runner.h"
#include "support/scripted_prompts.h"
#include "ui/dialog_builder.h"

#include <QLineEdit>
#include <QScreen>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>

namespace {

auto Record(const TextStyle &s)
{
    return std::tuple(s.text.toStdString(), s.font, s.textColor, s.bkColor, s.alpha,
                      s.bgTransparent, s.x, s.y, s.cx, s.cy, s.selected, s.dragging, s.dragStart,
                      s.dragCurrent);
}

class TextPropertiesDialogTest : public ::testing::Test
{
protected:
    QWidget *Find(int id) { return FindControlWidget(dialog, id); }
    QLineEdit *Edit(int id) { return qobject_cast<QLineEdit *>(Find(id)); }
    // What the window's backing store holds over a control. Nothing is painted for the grab,
    // so a change that was not repainted at once shows as the old picture.
    QImage OnScreen(int id)
    {
        const QRect at(Find(id)->mapTo(dialog, QPoint(0, 0)), Find(id)->size());
        return dialog->screen()->grabWindow(dialog->winId()).toImage().copy(at);
    }

    // The edit command's round on record, with script driving the dialog.
    void Run(const std::function<void()> &script)
    {
        RunModal<TextPropertiesDialog>([&] { EditTextProperties(nullptr, record); },
                                       [&](TextPropertiesDialog &d) {
                                           dialog = &d;
                                           ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
                                           script();
                                       });
    }

    // The controls and the preview on screen show want.
    void Shows(const std::string &after)
    {
        SCOPED_TRACE(after);
        EXPECT_EQ(Edit(textprops::kTextEdit)->text(), want.text);
        EXPECT_EQ(Edit(textprops::kAlphaEdit)->text(), QString::number(want.alpha));
        EXPECT_EQ(dialog->alphaSlider->value(), want.alpha);
        const QImage shown = OnScreen(textprops::kPreviewBox);
        Surface drawn(shown.width(), shown.height());
        RenderPreview(drawn, want);
        EXPECT_TRUE(shown.convertToFormat(QImage::Format_RGB888)
                    == drawn.WrapAsImage().convertToFormat(QImage::Format_RGB888));
    }

    ScriptedPrompts prompts;
    // Every field off what a dialog starts with, so one not shown at opening or not carried
    // through fails (text, x, y, cx, cy, alpha, bgTransparent, dragging, selected, colours, font,
    // drag points).
    TextStyle record {"Ab", 11, -4, 30, 12, 100, 1, 1, 1, 1, 2, {-20}, {7, 8}, {5, 6}};
    TextStyle want = record;
    TextPropertiesDialog *dialog = nullptr;
};

TEST_F(TextPropertiesDialogTest, OpensOnTheRecordShowsEveryChangeAtOnceEscapeDropsEnterKeeps)
{
    // Typed over a selection (from, length) of 100, each warns; the value then. Of 3, 30, 300
    // typed one by one, only the last warns.
    const std::tuple<const char *, int, int, int> rows[]
        = {{"300", 0, 3, 255}, {"-", 0, 0, 0}, {"x", 3, 0, 100}};
    for (int i = 0; i < 3; ++i) // one for each warning
        prompts.AnswerMessage(MessageAnswer::Ok);
    Run([&] {
        Shows("opening");
        for (const auto &[typed, from, length, alpha] : rows) {
            dialog->alphaSlider->setValue(100);
            Edit(textprops::kAlphaEdit)->setSelection(from, length);
            QTest::keyClicks(Edit(textprops::kAlphaEdit), typed);
            want.alpha = alpha;
            Shows(typed);
        }
        QTest::keyClick(Edit(textprops::kAlphaEdit), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_EQ(Record(record), Record(want)); // the last row put alpha back where it started
    const auto range = PromptRequest::Warning("“请填入一个在0和255之间的整数。”");
    EXPECT_EQ(prompts.Requests(),
              (std::vector {range, range, PromptRequest::Warning("请键入一个整数。")}));

    // A larger font than the record's, so the preview shows whether it was taken.
    const LOGFONT chosen {-33};
    prompts.AnswerFont(chosen).AnswerColor(RGB(255, 0, 0)).AnswerColor(RGB(0, 0, 255));
    Run([&] {
        QTest::mouseClick(Find(textprops::kFontButton), Qt::LeftButton);
        want.font = chosen;
        Shows("font chosen");
        // Opaque from here, so the background colour shows in the preview.
        QTest::mouseClick(Find(textprops::kBgTransparentCheck), Qt::LeftButton);
        want.bgTransparent = 0;
        Shows("check box");
        QWidget *fg = Find(textprops::kTextColorSwatch), *bg = Find(textprops::kBkColorSwatch);
        // The swatches take the column right of them and the row below them too.
        QTest::mouseClick(dialog, Qt::LeftButton, {}, fg->mapTo(dialog, QPoint(0, fg->height())));
        QTest::mouseClick(dialog, Qt::LeftButton, {}, bg->mapTo(dialog, QPoint(bg->width(), 0)));
        want.textColor = RGB(255, 0, 0);
        want.bkColor = RGB(0, 0, 255);
        Shows("colours chosen");
        EXPECT_EQ(OnScreen(textprops::kTextColorSwatch).pixelColor(1, 1), QColor(255, 0, 0));
        EXPECT_EQ(OnScreen(textprops::kBkColorSwatch).pixelColor(1, 1), QColor(0, 0, 255));
        QTest::keyClicks(Edit(textprops::kTextEdit), "Cd");
        want.text = "AbCd";
        Shows("typed in the text line");
        dialog->alphaSlider->setValue(want.alpha = 17);
        Shows("slider moved");
        QTest::keyClick(Edit(textprops::kTextEdit), Qt::Key_Return);
    });
    want.dragging = 0;
    EXPECT_EQ(Record(record), Record(want));
}

} // namespace
