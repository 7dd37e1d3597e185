#include "app/main_dialog.h"
#include "batch/batch_dialog.h"
#include "batch/batch_run.h"
#include "res/batch_template.h"
#include "res/resource_ids.h"
#include "support/batch_workload.h"
#include "support/bmp_builder.h"
#include "support/scripted_prompts.h"
#include "ui/dialog_builder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
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

    void Add(const QStringList &paths)
    {
        prompts.AnswerOpenFiles(paths);
        Click(batchdlg::kAddButton);
    }

    bool WaitIdle()
    {
        return QTest::qWaitFor([&] { return !dialog.IsBusy(); }, 20000);
    }

    // A script that leaves the dialog open has it closed once any run is over: no hang.
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
    BatchWorkload work {dir.path()};
    ScriptedPrompts prompts;
    QSemaphore gate;
    BatchDialog dialog;
};

TEST_F(BatchDialogTest, TemplateAndFreshDialog)
{
    const DialogTemplate &t = batchdlg::Template();
    EXPECT_EQ(std::tuple(t.id, std::string(t.caption), std::string(t.fontFace), t.fontPointSize,
                         t.rect.width, t.rect.height),
              std::tuple(133, std::string("文件批量操作"), std::string("宋体"), 10, 255, 274));

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
        QStringList many; // together far longer than 260 characters
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
                  std::vector<PromptRequest>(
                      3, PromptRequest::FileDialog(PromptKind::OpenFiles, kFilter)));

        // A cancelled file dialog changes nothing.
        Add({});
        EXPECT_EQ(Items(dialog.fileList), all);

        // Delete without a selection deletes nothing, even with a current row.
        dialog.fileList->setCurrentRow(2, QItemSelectionModel::NoUpdate);
        dialog.fileList->clearSelection();
        Click(batchdlg::kDeleteButton);
        EXPECT_EQ(Items(dialog.fileList), all);
        // Delete takes the selected entry only and leaves nothing selected, so a second
        // Delete takes nothing: in the middle of the list and at its end.
        QStringList left = all;
        for (const int row : {1, int(all.size()) - 2}) {
            dialog.fileList->setCurrentRow(row);
            Click(batchdlg::kDeleteButton);
            left.removeAt(row);
            EXPECT_EQ(Items(dialog.fileList), left) << row;
            EXPECT_TRUE(dialog.fileList->selectedItems().isEmpty()) << row;
            Click(batchdlg::kDeleteButton);
            EXPECT_EQ(Items(dialog.fileList), left) << row;
        }

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
    const QString path = work.good;
    const Bytes before = testbmp::ReadFile(path);
    TextStyle empty = HalfWhite();
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

        // Yes: the file is written again and the notice, without a caption, ends the run.
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
    // What the same list and anchor must give, from the run itself over a second workload.
    QTemporaryDir refDir;
    const BatchWorkload ref(refDir.path());
    TextStyle reference = HalfWhite();
    RunBatch(ref.List(), reference, {TextAnchor::BottomRight, 0});
    ASSERT_GT(reference.cx, 0);

    TextStyle start = HalfWhite();
    start.x = 3;
    start.y = 4;
    dialog.SetStyle(start);
    std::vector<int> positions;
    QObject::connect(dialog.progress, &QProgressBar::valueChanged,
                     [&](int value) { positions.push_back(value); });
    Run([&] {
        Add(work.List());
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
    EXPECT_EQ(work.Files(), ref.Files());
    ASSERT_EQ(prompts.Requests().size(), 2u);
    EXPECT_EQ(prompts.Requests()[1], PromptRequest::Warning(work.Summary()));
    // The list stays, and the copy holds the placement of the last file written.
    EXPECT_EQ(Items(dialog.fileList), work.List());
    EXPECT_EQ(std::tuple(dialog.style.x, dialog.style.y, dialog.style.cx, dialog.style.cy),
              std::tuple(reference.x, reference.y, reference.cx, reference.cy));
    EXPECT_EQ(dialog.style.text, QStringLiteral("Ab"));
}

TEST_F(BatchDialogTest, WhileBusyEditsAreRefusedAndEveryEndingAsksUntilYesStopsTheRun)
{
    std::map<std::string, Bytes> before = work.Files();
    dialog.SetStyle(HalfWhite());
    dialog.SetWorkerHook([this](const BatchStep &step) {
        if (step.index == 0)
            gate.acquire(); // held after the first file
    });
    const int result = Run([&] {
        Add(work.List());
        prompts.ClearRequests();
        Click(batchdlg::kSaveAllButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.progress->value() == 1; }, 20000));

        // No file dialog, no change to the list, no second run.
        dialog.fileList->setCurrentRow(0);
        for (int id : {batchdlg::kAddButton, batchdlg::kDeleteButton, batchdlg::kClearButton})
            Button(id)->click();
        dialog.OnSaveAll();
        EXPECT_EQ(Items(dialog.fileList), work.List());
        EXPECT_TRUE(prompts.Requests().empty());

        // Exit, Esc, Enter outside a button and the close box each ask; No keeps it going.
        for (const std::string ending : {"exit", "esc", "enter", "close box"}) {
            prompts.ClearRequests();
            prompts.AnswerMessage(MessageAnswer::No);
            dialog.fileList->setFocus();
            if (ending == "exit")
                Click(batchdlg::kExitButton);
            else if (ending == "close box")
                dialog.close();
            else
                QTest::keyClick(dialog.fileList, ending == "esc" ? Qt::Key_Escape : Qt::Key_Return);
            EXPECT_EQ(prompts.Requests(),
                      std::vector<PromptRequest> {PromptRequest::Question(kBusy)})
                << ending;
            EXPECT_TRUE(dialog.isVisible() && dialog.IsBusy()) << ending;
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
    // The first file was written whole, the rest are untouched, and no temporary is left.
    std::map<std::string, Bytes> after = work.Files();
    const Bytes first = after["good.bmp"];
    EXPECT_NE(first, before["good.bmp"]);
    EXPECT_EQ(testbmp::U32At(first, 2), first.size());
    before.erase("good.bmp"), after.erase("good.bmp");
    EXPECT_EQ(after, before);
}

TEST(BatchCommand, OpensOnACopyAndLeavesTheMainWindowAsItWas)
{
    ScriptedPrompts prompts;
    QTemporaryDir dir;
    MainDialog main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QString open = dir.filePath(QStringLiteral("open.bmp"));
    testbmp::WriteSolid(open, 48, 30, 0x785030);

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
            EXPECT_EQ(std::tuple(d->style.text, d->style.x, d->style.alpha, d->style.font.lfHeight),
                      std::tuple(QStringLiteral("Main"), 5, 77, -12));
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
