#include "app/about_dialog.h"
#include "app/main_dialog.h"
#include "overlay/text_properties_dialog.h"
#include "res/menu_template.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "res/text_properties_template.h"
#include "support/bmp_builder.h"
#include "support/scripted_prompts.h"
#include "support/small_disk.h"
#include "ui/dialog_builder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include <sys/stat.h>

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);

QString Str(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

void WriteGreyPicture(const QString &path, int width, int height)
{
    testbmp::WriteSolid(path, width, height, 0x808080);
}

class MainDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        client = dialog.findChild<ClientArea *>();
        ASSERT_NE(client, nullptr);
    }

    QString Path(const QString &name) const { return dir.filePath(name); }

    void Open(const QString &path)
    {
        prompts.AnswerOpenFile(path);
        dialog.CommandAction(ids::kFileOpen)->trigger();
    }

    // A mouse event at a client point, with the buttons and keys held after it.
    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QMouseEvent event(type, QPointF(at), client->mapToGlobal(QPointF(at)), button, held, keys);
        QApplication::sendEvent(client, &event);
    }
    void Press(QPoint at) { Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
    void MoveHeld(QPoint at) { Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton); }
    void Release(QPoint at) { Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, {}); }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        MoveHeld(to);
        Release(to);
    }

    // Starts what opens a modal dialog of type T and runs script on it once it is up; a script
    // that leaves it open has it closed, so a failed check never hangs the run.
    template<typename T>
    void RunModal(const std::function<void()> &start, const std::function<void(T &)> &script)
    {
        bool seen = false;
        QTimer::singleShot(0, qApp, [&] {
            auto *d = qobject_cast<T *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            seen = true;
            script(*d);
            if (d->isVisible())
                d->done(-1);
        });
        start();
        EXPECT_TRUE(seen);
    }
    std::function<void()> Command(int id)
    {
        return [this, id] {
            dialog.CommandAction(id)->trigger();
        };
    }

    // Whether the view shows the colour anywhere in the text's box at the top-left corner.
    bool ViewShows(COLORREF color)
    {
        const Surface &view = dialog.ViewSurface();
        for (int y = 0; y < dialog.Style().cy && y < view.Height(); ++y)
            for (int x = 0; x < dialog.Style().cx && x < view.Width(); ++x)
                if (view.GetPixel(x, y) == color)
                    return true;
        return false;
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MainDialog dialog;
    ClientArea *client = nullptr;

    // The text's place and the view's state: x, y, selected, dragging.
    using Placement = std::tuple<int, int, int, int>;
    static Placement State(int x, int y, int selected, int dragging)
    {
        return {x, y, selected, dragging};
    }
    Placement State()
    {
        const TextStyle &s = dialog.Style();
        return {s.x, s.y, s.selected, s.dragging};
    }
};

TEST_F(MainDialogTest, StartsWithNoFileAndTheMenuOfItsCommands)
{
    EXPECT_EQ(dialog.windowTitle(), Str("没有打开任何文件"));
    EXPECT_FALSE(dialog.HorizontalBar()->isEnabled());
    EXPECT_FALSE(dialog.VerticalBar()->isEnabled());
    EXPECT_EQ(dialog.ViewSurface().GetPixel(10, 10), RGB(255, 255, 255));
    for (const MenuPopupTemplate &popup : MainMenuTemplate().popups)
        for (const MenuItemTemplate &item : popup.items)
            if (item.id != 0) {
                QAction *action = dialog.CommandAction(item.id);
                ASSERT_NE(action, nullptr) << item.id;
                EXPECT_EQ(action->text(), Str(item.text));
                EXPECT_TRUE(action->isEnabled());
            }
    // The view and the bars share the client area; the corner square is left over.
    EXPECT_EQ(dialog.VerticalBar()->geometry().left() * dialog.ViewScale(), dialog.ViewWidth());
    EXPECT_EQ(dialog.HorizontalBar()->geometry().top() * dialog.ViewScale(), dialog.ViewHeight());
    EXPECT_EQ(dialog.HorizontalBar()->width(), dialog.VerticalBar()->x());
    EXPECT_EQ(dialog.VerticalBar()->height(), dialog.HorizontalBar()->y());
    EXPECT_TRUE(prompts.Requests().empty());
}

TEST_F(MainDialogTest, AboutBoxIsModalAndEndsWithOk)
{
    RunModal<AboutDialog>(Command(ids::kAppAbout), [](AboutDialog &about) {
        FindControl<QPushButton>(&about, IDOK)->click();
    });
    EXPECT_TRUE(dialog.isVisible()); // the main window goes on
}

TEST_F(MainDialogTest, TextPropertiesOkCopiesTheDialogBackAndEveryEndingRedraws)
{
    WriteGreyPicture(Path("grey.bmp"), 120, 60);
    Open(Path("grey.bmp"));
    // Cancel: the record stays as it was, but the view is drawn again, so a change made behind
    // the view's back shows now.
    constexpr COLORREF kRed = RGB(255, 0, 0);
    TextStyle &style = dialog.Style();
    style.bgTransparent = 0;
    style.bkColor = kRed;
    style.text = QStringLiteral("WWWW");
    ASSERT_FALSE(ViewShows(kRed));
    RunModal<TextPropertiesDialog>(Command(ids::kEditTextProperties), [](QDialog &d) {
        FindControl<QLineEdit>(&d, textprops::kTextEdit)->setText(QStringLiteral("lost"));
        QTest::mouseClick(FindControl<QPushButton>(&d, textprops::kCancelButton), Qt::LeftButton);
    });
    EXPECT_EQ(style.text, QStringLiteral("WWWW"));
    EXPECT_TRUE(ViewShows(kRed));

    // OK: the copy comes back, dragging ends, the view shows the new settings.
    style.selected = 1;
    RunModal<TextPropertiesDialog>(Command(ids::kEditTextProperties), [](QDialog &d) {
        FindControl<QLineEdit>(&d, textprops::kTextEdit)->setText(QStringLiteral("MMMM"));
        QTest::mouseClick(FindControl<QCheckBox>(&d, textprops::kBgTransparentCheck),
                          Qt::LeftButton);
        QTest::mouseClick(FindControl<QPushButton>(&d, textprops::kOkButton), Qt::LeftButton);
    });
    EXPECT_EQ(style.text, QStringLiteral("MMMM"));
    EXPECT_EQ(style.bgTransparent, 1);
    EXPECT_EQ(State(), State(0, 0, 1, 0));
    EXPECT_FALSE(ViewShows(kRed));
    EXPECT_TRUE(ViewShows(kGrey));

    // A double click on the text opens the dialog with the text selected, and keeps it so.
    RunModal<TextPropertiesDialog>(
        [&] {
            Press({2, 2});
            Release({2, 2});
            Mouse(QEvent::MouseButtonDblClick, {2, 2}, Qt::LeftButton, Qt::LeftButton);
        },
        [](TextPropertiesDialog &d) {
            EXPECT_EQ(d.style.selected, 1);
            QTest::keyClick(&d, Qt::Key_Escape);
        });
    EXPECT_EQ(State(), State(0, 0, 1, 0));
}

TEST_F(MainDialogTest, EnterEscapeCloseBoxAndExitEndAtOnce)
{
    WriteGreyPicture(Path("a.bmp"), 50, 50);
    Open(Path("a.bmp"));
    Drag({1, 1}, {20, 20}); // unsaved work asks nothing
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    const auto endsBy = [](auto end) {
        MainDialog other;
        other.show();
        end(other);
        return !other.isVisible();
    };
    EXPECT_TRUE(endsBy([](MainDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }));
    EXPECT_TRUE(endsBy([](MainDialog &d) { d.close(); }));
    EXPECT_TRUE(endsBy([](MainDialog &d) { d.CommandAction(ids::kAppExit)->trigger(); }));
    EXPECT_EQ(prompts.Requests().size(), 1u); // the open dialog only

    // After Alt, or Alt+F, Escape closes the open menu, then leaves the menu bar; the next
    // Escape or Enter ends the program.
    for (const auto &[menuKey, last, keys] :
         {std::tuple(Qt::Key_Alt, Qt::Key_Escape, 2), std::tuple(Qt::Key_Alt, Qt::Key_Return, 2),
          std::tuple(Qt::Key_F, Qt::Key_Escape, 3)}) {
        MainDialog other;
        other.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        QTest::keyClick(other.windowHandle(), menuKey, Qt::AltModifier);
        int pressed = 0;
        for (; other.isVisible() && pressed < 5; ++pressed)
            if (QWidget *menu = QApplication::activePopupWidget())
                QTest::keyClick(menu, Qt::Key_Escape);
            else
                QTest::keyClick(other.windowHandle(),
                                other.MenuBar()->activeAction() ? Qt::Key_Escape : last);
        EXPECT_EQ(pressed, keys) << menuKey << " " << last;
    }
}

TEST_F(MainDialogTest, OpenScrollDragAndSaveWritesTheTextWhereItWasDropped)
{
    const QString path = Path("big.bmp");
    WriteGreyPicture(path, 1500, 1000);
    Open(path);
    EXPECT_EQ(dialog.windowTitle(), Str("文件:") + path);
    QScrollBar *h = dialog.HorizontalBar();
    QScrollBar *v = dialog.VerticalBar();
    EXPECT_TRUE(h->isEnabled());
    EXPECT_EQ(h->maximum(), 1500 - dialog.ViewWidth());
    EXPECT_EQ(v->maximum(), 1000 - dialog.ViewHeight());

    // One pixel per arrow, nothing at either end or for a page; the thumb counts when released.
    h->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(h->value(), 0);
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(h->value(), 1);
    h->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(h->value(), 1);
    h->setSliderDown(true);
    h->setSliderPosition(h->maximum());
    EXPECT_EQ(h->value(), 1);
    h->setSliderDown(false);
    EXPECT_EQ(h->value(), h->maximum());
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(h->value(), h->maximum());
    // The view shows the picture's last column with the frame right of it.
    EXPECT_EQ(dialog.ViewSurface().GetPixel(dialog.ViewWidth() - 1, 5), kGrey);
    h->setSliderDown(true);
    h->setSliderPosition(0);
    h->setSliderDown(false);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(v->value(), 1);

    // The text box sits at the picture's corner, one row above the view's top.
    TextStyle &style = dialog.Style();
    style.text = QStringLiteral("VELMORA");
    style.bgTransparent = 0;
    style.bkColor = RGB(0, 0, 0);
    style.textColor = RGB(255, 255, 255);
    dialog.DrawView();
    ASSERT_GT(style.cx, 10);
    Press({3, 3});
    EXPECT_EQ(State(), State(0, 0, 1, 1));
    MoveHeld({203, 103});
    EXPECT_EQ(style.dragCurrent, (POINT {203, 103}));
    Release({250, 150});
    EXPECT_EQ(State(), State(200, 100, 1, 0));

    prompts.AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSave)->trigger();
    EXPECT_EQ(prompts.Requests().back(), PromptRequest::Notice(Str("文件保存成功")));
    EXPECT_EQ(dialog.windowTitle(), Str(strings::kTitleFilePrefix) + path);
    EXPECT_EQ(State(), State(0, 0, 0, 0));
    EXPECT_EQ(v->value(), 0);

    // Read back: the box is black and white at (200, 100), the rest still grey.
    DibImage written;
    ASSERT_TRUE(written.Load(path));
    Surface picture(1500, 1000);
    written.Draw(picture);
    int notGrey = 0;
    for (int y = 100; y < 100 + style.cy; ++y)
        for (int x = 200; x < 200 + style.cx; ++x)
            notGrey += picture.GetPixel(x, y) != kGrey;
    EXPECT_EQ(notGrey, style.cx * style.cy);
    EXPECT_EQ(picture.GetPixel(199, 100), kGrey);
    EXPECT_EQ(picture.GetPixel(0, 0), kGrey);
    EXPECT_EQ(picture.GetPixel(200 + style.cx, 100), kGrey);
}

TEST_F(MainDialogTest, TheDragStateTable)
{
    WriteGreyPicture(Path("s.bmp"), 200, 150);
    Open(Path("s.bmp"));
    TextStyle &style = dialog.Style();
    dialog.DrawView();
    const int cx = style.cx, cy = style.cy;
    ASSERT_GT(cx, 0);

    // The hit box is inclusive: (cx + 1) x (cy + 1).
    Press({cx, cy});
    EXPECT_EQ(State(), State(0, 0, 1, 1));
    Release({cx, cy});
    EXPECT_EQ(State(), State(0, 0, 1, 0));
    Press({cx + 1, 0});
    EXPECT_EQ(State(), State(0, 0, 0, 0));
    Release({cx + 1, 0});

    // Released off the picture: Idle, the text stays. On its very edge: it moves.
    Drag({1, 1}, {300, 10});
    EXPECT_EQ(State(), State(0, 0, 0, 0));
    Drag({1, 1}, {200, 150});
    EXPECT_EQ(State(), State(199, 149, 1, 0));
    Drag({200, 150}, {0, 0}); // back; the box may reach outside the picture
    EXPECT_EQ(State(), State(-1, -1, 1, 0));

    // A move with nothing held abandons the drag; Shift alone still drags.
    Press({5, 5});
    Mouse(QEvent::MouseMove, {40, 40}, Qt::NoButton, {}, Qt::ShiftModifier);
    EXPECT_EQ(State(), State(-1, -1, 1, 1));
    EXPECT_EQ(style.dragCurrent, (POINT {40, 40}));
    Mouse(QEvent::MouseMove, {50, 50}, Qt::NoButton, {});
    EXPECT_EQ(State(), State(-1, -1, 1, 0));
    EXPECT_EQ(style.dragCurrent, style.dragStart);
    Release({50, 50}); // nothing to finish
    EXPECT_EQ(State(), State(-1, -1, 1, 0));

    // A release the view cannot see (outside the window, over a scroll bar) leaves the drag
    // to be abandoned when the pointer comes back with nothing held: the text stays where it
    // was, selected. A release in the corner square below the vertical bar ends it all.
    const QRect hbar = dialog.HorizontalBar()->geometry(), vbar = dialog.VerticalBar()->geometry();
    const std::pair<QPoint, Placement> releases[]
        = {{{-40, -40}, State(-1, -1, 1, 0)},
           {hbar.center(), State(-1, -1, 1, 0)},
           {vbar.center(), State(-1, -1, 1, 0)},
           {{vbar.x() + 2, hbar.y() + 2}, State(-1, -1, 0, 0)}};
    for (const auto &[at, after] : releases) {
        Press({5, 5});
        MoveHeld({100, 100});
        Release(at);
        Mouse(QEvent::MouseMove, {60, 60}, Qt::NoButton, {});
        EXPECT_EQ(State(), after) << at.x() << "," << at.y();
    }

    // The right button deselects; a double click off the text clears the selection only.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
        Press({5, 5});
        Release({5, 5});
        const Qt::MouseButton button
            = type == QEvent::MouseButtonPress ? Qt::RightButton : Qt::LeftButton;
        Mouse(type, {120, 120}, button, button);
        EXPECT_EQ(State(), State(-1, -1, 0, 0)) << type;
        Mouse(QEvent::MouseButtonRelease, {120, 120}, button, {});
    }

    // With no picture only the right button does anything.
    dialog.CommandAction(ids::kFileClose)->trigger();
    Press({5, 5});
    EXPECT_EQ(style.dragging, 0);
    EXPECT_EQ(dialog.ViewSurface().GetPixel(3, 3), RGB(255, 255, 255));
}

TEST_F(MainDialogTest, ResizeResetsTheScrollPositions)
{
    WriteGreyPicture(Path("r.bmp"), 2000, 1500);
    Open(Path("r.bmp"));
    QScrollBar *h = dialog.HorizontalBar();
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(h->value(), 1);
    dialog.resize(dialog.width() + 100, dialog.height() + 50);
    QTRY_COMPARE_WITH_TIMEOUT(h->maximum(), 2000 - dialog.ViewWidth(), 2000);
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(dialog.VerticalBar()->maximum(), 1500 - dialog.ViewHeight());

    // Minimising, maximising and restoring are changes of size too.
    QScrollBar *v = dialog.VerticalBar();
    for (auto change : {&QWidget::showMinimized, &QWidget::showNormal, &QWidget::showMaximized,
                        &QWidget::showNormal}) {
        h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        (dialog.*change)();
        QCoreApplication::processEvents();
        EXPECT_EQ(std::pair(h->value(), v->value()), std::pair(0, 0)) << int(dialog.windowState());
    }

    // A picture no larger than the view: the bars are disabled at 0.
    WriteGreyPicture(Path("small.bmp"), 20, 20);
    Open(Path("small.bmp"));
    EXPECT_FALSE(h->isEnabled());
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(dialog.ViewSurface().GetPixel(30, 5), RGB(255, 255, 255));
}

TEST_F(MainDialogTest, EveryMessageOfTheFileCommands)
{
    // Save and Save As with nothing open.
    prompts.AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSave)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("当前没有打开任何文件,无法保存!")));
    prompts.AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSaveAs)->trigger();
    EXPECT_EQ(prompts.Requests().size(), 2u); // no file dialog

    // A file that cannot be read closes the one that was open and says no file is open.
    const QString good = Path("good.bmp");
    WriteGreyPicture(good, 40, 30);
    Open(good);
    const QString bad = Path("bad.bmp");
    testbmp::WriteFile(bad, {'B', 'M', 1, 2, 3});
    prompts.AnswerOpenFile(bad).AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileOpen)->trigger();
    EXPECT_EQ(prompts.Requests().at(3),
              PromptRequest::FileDialog(PromptKind::OpenFile, Str("BMP文件|*.bmp")));
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + bad + Str(" 读取失败!")));
    EXPECT_FALSE(dialog.Image().IsLoaded());
    EXPECT_EQ(dialog.windowTitle(), Str(strings::kTitleNoFile));
    // So is a FIFO, at once: it is not a regular file.
    const QString fifo = Path("fifo.bmp");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Open(good);
    prompts.AnswerOpenFile(fifo).AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileOpen)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + fifo + Str(" 读取失败!")));
    EXPECT_FALSE(dialog.Image().IsLoaded());

    // Empty text: the question, and No writes nothing.
    Open(good);
    const testbmp::Bytes before = testbmp::ReadFile(good);
    dialog.Style().text.clear();
    prompts.AnswerMessage(MessageAnswer::No);
    dialog.CommandAction(ids::kFileSave)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Question(Str("当前没有文字信息,是否要继续保存文件?")));
    EXPECT_EQ(testbmp::ReadFile(good), before);
    // A text too wide to draw is a failed write: the file stays as it was, the picture open.
    const LOGFONT font = dialog.Style().font;
    dialog.Style().text = QString(20000, QLatin1Char('W'));
    dialog.Style().font.lfHeight = -2048;
    prompts.AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSave)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + good + Str(" 写入失败!")));
    EXPECT_EQ(testbmp::ReadFile(good), before);
    EXPECT_TRUE(dialog.Image().IsLoaded());
    dialog.Style().font = font;
    dialog.Style().text = QStringLiteral("x");

    // The file spoilt between writing and reading back: the re-read message, no file open.
    prompts.AnswerMessage(MessageAnswer::Ok)
        .WhileShown([&] { testbmp::WriteFile(good, {'X'}); })
        .AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSave)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + good + Str(" 在重新读取时失败!")));
    EXPECT_FALSE(dialog.Image().IsLoaded());
    EXPECT_EQ(dialog.windowTitle(), Str(strings::kTitleNoFile));

    // Close: no file, white view.
    WriteGreyPicture(good, 40, 30);
    Open(good);
    dialog.CommandAction(ids::kFileClose)->trigger();
    EXPECT_EQ(dialog.windowTitle(), Str(strings::kTitleNoFile));
    EXPECT_EQ(dialog.ViewSurface().GetPixel(5, 5), RGB(255, 255, 255));
}

TEST_F(MainDialogTest, SaveAsNamesWriteFailuresAndOverwrites)
{
    const QString source = Path("src.bmp");
    WriteGreyPicture(source, 40, 30);
    Open(source);
    dialog.Style().x = 5;

    // A name without ".bmp" gets it; the title is the new path alone.
    prompts.AnswerSaveFile(Path("b")).AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSaveAs)->trigger();
    EXPECT_EQ(prompts.Requests().at(1),
              PromptRequest::FileDialog(PromptKind::SaveFile, Str("位图文件(*.bmp)|*.bmp|")));
    EXPECT_TRUE(QFileInfo::exists(Path("b.bmp")));
    EXPECT_EQ(dialog.windowTitle(), Path("b.bmp"));
    EXPECT_EQ(dialog.Image().GetPath(), Path("b.bmp"));
    EXPECT_EQ(dialog.Style().x, 0);

    // A name ending in ".BMP" is written as chosen.
    prompts.AnswerSaveFile(Path("c.BMP")).AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSaveAs)->trigger();
    EXPECT_TRUE(QFileInfo::exists(Path("c.BMP")));
    EXPECT_FALSE(QFileInfo::exists(Path("c.BMP.bmp")));

    // The longer name exists: asked, and No leaves it alone.
    WriteGreyPicture(Path("d.bmp"), 3, 3);
    const testbmp::Bytes d = testbmp::ReadFile(Path("d.bmp"));
    prompts.AnswerSaveFile(Path("d")).AnswerMessage(MessageAnswer::No);
    dialog.CommandAction(ids::kFileSaveAs)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Question(Str("文件 ") + Path("d.bmp") + Str(" 已存在,是否要覆盖?")));
    EXPECT_EQ(testbmp::ReadFile(Path("d.bmp")), d);
    EXPECT_EQ(dialog.windowTitle(), Path("c.BMP"));

    // A file that cannot be written: the warning, and nothing changes.
    dialog.Style().x = 7;
    const QString nowhere = Path("missing/e.bmp");
    prompts.AnswerSaveFile(nowhere).AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSaveAs)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + nowhere + Str(" 写入失败!")));
    EXPECT_EQ(dialog.windowTitle(), Path("c.BMP"));
    EXPECT_TRUE(dialog.Image().IsLoaded());
    EXPECT_EQ(dialog.Style().x, 7);

    // Save to a folder that went away: the same warning with the open file's path.
    QDir(dir.path()).mkdir(QStringLiteral("gone"));
    const QString inGone = Path("gone/f.bmp");
    WriteGreyPicture(inGone, 10, 10);
    Open(inGone);
    ASSERT_TRUE(QDir(Path("gone")).removeRecursively());
    prompts.AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSave)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + inGone + Str(" 写入失败!")));
    EXPECT_TRUE(dialog.Image().IsLoaded());
    EXPECT_EQ(dialog.windowTitle(), Str(strings::kTitleFilePrefix) + inGone);

    // Save As whose written file cannot be read back.
    prompts.AnswerSaveFile(Path("g")).AnswerMessage(MessageAnswer::Ok).WhileShown([&] {
        testbmp::WriteFile(Path("g.bmp"), {'X'});
    });
    prompts.AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSaveAs)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + Path("g.bmp") + Str(" 读取失败!")));
    EXPECT_EQ(dialog.windowTitle(), Str(strings::kTitleNoFile));
}

// A disk that fills up under Save: the warning, and the picture stays open, shown and whole.
TEST_F(MainDialogTest, SaveOnAFullDiskKeepsThePictureOpenAndTheFileWhole)
{
    QDir(dir.path()).mkdir(QStringLiteral("disk"));
    const SmallDisk disk(Path("disk"), "64k");
    if (!disk.Mounted())
        GTEST_SKIP() << "needs root to mount a small file system";
    const QString path = Path("disk/full.bmp");
    WriteGreyPicture(path, 40, 30);
    const testbmp::Bytes old = testbmp::ReadFile(path);
    disk.Fill();
    Open(path);
    dialog.Style().x = 3;
    prompts.AnswerMessage(MessageAnswer::Ok);
    dialog.CommandAction(ids::kFileSave)->trigger();
    EXPECT_EQ(prompts.Requests().back(),
              PromptRequest::Warning(Str("文件 ") + path + Str(" 写入失败!")));
    EXPECT_EQ(testbmp::ReadFile(path), old);
    EXPECT_EQ(dialog.windowTitle(), Str(strings::kTitleFilePrefix) + path);
    EXPECT_TRUE(dialog.Image().IsLoaded());
    EXPECT_EQ(dialog.Style().x, 3);
    EXPECT_EQ(dialog.ViewSurface().GetPixel(39, 29), kGrey);
}

} // namespace
