#include "app/dialog_builder.h"
#include "app/main_dialog.h"
#include "overlay/text_properties_dialog.h"
#include "res/resource_ids.h"
#include "res/text_properties_template.h"
#include "support/bmp_builder.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);

class MainDialogTextPropertiesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        const QString path = dir.filePath("grey.bmp");
        testbmp::WriteSolid(path, 120, 60, 0x808080);
        prompts.AnswerOpenFile(path);
        main.CommandAction(ids::kFileOpen)->trigger();
        ASSERT_TRUE(main.Image().IsLoaded());
    }

    // Opens the dialog the way start does and runs script on it once it is up.
    void RunDialog(const std::function<void()> &start,
                   const std::function<void(TextPropertiesDialog &)> &script)
    {
        bool seen = false;
        QTimer::singleShot(0, qApp, [&] {
            auto *d = qobject_cast<TextPropertiesDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            seen = true;
            script(*d);
            if (d->isVisible())
                d->done(-1);
        });
        start();
        EXPECT_TRUE(seen);
    }

    // Whether the view shows the colour anywhere in the text's box at the top-left corner.
    bool ViewShows(COLORREF color)
    {
        const Surface &view = main.ViewSurface();
        for (int y = 0; y < main.Style().cy && y < view.Height(); ++y)
            for (int x = 0; x < main.Style().cx && x < view.Width(); ++x)
                if (view.GetPixel(x, y) == color)
                    return true;
        return false;
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MainDialog main;
};

TEST_F(MainDialogTextPropertiesTest, OkCopiesTheDialogBackAndEveryEndingRedraws)
{
    auto trigger = [&] {
        main.CommandAction(ids::kEditTextProperties)->trigger();
    };

    // Cancel: the record stays as it was, but the view is drawn again, so a change made behind
    // the view's back shows now.
    main.Style().bgTransparent = 0;
    main.Style().bkColor = kRed;
    main.Style().text = QStringLiteral("WWWW");
    ASSERT_FALSE(ViewShows(kRed));
    RunDialog(trigger, [](TextPropertiesDialog &d) {
        FindControl<QLineEdit>(&d, textprops::kTextEdit)->setText(QStringLiteral("lost"));
        QTest::mouseClick(FindControl<QPushButton>(&d, textprops::kCancelButton), Qt::LeftButton);
    });
    EXPECT_EQ(main.Style().text, QStringLiteral("WWWW"));
    EXPECT_TRUE(ViewShows(kRed));

    // OK: the copy comes back, dragging ends, the view shows the new settings.
    main.Style().x = 0;
    main.Style().selected = 1;
    RunDialog(trigger, [](TextPropertiesDialog &d) {
        FindControl<QLineEdit>(&d, textprops::kTextEdit)->setText(QStringLiteral("MMMM"));
        QTest::mouseClick(FindControl<QCheckBox>(&d, textprops::kBgTransparentCheck),
                          Qt::LeftButton);
        QTest::mouseClick(FindControl<QPushButton>(&d, textprops::kOkButton), Qt::LeftButton);
    });
    EXPECT_EQ(main.Style().text, QStringLiteral("MMMM"));
    EXPECT_EQ(main.Style().bgTransparent, 1);
    EXPECT_EQ(main.Style().selected, 1);
    EXPECT_EQ(main.Style().dragging, 0);
    EXPECT_FALSE(ViewShows(kRed));
    EXPECT_TRUE(ViewShows(kGrey));
}

TEST_F(MainDialogTextPropertiesTest, DoubleClickOnTheTextOpensTheDialogAndKeepsItSelected)
{
    main.DrawView(); // measures the text's box
    ClientArea *client = main.findChild<ClientArea *>();
    ASSERT_NE(client, nullptr);
    const QPointF at(2, 2);
    auto send = [&](QEvent::Type type, Qt::MouseButtons held) {
        QMouseEvent event(type, at, client->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(client, &event);
    };
    RunDialog(
        [&] {
            send(QEvent::MouseButtonPress, Qt::LeftButton);
            send(QEvent::MouseButtonRelease, {});
            send(QEvent::MouseButtonDblClick, Qt::LeftButton);
        },
        [](TextPropertiesDialog &d) {
            EXPECT_EQ(d.style.selected, 1);
            QTest::keyClick(&d, Qt::Key_Escape);
        });
    EXPECT_EQ(main.Style().selected, 1);
    EXPECT_EQ(main.Style().dragging, 0);
}

} // namespace
