#include "overlay/text_preview.h"
#include "overlay/text_properties_dialog.h"
#include "res/text_properties_template.h"
#include "support/bmp_builder.h"
#include "support/scripted_prompts.h"
#include "ui/dialog_builder.h"
#include "ui/prompt_service.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

const QString kTypeAnInteger = QString::fromUtf8("请键入一个整数。");
const QString kRange = QString::fromUtf8("“请填入一个在0和255之间的整数。”");

class TextPropertiesDialogTest : public ::testing::Test
{
protected:
    template<typename T>
    T *Find(int id)
    {
        return FindControl<T>(&dialog, id);
    }
    QLineEdit *AlphaEdit() { return Find<QLineEdit>(textprops::kAlphaEdit); }
    QLineEdit *TextEdit() { return Find<QLineEdit>(textprops::kTextEdit); }

    // Runs the dialog modally with the script driving it; a script that leaves the dialog
    // open has it closed with -1, so a failed check never hangs the run.
    int Run(const std::function<void()> &script)
    {
        QTimer::singleShot(0, &dialog, [&] {
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            script();
            if (dialog.isVisible())
                dialog.done(-1);
        });
        return dialog.DoModal();
    }

    // Whether the preview box shows exactly the preview drawn for the dialog's style.
    ::testing::AssertionResult PreviewShowsStyle()
    {
        QWidget *box = Find<QWidget>(textprops::kPreviewBox);
        Surface shown(box->width(), box->height()), drawn(box->width(), box->height());
        QImage image = shown.WrapAsImage();
        QPainter(&image).drawImage(0, 0, box->grab().toImage());
        RenderPreview(drawn, dialog.style);
        return testbmp::SamePixelsAs(shown, drawn, box->width(), box->height());
    }

    QColor SwatchColor(int id)
    {
        QWidget *swatch = Find<QWidget>(id);
        return swatch->grab().toImage().pixelColor(swatch->width() / 2, swatch->height() / 2);
    }

    std::vector<COLORREF> ColorsAsked() const
    {
        std::vector<COLORREF> colors;
        for (const PromptRequest &request : prompts.Requests())
            if (request.kind == PromptKind::Color)
                colors.push_back(*request.color);
        return colors;
    }

    ScriptedPrompts prompts;
    TextPropertiesDialog dialog;
};

enum class Edit { Paste, TypeOver, TypeAtStart, TypeAtEnd };

struct EditRow
{
    Edit edit;
    const char *input;
    const char *editAfter;
    int alphaAfter;
    const QString *message;
};

TEST_F(TextPropertiesDialogTest, TransparencyTextIsCheckedAtEveryChangeAndClampedOrRestored)
{
    // The parse itself is covered below the dialog; here: clamping, restoring, focus, preview.
    // Typed text is checked at each keystroke: of 3, 30, 300 only the last warns.
    const EditRow rows[] = {
        {Edit::Paste, "300", "255", 255, &kRange},
        {Edit::Paste, "-5", "0", 0, &kRange},
        {Edit::Paste, "", "100", 100, &kTypeAnInteger},
        {Edit::Paste, "12a", "100", 100, &kTypeAnInteger},
        {Edit::Paste, "+12", "12", 12, nullptr},
        {Edit::Paste, "0", "0", 0, nullptr},
        {Edit::TypeOver, "300", "255", 255, &kRange},
        {Edit::TypeAtStart, "-", "0", 0, &kRange},
        {Edit::TypeAtEnd, "x", "100", 100, &kTypeAnInteger},
    };
    TextStyle start;
    start.alpha = 100;
    dialog.SetStyle(start);
    Run([&] {
        for (const EditRow &row : rows) {
            SCOPED_TRACE(testing::Message() << int(row.edit) << " " << row.input);
            // Back to 100 through the slider, then the edit.
            dialog.alphaSlider->setValue(100);
            ASSERT_EQ(AlphaEdit()->text(), QStringLiteral("100"));
            prompts.ClearRequests();
            if (row.message)
                prompts.AnswerMessage(MessageAnswer::Ok);
            TextEdit()->setFocus(); // a failed check moves the focus to the transparency edit
            AlphaEdit()->selectAll();
            if (row.edit == Edit::TypeAtStart)
                AlphaEdit()->home(false);
            if (row.edit == Edit::TypeAtEnd)
                AlphaEdit()->end(false);
            if (row.edit != Edit::Paste) {
                QTest::keyClicks(AlphaEdit(), row.input);
            } else if (*row.input) {
                QApplication::clipboard()->setText(QString::fromUtf8(row.input));
                AlphaEdit()->paste();
            } else {
                QTest::keyClick(AlphaEdit(), Qt::Key_Delete);
            }
            EXPECT_EQ(AlphaEdit()->text(), QString::fromUtf8(row.editAfter));
            EXPECT_EQ(dialog.alphaSlider->value(), row.alphaAfter);
            EXPECT_EQ(dialog.style.alpha, row.alphaAfter);
            EXPECT_EQ(dialog.alphaValue, row.alphaAfter);
            if (row.message) {
                EXPECT_EQ(prompts.Requests(),
                          std::vector<PromptRequest> {PromptRequest::Warning(*row.message)});
                EXPECT_EQ(QApplication::focusWidget(), AlphaEdit());
            } else {
                EXPECT_TRUE(prompts.Requests().empty());
                EXPECT_EQ(QApplication::focusWidget(), TextEdit());
            }
            EXPECT_TRUE(PreviewShowsStyle());
        }
    });
}

TEST_F(TextPropertiesDialogTest, SliderEditAndPreviewStayInStep)
{
    dialog.SetStyle(TextStyle());
    Run([&] {
        EXPECT_EQ(dialog.alphaSlider->minimum(), 0);
        EXPECT_EQ(dialog.alphaSlider->maximum(), 255);
        EXPECT_EQ(dialog.alphaSlider->value(), 255);
        EXPECT_EQ(AlphaEdit()->text(), QStringLiteral("255"));
        EXPECT_TRUE(PreviewShowsStyle());

        // Dragging reports every position while the thumb moves.
        dialog.alphaSlider->setSliderDown(true);
        for (int position : {200, 150, 17}) {
            dialog.alphaSlider->setSliderPosition(position);
            EXPECT_EQ(AlphaEdit()->text(), QString::number(position));
            EXPECT_EQ(dialog.style.alpha, position);
            EXPECT_TRUE(PreviewShowsStyle()) << position;
        }
        dialog.alphaSlider->setSliderDown(false);

        // Keys as on the platform's trackbar: Left, Up and Page Up lower the value, Right, Down
        // and Page Down raise it; a page is a fifth of the range.
        dialog.alphaSlider->setFocus();
        const std::pair<Qt::Key, int> keys[]
            = {{Qt::Key_Right, 18}, {Qt::Key_Left, 17},     {Qt::Key_Up, 16},
               {Qt::Key_Down, 17},  {Qt::Key_PageDown, 68}, {Qt::Key_PageUp, 17},
               {Qt::Key_PageUp, 0}, {Qt::Key_End, 255},     {Qt::Key_Down, 255}};
        for (const auto &[key, alpha] : keys) {
            QTest::keyClick(dialog.alphaSlider, key);
            EXPECT_EQ(AlphaEdit()->text(), QString::number(alpha)) << key;
        }
        EXPECT_TRUE(prompts.Requests().empty());
        EXPECT_TRUE(PreviewShowsStyle());

        // The check box and the text line reach the preview too.
        QTest::mouseClick(Find<QCheckBox>(textprops::kBgTransparentCheck), Qt::LeftButton);
        EXPECT_EQ(dialog.style.bgTransparent, 0);
        EXPECT_EQ(dialog.bgTransparentValue, 0);
        TextEdit()->setFocus();
        TextEdit()->selectAll();
        QTest::keyClicks(TextEdit(), "Ab");
        EXPECT_EQ(dialog.style.text, QStringLiteral("Ab"));
        EXPECT_TRUE(PreviewShowsStyle());
        QTest::mouseClick(Find<QCheckBox>(textprops::kBgTransparentCheck), Qt::LeftButton);
        EXPECT_EQ(dialog.style.bgTransparent, 1);
        EXPECT_TRUE(PreviewShowsStyle());
    });
}

TEST_F(TextPropertiesDialogTest, OnlyOkWritesTheCopyBackIntoTheRecord)
{
    struct Ending
    {
        const char *name;
        std::function<void(QDialog &)> end;
        bool writtenBack;
    };
    const auto click = [](int id) {
        return [id](QDialog &d) {
            QTest::mouseClick(FindControl<QWidget>(&d, id), Qt::LeftButton);
        };
    };
    const auto key = [](int id, Qt::Key k) {
        return [id, k](QDialog &d) {
            QTest::keyClick(id ? FindControl<QWidget>(&d, id) : &d, k);
        };
    };
    const Ending endings[] = {
        {"ok button", click(textprops::kOkButton), true},
        {"enter in the text edit", key(textprops::kTextEdit, Qt::Key_Return), true},
        {"cancel button", click(textprops::kCancelButton), false},
        {"escape", key(0, Qt::Key_Escape), false},
        {"close box", [](QDialog &d) { d.close(); }, false},
    };
    for (const Ending &ending : endings) {
        SCOPED_TRACE(ending.name);
        TextStyle record;
        std::tie(record.x, record.y, record.cx, record.cy) = std::tuple(11, -4, 30, 12);
        record.selected = record.dragging = 1;
        record.dragStart = {5, 6};
        record.dragCurrent = {7, 8};
        const TextStyle before = record;
        LOGFONT font;
        font.lfHeight = -40;
        prompts.AnswerFont(font).AnswerColor(RGB(9, 9, 9));

        QTimer::singleShot(0, qApp, [&] {
            auto *d = qobject_cast<TextPropertiesDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            QTest::mouseClick(FindControl<QPushButton>(d, textprops::kFontButton), Qt::LeftButton);
            QWidget *bg = FindControl<QWidget>(d, textprops::kBkColorSwatch);
            QTest::mouseClick(d, Qt::LeftButton, {}, bg->mapTo(d, QPoint(1, 1)));
            FindControl<QLineEdit>(d, textprops::kTextEdit)->setText(QStringLiteral("new"));
            FindControl<QLineEdit>(d, textprops::kTextEdit)->setFocus();
            d->alphaSlider->setValue(40);
            QTest::mouseClick(FindControl<QCheckBox>(d, textprops::kBgTransparentCheck),
                              Qt::LeftButton);
            ending.end(*d);
            if (d->isVisible())
                d->done(-1);
        });
        const int result = EditTextProperties(nullptr, record);
        EXPECT_EQ(result, ending.writtenBack ? IDOK : IDCANCEL);
        const bool ok = ending.writtenBack;
        EXPECT_EQ(record.text, ok ? QStringLiteral("new") : before.text);
        EXPECT_EQ(record.font, ok ? font : before.font);
        EXPECT_EQ(record.bkColor, ok ? RGB(9, 9, 9) : before.bkColor);
        EXPECT_EQ(record.alpha, ok ? 40 : before.alpha);
        EXPECT_EQ(record.bgTransparent, ok ? 0 : before.bgTransparent);
        EXPECT_EQ(record.dragging, ok ? 0 : 1);
        // Carried through either way.
        EXPECT_EQ(std::tuple(record.x, record.y, record.selected), std::tuple(11, -4, 1));
        EXPECT_EQ(record.dragStart, (POINT {5, 6}));
        EXPECT_EQ(record.dragCurrent, (POINT {7, 8}));
    }
}

TEST_F(TextPropertiesDialogTest, NoButtonIsDefaultAndEnterPressesTheFocusedOne)
{
    // (Enter in the text edit is one of the endings above.)
    dialog.SetStyle(TextStyle());
    prompts.AnswerFont(std::nullopt);
    Run([&] {
        // No button is drawn as the default one, wherever the focus is.
        for (int id :
             {textprops::kBgTransparentCheck, textprops::kAlphaEdit, textprops::kAlphaSlider,
              textprops::kTextEdit, textprops::kCancelButton, textprops::kFontButton}) {
            Find<QWidget>(id)->setFocus();
            for (QPushButton *button : dialog.findChildren<QPushButton *>())
                EXPECT_FALSE(button->isDefault()) << id << " " << button->text().toStdString();
        }
        // The focus starts on the font button: Enter opens the font dialog.
        EXPECT_EQ(QApplication::focusWidget(), Find<QWidget>(textprops::kFontButton));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_EQ(prompts.Requests().size(), 1u);
        EXPECT_EQ(prompts.Requests()[0].kind, PromptKind::Font);
        EXPECT_TRUE(dialog.isVisible());
    });
}

TEST_F(TextPropertiesDialogTest, FontAndColoursComeBackWholeOrNotAtAll)
{
    TextStyle start;
    start.textColor = RGB(1, 2, 3);
    start.font.lfHeight = -20;
    dialog.SetStyle(start);
    // Every field differs from the start, so a field lost on the way shows.
    const LOGFONT chosen {
        -33, 7, 1, 2, FW_BOLD, 1, 1, 1, 134, 3, 2, NONANTIALIASED_QUALITY, 0x31, "DejaVu Sans"};
    prompts.AnswerFont(std::nullopt).AnswerFont(chosen);
    prompts.AnswerColor(std::nullopt).AnswerColor(RGB(255, 0, 0)).AnswerColor(RGB(0, 0, 255));

    Run([&] {
        QPushButton *fontButton = Find<QPushButton>(textprops::kFontButton);
        QTest::mouseClick(fontButton, Qt::LeftButton);
        EXPECT_EQ(dialog.style.font, start.font); // cancelled
        QTest::mouseClick(fontButton, Qt::LeftButton);
        EXPECT_EQ(dialog.style.font, chosen);
        ASSERT_EQ(prompts.Requests().size(), 2u);
        EXPECT_EQ(prompts.Requests()[0].font, start.font);
        EXPECT_TRUE(PreviewShowsStyle());

        QWidget *fg = Find<QWidget>(textprops::kTextColorSwatch);
        QWidget *bg = Find<QWidget>(textprops::kBkColorSwatch);
        const QPoint fgCentre = fg->mapTo(&dialog, fg->rect().center());
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, fgCentre);
        EXPECT_EQ(dialog.style.textColor, RGB(1, 2, 3)); // cancelled
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, fgCentre);
        EXPECT_EQ(dialog.style.textColor, RGB(255, 0, 0));
        EXPECT_EQ(SwatchColor(textprops::kTextColorSwatch), QColor(255, 0, 0));
        // A click on the column just right of the background swatch still counts.
        const QPoint bgRightEdge = bg->mapTo(&dialog, QPoint(bg->width(), bg->height() / 2));
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, bgRightEdge);
        EXPECT_EQ(dialog.style.bkColor, RGB(0, 0, 255));
        EXPECT_EQ(SwatchColor(textprops::kBkColorSwatch), QColor(0, 0, 255));
        EXPECT_EQ(ColorsAsked(),
                  (std::vector<COLORREF> {RGB(1, 2, 3), RGB(1, 2, 3), RGB(255, 255, 255)}));
        EXPECT_TRUE(PreviewShowsStyle());

        // Elsewhere on the dialog a click opens nothing.
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(ColorsAsked().size(), 3u);
    });
}

TEST_F(TextPropertiesDialogTest, SwatchHitTestIncludesTheColumnAndRowPastItsEdges)
{
    dialog.SetStyle(TextStyle());
    Run([&] {
        for (int id : {textprops::kTextColorSwatch, textprops::kBkColorSwatch}) {
            QWidget *swatch = Find<QWidget>(id);
            const QPoint tl = swatch->mapTo(&dialog, QPoint(0, 0));
            const int r = tl.x() + swatch->width(), b = tl.y() + swatch->height(); // exclusive
            const int mx = tl.x() + swatch->width() / 2, my = tl.y() + swatch->height() / 2;
            for (QPoint in : {tl, QPoint(r, b), QPoint(r, my), QPoint(mx, b)})
                EXPECT_TRUE(dialog.IsPointOnControl(id, in)) << in.x() << "," << in.y();
            for (QPoint out : {QPoint(r + 1, my), QPoint(mx, b + 1), QPoint(tl.x() - 1, my),
                               QPoint(mx, tl.y() - 1)})
                EXPECT_FALSE(dialog.IsPointOnControl(id, out)) << out.x() << "," << out.y();
        }
        // The row just below the foreground swatch is its own, not the background's.
        QWidget *fg = Find<QWidget>(textprops::kTextColorSwatch);
        const QPoint below = fg->mapTo(&dialog, QPoint(fg->width() / 2, fg->height()));
        EXPECT_FALSE(dialog.IsPointOnControl(textprops::kBkColorSwatch, below));
        prompts.AnswerColor(std::nullopt);
        QTest::mouseClick(&dialog, Qt::LeftButton, {}, below);
        EXPECT_EQ(ColorsAsked(), (std::vector<COLORREF> {RGB(0, 0, 0)}));
    });
}

} // namespace
