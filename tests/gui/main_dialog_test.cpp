#include "app/main_dialog.h"
#include "overlay/text_properties_dialog.h"
#include "res/resource_ids.h"
#include "support/bmp_builder.h"
#include "support/modal_runner.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128), kWhite = RGB(255, 255, 255);
const QString kNoFile = "没有打开任何文件", kTitle = "文件:";

using Placement = std::tuple<int, int, int, int>; // the text's x, y, selected, dragging
enum Mouse { Down, Held, Shift, Free, Up, Right, Double };

class MainDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { dialog.show(); }
    QString Path(const char *name) const { return dir.filePath(name); }
    void Run(int id) { dialog.CommandAction(id)->trigger(); }
    QString OpenGrey(const char *name, int width, int height)
    {
        testbmp::WriteSolid(Path(name), width, height, 0x808080);
        prompts.AnswerOpenFile(Path(name));
        Run(ids::kFileOpen);
        return Path(name);
    }
    COLORREF ViewPixel(int x, int y) const { return dialog.ViewSurface().GetPixel(x, y); }
    // A mouse event at a client point; the state it leaves.
    Placement Send(Mouse kind, QPoint at)
    {
        using E = QEvent;
        static const std::tuple<E::Type, Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers>
            kEvents[] = {{E::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {}},
                         {E::MouseMove, Qt::NoButton, Qt::LeftButton, {}},
                         {E::MouseMove, Qt::NoButton, {}, Qt::ShiftModifier},
                         {E::MouseMove, Qt::NoButton, {}, {}},
                         {E::MouseButtonRelease, Qt::LeftButton, {}, {}},
                         {E::MouseButtonPress, Qt::RightButton, Qt::RightButton, {}},
                         {E::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, {}}};
        const auto [type, button, held, keys] = kEvents[kind];
        auto *client = dialog.findChild<ClientArea *>();
        QMouseEvent event(type, QPointF(at), client->mapToGlobal(QPointF(at)), button, held, keys);
        QApplication::sendEvent(client, &event);
        const TextStyle &s = dialog.Style();
        return {s.x, s.y, s.selected, s.dragging};
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    MainDialog dialog;
};

TEST_F(MainDialogTest, OpenScrollDragAndSaveWritesTheTextWhereItWasDropped)
{
    const QString path = OpenGrey("big.bmp", 1500, 1000);
    QScrollBar *h = dialog.HorizontalBar(), *v = dialog.VerticalBar();
    const int last = 1500 - dialog.ViewWidth();
    EXPECT_EQ(std::pair(h->maximum(), v->maximum()), std::pair(last, 1000 - dialog.ViewHeight()));
    // One pixel per arrow, nothing for a page.
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    h->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(h->value(), 1);
    h->setValue(last);
    EXPECT_EQ(ViewPixel(dialog.ViewWidth() - 1, 5), kGrey); // the last column, not the frame
    h->setValue(0);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);

    // The text box sits at the picture's corner, one row above the view's top.
    dialog.Style().text = QStringLiteral("VELMORA");
    dialog.Style().bgTransparent = 0;
    dialog.DrawView();
    EXPECT_EQ(Send(Down, {3, 3}), Placement(0, 0, 1, 1));
    Send(Held, {203, 103});
    EXPECT_EQ(Send(Up, {250, 150}), Placement(200, 100, 1, 0));
    prompts.AnswerMessage(MessageAnswer::Ok);
    Run(ids::kFileSave);
    EXPECT_EQ(prompts.Requests().back(), PromptRequest::Notice("文件保存成功"));
    EXPECT_EQ(dialog.windowTitle(), kTitle + path);
    EXPECT_EQ(std::pair(Send(Free, {1, 1}), v->value()), std::pair(Placement(0, 0, 0, 0), 0));
    // Read back: the box's corner is white (its background), the pixel left of it grey.
    DibImage saved;
    ASSERT_TRUE(saved.Load(path));
    Surface picture(1500, 1000);
    saved.Draw(picture);
    EXPECT_EQ(std::pair(picture.GetPixel(200, 100), picture.GetPixel(199, 100)),
              std::pair(kWhite, kGrey));

    // A change of size puts the view back to the start.
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    dialog.resize(dialog.width() + 100, dialog.height() + 50);
    EXPECT_EQ(std::pair(h->maximum(), h->value()), std::pair(1500 - dialog.ViewWidth(), 0));

    // Save As adds ".bmp" only where it is missing; the title is then the path alone.
    for (auto [chosen, named] : {std::pair("b", "b.bmp"), std::pair("c.BMP", "c.BMP")}) {
        dialog.Style().x = 5;
        prompts.AnswerSaveFile(Path(chosen)).AnswerMessage(MessageAnswer::Ok);
        Run(ids::kFileSaveAs);
        EXPECT_EQ(std::pair(dialog.windowTitle(), dialog.Style().x), std::pair(Path(named), 0));
    }
    EXPECT_EQ(std::pair(prompts.Requests().at(0), prompts.Requests().at(2)),
              std::pair(PromptRequest::FileDialog(PromptKind::OpenFile, "BMP文件|*.bmp"),
                        PromptRequest::FileDialog(PromptKind::SaveFile, "位图文件(*.bmp)|*.bmp|")));
    // Another picture replaces the one drawn, with its own frame; no larger than the view, it
    // leaves the bars disabled at 0.
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    dialog.Style().text.clear();
    OpenGrey("small.bmp", 20, 20);
    EXPECT_FALSE(h->isEnabled() || v->isEnabled());
    EXPECT_EQ(std::tuple(v->value(), ViewPixel(19, 5), ViewPixel(20, 5), ViewPixel(21, 5)),
              std::tuple(0, kGrey, RGB(0, 0, 0), kWhite));
}

TEST_F(MainDialogTest, TheDragStateTable)
{
    OpenGrey("s.bmp", 200, 150);
    dialog.DrawView();
    const int cx = dialog.Style().cx, cy = dialog.Style().cy;
    ASSERT_GT(cx, 0);
    // The hit box is inclusive: (cx + 1) x (cy + 1). Released off the picture, the text stays;
    // on its very edge, it moves, and back beyond the corner. Shift alone still drags; a move
    // with nothing held abandons the drag. The right button deselects, as does a double click
    // off the text.
    const std::tuple<Mouse, QPoint, Placement> steps[]
        = {{Down, {cx, cy}, {0, 0, 1, 1}},       {Up, {cx, cy}, {0, 0, 1, 0}},
           {Down, {cx + 1, 0}, {0, 0, 0, 0}},    {Up, {cx + 1, 0}, {0, 0, 0, 0}},
           {Down, {1, 1}, {0, 0, 1, 1}},         {Held, {300, 10}, {0, 0, 1, 1}},
           {Up, {300, 10}, {0, 0, 0, 0}},        {Down, {1, 1}, {0, 0, 1, 1}},
           {Held, {200, 150}, {0, 0, 1, 1}},     {Up, {200, 150}, {199, 149, 1, 0}},
           {Down, {200, 150}, {199, 149, 1, 1}}, {Held, {0, 0}, {199, 149, 1, 1}},
           {Up, {0, 0}, {-1, -1, 1, 0}},         {Down, {5, 5}, {-1, -1, 1, 1}},
           {Shift, {40, 40}, {-1, -1, 1, 1}},    {Free, {50, 50}, {-1, -1, 1, 0}},
           {Up, {50, 50}, {-1, -1, 1, 0}},       {Right, {120, 120}, {-1, -1, 0, 0}},
           {Down, {5, 5}, {-1, -1, 1, 1}},       {Up, {5, 5}, {-1, -1, 1, 0}},
           {Double, {120, 120}, {-1, -1, 0, 0}}};
    for (const auto &[kind, at, after] : steps)
        EXPECT_EQ(Send(kind, at), after) << kind << " at " << at.x() << "," << at.y();

    // A release the view cannot see (outside the window, over a scroll bar) leaves the drag
    // to be abandoned when the pointer comes back with nothing held: the text stays where it
    // was, selected. A release in the corner square below the vertical bar ends it all.
    const QRect h = dialog.HorizontalBar()->geometry(), v = dialog.VerticalBar()->geometry();
    for (const auto &[at, selected] : {std::pair(QPoint(-40, -40), 1), std::pair(v.center(), 1),
                                       std::pair(QPoint(v.x() + 2, h.y() + 2), 0)}) {
        Send(Down, {5, 5});
        Send(Held, {100, 100});
        Send(Up, at);
        EXPECT_EQ(Send(Free, {60, 60}), Placement(-1, -1, selected, 0)) << at.x() << "," << at.y();
    }
    // A double click on the text opens the text's dialog.
    RunModal<TextPropertiesDialog>([&] { Send(Double, {2, 2}); }, [](QDialog &) {});
    // Closed: no file, a white view, and the left button does nothing.
    Run(ids::kFileClose);
    EXPECT_EQ(std::tuple(dialog.windowTitle(), Send(Down, {5, 5}), ViewPixel(3, 3)),
              std::tuple(kNoFile, Placement(-1, -1, 1, 0), kWhite));
}

// A failed write keeps the picture open and shown, the file and the text's place as they were,
// and so does No to a question; a written file that cannot be read back, like a bad one opened,
// leaves no file open.
TEST_F(MainDialogTest, EveryWarningAndQuestionOfTheFileCommands)
{
    const QString good = Path("good.bmp"), bad = Path("bad.bmp");
    testbmp::WriteFile(bad, {'B', 'M', 1, 2, 3});
    testbmp::WriteSolid(Path("d.bmp"), 3, 3, 0);
    const testbmp::Bytes d = testbmp::ReadFile(Path("d.bmp"));
    const auto spoil = [](const QString &path) {
        return [path] {
            testbmp::WriteFile(path, {'X'});
        };
    };
    const auto file = [](const QString &path, const char *end) {
        return PromptRequest::Warning("文件 " + path + end);
    };
    const PromptRequest noFile = PromptRequest::Warning("当前没有打开任何文件,无法保存!");
    // The command, what comes before its last prompt, that prompt, whether a file stays open.
    const std::tuple<int, std::function<void()>, PromptRequest, bool> rows[]
        = {{ids::kFileSave, [&] { Run(ids::kFileClose); }, noFile, false},
           {ids::kFileSaveAs, [&] { Run(ids::kFileClose); }, noFile, false},
           {ids::kFileOpen, [&] { prompts.AnswerOpenFile(bad); }, file(bad, " 读取失败!"), false},
           {ids::kFileSave, [&] { dialog.Style().text.clear(); },
            PromptRequest::Question("当前没有文字信息,是否要继续保存文件?"), true},
           {ids::kFileSaveAs, [&] { prompts.AnswerSaveFile(Path("d")); },
            PromptRequest::Question("文件 " + Path("d.bmp") + " 已存在,是否要覆盖?"), true},
           {ids::kFileSave,
            [&] { // too wide to draw: not saved without its text
                dialog.Style().text = QString(20000, QLatin1Char('W'));
                dialog.Style().font.lfHeight = -2048;
            },
            file(good, " 写入失败!"), true},
           {ids::kFileSave, [&] { prompts.AnswerMessage(MessageAnswer::Ok, spoil(good)); },
            file(good, " 在重新读取时失败!"), false},
           {ids::kFileSaveAs,
            [&] {
                prompts.AnswerSaveFile(Path("g")).AnswerMessage(MessageAnswer::Ok,
                                                                spoil(Path("g.bmp")));
            },
            file(Path("g.bmp"), " 读取失败!"), false}};
    const TextStyle fresh = dialog.Style();
    for (const auto &[command, before, last, stillOpen] : rows) {
        SCOPED_TRACE(last.text.toStdString());
        dialog.Style() = fresh;
        OpenGrey("good.bmp", 40, 30);
        const testbmp::Bytes old = testbmp::ReadFile(good);
        dialog.Style().x = 7;
        before();
        prompts.AnswerMessage(MessageAnswer::No); // an OK box takes it as OK
        Run(command);
        EXPECT_EQ(prompts.Requests().back(), last);
        EXPECT_EQ(dialog.windowTitle(), stillOpen ? kTitle + good : kNoFile);
        EXPECT_EQ(dialog.Image().IsLoaded(), stillOpen);
        if (stillOpen) {
            EXPECT_EQ(std::tuple(testbmp::ReadFile(good), dialog.Style().x, ViewPixel(39, 29)),
                      std::tuple(old, 7, kGrey));
        }
    }
    EXPECT_EQ(testbmp::ReadFile(Path("d.bmp")), d);
}

} // namespace
