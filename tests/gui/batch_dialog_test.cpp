#include "app/dialog_builder.h"
#include "app/main_dialog.h"
#include "batch/batch_dialog.h"
#include "batch/batch_run.h"
#include "res/batch_template.h"
#include "res/resource_ids.h"
#include "support/bmp_builder.h"
#include "support/scripted_prompts.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using testbmp::Bytes;

namespace {

const QString kFilter = QString::fromUtf8("位图文件(*.bmp)|*.bmp|");
const QString kNoFiles = QString::fromUtf8("当前没有任何文件可以保存,请先添加文件!");
const QString kNoText = QString::fromUtf8("当前没有任何文字信息,是否要继续保存文件?");
const QString kBusy = QString::fromUtf8("程序正在保存文件，是否真的要退出?");
const QString kDone = QString::fromUtf8("文件保存完成!");

constexpr int kWidth = 48;
constexpr int kHeight = 30;

Bytes Picture(std::uint8_t shade)
{
    std::vector<std::vector<std::uint32_t>> rows(kHeight, std::vector<std::uint32_t>(kWidth));
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            rows[y][x] = RGB(shade, 4 * x, 5 * y);
    testbmp::BmpLayout layout;
    layout.width = kWidth;
    layout.height = kHeight;
    layout.pixels = testbmp::PackRows(24, rows);
    return testbmp::BuildBmp(layout);
}

TextStyle Stamp()
{
    TextStyle style;
    style.text = QStringLiteral("Ab");
    style.textColor = RGB(255, 255, 255);
    style.alpha = 128;
    style.font.lfHeight = -14;
    return style;
}

QStringList Items(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

class BatchDialogTest : public ::testing::Test
{
protected:
    void TearDown() override { gate.release(1000); } // a failed check never leaves it held

    QPushButton *Button(int id) { return FindControl<QPushButton>(&dialog, id); }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }

    QString Write(const QString &name, std::uint8_t shade)
    {
        const QString path = dir.filePath(name);
        testbmp::WriteFile(path, Picture(shade));
        return path;
    }

    void Add(const QStringList &paths)
    {
        prompts.AnswerOpenFiles(paths);
        Click(batchdlg::kAddButton);
    }

    bool WaitIdle()
    {
        return QTest::qWaitFor([&] { return !dialog.IsBusy(); }, 20000);
    }

    // Runs the dialog modally with the script driving it; a script that leaves the dialog
    // open has it closed with -1 once any run is over, so a failed check never hangs.
    int Run(const std::function<void()> &script)
    {
        QTimer::singleShot(0, &dialog, [&] {
            dialog.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
            script();
            if (dialog.isVisible()) {
                gate.release(1000);
                EXPECT_TRUE(WaitIdle());
                dialog.done(-1);
            }
        });
        return dialog.DoModal();
    }

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    QSemaphore gate;
    BatchDialog dialog;
};

TEST_F(BatchDialogTest, TemplateAndFreshDialog)
{
    const DialogTemplate &t = batchdlg::Template();
    EXPECT_EQ(t.id, 133);
    EXPECT_STREQ(t.caption, "文件批量操作");
    EXPECT_STREQ(t.fontFace, "宋体");
    EXPECT_EQ(t.fontPointSize, 10);
    EXPECT_EQ(t.rect.width, 255);
    EXPECT_EQ(t.rect.height, 274);

    // Template order, which is also the tab order of the controls that take the focus.
    const int ids[] = {-1, 1013, -1, 1014, 1015, 1016, 1017, 1018, 1019, -1, 1020};
    const QStringList texts = QString::fromUtf8("文字位置||文件||添加文件(&A)|删除选中项(&D)|"
                                                "清空列表(&C)|保存所有文件(&S)|退出(&X)||")
                                  .split(u'|');
    ASSERT_EQ(t.controls.size(), std::size(ids));
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        EXPECT_EQ(t.controls[i].id, ids[i]) << i;
        EXPECT_EQ(QString::fromUtf8(t.controls[i].text), texts[i]) << i;
        if (auto *button = FindControl<QPushButton>(&dialog, ids[i])) {
            EXPECT_EQ(button->text(), texts[i]);
            EXPECT_FALSE(button->isDefault() || button->autoDefault()) << ids[i];
        }
    }
    const int result = Run([&] {
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("文件批量操作"));
        EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
        QStringList combo;
        for (int i = 0; i < dialog.anchorCombo->count(); ++i)
            combo << dialog.anchorCombo->itemText(i);
        EXPECT_EQ(combo,
                  QString::fromUtf8("正中 正上 正下 左上 左中 左下 右上 右中 右下").split(' '));
        EXPECT_EQ(dialog.anchorCombo->currentText(), QString::fromUtf8("正中"));
        EXPECT_FALSE(dialog.anchorCombo->isEditable());
        EXPECT_EQ(QApplication::focusWidget(), dialog.anchorCombo);
        EXPECT_EQ(dialog.fileList->count(), 0);
        EXPECT_EQ(dialog.progress->minimum(), 0);
        EXPECT_EQ(dialog.progress->maximum(), 100);
        EXPECT_EQ(dialog.progress->value(), 0);
        // Tab walks the controls in template order and comes back round.
        const int order[] = {1013, 1014, 1015, 1016, 1017, 1018, 1019, 1013};
        for (int id : order) {
            EXPECT_EQ(ControlId(QApplication::focusWidget()), id);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // Idle, Esc ends the dialog at once without a question.
        QTest::keyClick(dialog.anchorCombo, Qt::Key_Escape);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(prompts.Requests().empty());
}

TEST_F(BatchDialogTest, AddDeleteAndClearEditTheListInPlace)
{
    Run([&] {
        // Names together far longer than 260 characters, all taken, in the order given.
        QStringList many;
        for (int i = 0; i < 12; ++i)
            many << QStringLiteral("/some/rather/long/folder/name/for/batch/%1/picture.bmp").arg(i);
        const QString a = QStringLiteral("/a.bmp");
        Add({a, QStringLiteral("/b.bmp")});
        Add(many);
        Add({a}); // the same file again is listed again
        const QStringList all
            = QStringList({a, QStringLiteral("/b.bmp")}) + many + QStringList({a});
        EXPECT_EQ(Items(dialog.fileList), all);
        EXPECT_EQ(prompts.Requests(),
                  std::vector<PromptRequest>(3, PromptRequest::OpenFiles(kFilter)));

        // A cancelled file dialog changes nothing.
        Add({});
        EXPECT_EQ(Items(dialog.fileList), all);

        // Delete without a selection deletes nothing, even with a current row.
        dialog.fileList->setCurrentRow(2, QItemSelectionModel::NoUpdate);
        dialog.fileList->clearSelection();
        Click(batchdlg::kDeleteButton);
        EXPECT_EQ(Items(dialog.fileList), all);
        // Delete takes the selected entry only.
        dialog.fileList->setCurrentRow(1);
        Click(batchdlg::kDeleteButton);
        QStringList left = all;
        left.removeAt(1);
        EXPECT_EQ(Items(dialog.fileList), left);

        Click(batchdlg::kClearButton);
        EXPECT_EQ(dialog.fileList->count(), 0);
        Click(batchdlg::kDeleteButton);
        Click(batchdlg::kClearButton);
        EXPECT_EQ(dialog.fileList->count(), 0);
        EXPECT_TRUE(dialog.isVisible());

        // Idle, Exit closes at once without a question.
        Click(batchdlg::kExitButton);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(prompts.Requests().size(), 4u); // the four file dialogs, nothing else
}

TEST_F(BatchDialogTest, EmptyListAndEmptyTextAskBeforeAnything)
{
    const QString path = Write(QStringLiteral("p.bmp"), 90);
    const Bytes before = testbmp::ReadFile(path);
    TextStyle empty = Stamp();
    empty.text.clear();
    dialog.SetStyle(empty);
    const int result = Run([&] {
        // No files: the warning alone, the dialog stays idle.
        prompts.AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kSaveAllButton);
        EXPECT_EQ(prompts.Requests(),
                  std::vector<PromptRequest> {PromptRequest::Warning(kNoFiles)});
        EXPECT_TRUE(Button(batchdlg::kSaveAllButton)->isEnabled());
        EXPECT_FALSE(dialog.IsBusy());

        // No text, answer No: nothing runs, nothing is written.
        Add({path});
        prompts.ClearRequests();
        prompts.AnswerMessage(MessageAnswer::No);
        Click(batchdlg::kSaveAllButton);
        EXPECT_EQ(prompts.Requests(),
                  std::vector<PromptRequest> {PromptRequest::Question(kNoText)});
        EXPECT_FALSE(dialog.IsBusy());
        EXPECT_EQ(testbmp::ReadFile(path), before);

        // Answer Yes: the file is read and written again, unmarked, and the run ends with the
        // notice without a caption.
        prompts.ClearRequests();
        prompts.AnswerMessage(MessageAnswer::Yes).AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kSaveAllButton);
        EXPECT_TRUE(WaitIdle());
        EXPECT_EQ(prompts.Requests(),
                  std::vector<PromptRequest>(
                      {PromptRequest::Question(kNoText), PromptRequest::Notice(kDone)}));
        EXPECT_EQ(testbmp::U16At(testbmp::ReadFile(path), 28), 32); // the display's format

        // Idle, Enter outside a button ends the dialog and starts nothing.
        prompts.ClearRequests();
        dialog.fileList->setFocus();
        QTest::keyClick(dialog.fileList, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(prompts.Requests().empty());
}

TEST_F(BatchDialogTest, WholeRunStampsInListOrderAndNamesEveryFailure)
{
    const QString good = Write(QStringLiteral("good.bmp"), 10);
    const QString missing = dir.filePath(QStringLiteral("missing.bmp"));
    // Readable, but no temporary can be made beside a name of the longest length: it cannot
    // be replaced, not even by root.
    const QString unwritable = Write(QString(251, QLatin1Char('u')) + QStringLiteral(".bmp"), 50);
    const QString bad = dir.filePath(QStringLiteral("bad.bmp"));
    testbmp::BmpLayout zeroWidth;
    zeroWidth.width = 0;
    testbmp::WriteFile(bad, testbmp::BuildBmp(zeroWidth));
    const QString second = Write(QStringLiteral("second.bmp"), 200);
    const Bytes unwritableBefore = testbmp::ReadFile(unwritable);
    const Bytes badBefore = testbmp::ReadFile(bad);

    // What the same list must give, from the run itself over copies.
    const QString refGood = Write(QStringLiteral("ref-good.bmp"), 10);
    const QString refSecond = Write(QStringLiteral("ref-second.bmp"), 200);
    TextStyle reference = Stamp();
    RunBatch({refGood, refGood, refSecond}, reference, {TextAnchor::BottomRight, 0});
    ASSERT_GT(reference.cx, 0);

    TextStyle start = Stamp();
    start.x = 3;
    start.y = 4;
    dialog.SetStyle(start);
    std::vector<int> positions;
    QObject::connect(dialog.progress, &QProgressBar::valueChanged,
                     [&](int value) { positions.push_back(value); });
    Run([&] {
        Add({good, missing, good, unwritable, bad, second});
        dialog.anchorCombo->setCurrentIndex(int(TextAnchor::BottomRight));
        prompts.AnswerMessage(MessageAnswer::Ok).WhileShown([&] {
            // The summary comes once the bar is back at 0 and the button works again.
            EXPECT_EQ(dialog.progress->value(), 0);
            EXPECT_EQ(dialog.progress->maximum(), 6);
            EXPECT_TRUE(Button(batchdlg::kSaveAllButton)->isEnabled());
        });
        Click(batchdlg::kSaveAllButton);
        EXPECT_FALSE(Button(batchdlg::kSaveAllButton)->isEnabled());
        EXPECT_TRUE(dialog.IsBusy());
        EXPECT_TRUE(WaitIdle());
        Click(batchdlg::kExitButton);
    });

    // Unreadable files leave the bar where it was; the failed write still counts as taken.
    EXPECT_EQ(positions, std::vector<int>({1, 3, 4, 6, 0}));
    EXPECT_EQ(testbmp::ReadFile(good), testbmp::ReadFile(refGood));
    EXPECT_EQ(testbmp::ReadFile(second), testbmp::ReadFile(refSecond));
    EXPECT_EQ(testbmp::ReadFile(unwritable), unwritableBefore);
    EXPECT_EQ(testbmp::ReadFile(bad), badBefore);
    EXPECT_FALSE(QFile::exists(missing));
    ASSERT_EQ(prompts.Requests().size(), 2u);
    EXPECT_EQ(prompts.Requests()[1],
              PromptRequest::Warning(
                  QStringLiteral("文件保存完成!\n其中:\n%1\n%2\n不存在或无法打开!没有保存!\n"
                                 "其中:\n%3\n无法写入!没有保存!")
                      .arg(missing, bad, unwritable)));
    // The list stays, and the copy holds the placement of the last file written.
    EXPECT_EQ(Items(dialog.fileList), QStringList({good, missing, good, unwritable, bad, second}));
    EXPECT_EQ(dialog.style.x, kWidth - reference.cx);
    EXPECT_EQ(dialog.style.y, kHeight - reference.cy);
    EXPECT_EQ(dialog.style.cx, reference.cx);
    EXPECT_EQ(dialog.style.cy, reference.cy);
    EXPECT_EQ(dialog.style.text, QStringLiteral("Ab"));
}

TEST_F(BatchDialogTest, WhileBusyEditsAreRefusedAndEveryEndingAsksUntilYesStopsTheRun)
{
    const QStringList paths = {Write(QStringLiteral("1.bmp"), 1), Write(QStringLiteral("2.bmp"), 2),
                               Write(QStringLiteral("3.bmp"), 3)};
    const Bytes firstBefore = testbmp::ReadFile(paths[0]);
    const Bytes secondBefore = testbmp::ReadFile(paths[1]);
    const Bytes thirdBefore = testbmp::ReadFile(paths[2]);
    dialog.SetStyle(Stamp());
    dialog.SetWorkerHook([this](const BatchStep &step) {
        if (step.index == 0)
            gate.acquire(); // held after the first file
    });
    const int result = Run([&] {
        Add(paths);
        prompts.ClearRequests();
        Click(batchdlg::kSaveAllButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.progress->value() == 1; }, 20000));

        // No file dialog, no change to the list, no second run.
        dialog.fileList->setCurrentRow(0);
        for (int id : {batchdlg::kAddButton, batchdlg::kDeleteButton, batchdlg::kClearButton})
            Button(id)->click();
        dialog.OnSaveAll();
        EXPECT_EQ(Items(dialog.fileList), paths);
        EXPECT_TRUE(prompts.Requests().empty());

        // Exit, Esc, Enter outside a button and the close box each ask; No keeps it going.
        const std::pair<const char *, std::function<void()>> endings[] = {
            {"exit",
             [&] {
                 Click(batchdlg::kExitButton);
             }},
            {"esc",
             [&] {
                 QTest::keyClick(dialog.fileList, Qt::Key_Escape);
             }},
            {"enter",
             [&] {
                 QTest::keyClick(dialog.fileList, Qt::Key_Return);
             }},
            {"close box",
             [&] {
                 dialog.close();
             }},
        };
        for (const auto &[name, end] : endings) {
            prompts.ClearRequests();
            prompts.AnswerMessage(MessageAnswer::No);
            dialog.fileList->setFocus();
            end();
            EXPECT_EQ(prompts.Requests(),
                      std::vector<PromptRequest> {PromptRequest::Question(kBusy)})
                << name;
            EXPECT_TRUE(dialog.isVisible() && dialog.IsBusy()) << name;
        }

        // Yes: the dialog waits for the file the worker is on, with no second question for a
        // second Esc, and then closes without a summary.
        prompts.ClearRequests();
        prompts.AnswerMessage(MessageAnswer::Yes);
        Click(batchdlg::kExitButton);
        EXPECT_TRUE(dialog.isVisible());
        QTest::keyClick(dialog.fileList, Qt::Key_Escape);
        gate.release();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 20000));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(prompts.Requests(), std::vector<PromptRequest> {PromptRequest::Question(kBusy)});
    const Bytes first = testbmp::ReadFile(paths[0]);
    EXPECT_NE(first, firstBefore);
    EXPECT_EQ(testbmp::U32At(first, 2), first.size()); // written whole
    EXPECT_EQ(testbmp::ReadFile(paths[1]), secondBefore);
    EXPECT_EQ(testbmp::ReadFile(paths[2]), thirdBefore);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3); // no temporaries left
}

TEST(BatchCommand, OpensOnACopyAndLeavesTheMainWindowAsItWas)
{
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    MainDialog main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QString open = dir.filePath(QStringLiteral("open.bmp"));
    testbmp::WriteFile(open, Picture(120));

    const auto Fields = [](const TextStyle &s) {
        return std::tuple(s.text.toStdString(), s.x, s.y, s.cx, s.cy, s.alpha, s.selected,
                          s.font.lfHeight, s.dragStart.x, s.dragStart.y);
    };
    // Once without a picture, once with one open that is also in the list.
    for (const bool withPicture : {false, true}) {
        SCOPED_TRACE(withPicture);
        if (withPicture) {
            prompts.AnswerOpenFile(open);
            main.CommandAction(ids::kFileOpen)->trigger();
            ASSERT_TRUE(main.Image().IsLoaded());
        }
        TextStyle &record = main.Style();
        record.text = QStringLiteral("Main");
        record.x = 5;
        record.y = 6;
        record.alpha = 77;
        record.selected = 1;
        record.font.lfHeight = -12;
        record.dragStart = {9, 9};
        const TextStyle kept = record;
        const Surface &view = main.ViewSurface();
        Surface viewBefore(view.Width(), view.Height(), 32);
        viewBefore.BitBlt(0, 0, view.Width(), view.Height(), view, 0, 0);

        bool seen = false;
        QTimer::singleShot(0, qApp, [&] {
            auto *d = qobject_cast<BatchDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            seen = true;
            EXPECT_EQ(d->parentWidget(), &main);
            EXPECT_EQ(d->style.text, QStringLiteral("Main"));
            EXPECT_EQ(d->style.x, 5);
            EXPECT_EQ(d->style.alpha, 77);
            EXPECT_EQ(d->style.font.lfHeight, -12);
            EXPECT_EQ(d->style.dragStart, POINT {});
            d->style.text = QStringLiteral("Batch");
            prompts.AnswerOpenFiles({open}).AnswerMessage(MessageAnswer::Ok);
            FindControl<QPushButton>(d, batchdlg::kAddButton)->click();
            FindControl<QPushButton>(d, batchdlg::kSaveAllButton)->click();
            EXPECT_TRUE(QTest::qWaitFor([&] { return !d->IsBusy(); }, 20000));
            FindControl<QPushButton>(d, batchdlg::kExitButton)->click();
        });
        main.CommandAction(ids::kFileBatch)->trigger();
        EXPECT_TRUE(seen);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(Fields(record), Fields(kept));
        EXPECT_EQ(main.Image().IsLoaded(), withPicture);
        EXPECT_TRUE(
            testbmp::SamePixelsAs(main.ViewSurface(), viewBefore, view.Width(), view.Height()));
        // The file on disk was stamped; the window keeps its picture in memory.
        EXPECT_EQ(testbmp::U16At(testbmp::ReadFile(open), 28), 32);
    }
}

} // namespace
