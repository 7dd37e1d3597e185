#include "batch/batch_dialog.h"
#include "batch/text_anchor.h"
#include "res/batch_template.h"
#include "support/batch_workload.h"
#include "support/modal_runner.h"
#include "support/scripted_prompts.h"
#include "ui/dialog_builder.h"

#include <QComboBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class BatchDialogTest : public ::testing::Test
{
protected:
    void TearDown() override { gate.release(1000); } // a failed check never leaves it held
    void Click(int id) { FindControl<QPushButton>(&dialog, id)->click(); }
    void Add(const QStringList &paths)
    {
        prompts.AnswerOpenFiles(paths);
        Click(batchdlg::kAddButton);
    }
    QStringList Items()
    {
        QStringList items;
        for (int i = 0; i < dialog.fileList->count(); ++i)
            items << dialog.fileList->item(i)->text();
        return items;
    }
    bool WaitFor(const std::function<bool()> &done) { return QTest::qWaitFor(done, 20000); }

    // A script that leaves the dialog open has any run finish first, so it closes without asking.
    int Run(const std::function<void()> &script)
    {
        int result = 0;
        RunModal<BatchDialog>([&] { result = dialog.DoModal(); },
                              [&](BatchDialog &) {
                                  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
                                  script();
                                  gate.release(1000);
                                  EXPECT_TRUE(WaitFor([&] { return !dialog.IsBusy(); }));
                              });
        return result;
    }

    QTemporaryDir dir;
    BatchWorkload work {dir.path()};
    ScriptedPrompts prompts;
    QSemaphore gate;
    BatchDialog dialog;
};

TEST_F(BatchDialogTest, EditsTheListInPlaceThenStampsItInOrderAndNamesEveryFailure)
{
    // What the same list and anchor give, from the run itself over a second workload.
    QTemporaryDir refDir;
    const BatchWorkload ref(refDir.path());
    TextStyle reference = HalfWhite();
    RunBatch(ref.List(), reference, {TextAnchor::BottomRight, 0});
    dialog.SetStyle(HalfWhite());
    std::vector<int> positions;
    QObject::connect(dialog.progress, &QProgressBar::valueChanged,
                     [&](int value) { positions.push_back(value); });
    Run([&] {
        EXPECT_EQ(QApplication::focusWidget(), dialog.anchorCombo);
        prompts.AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kSaveAllButton); // no files yet
        Add({"/a.bmp", "/b.bmp", "/c.bmp"});
        Add({"/a.bmp"}); // listed again
        Add({});         // cancelled
        // A current row that is not selected is not deleted.
        dialog.fileList->setCurrentRow(1, QItemSelectionModel::NoUpdate);
        Click(batchdlg::kDeleteButton);
        // Delete leaves nothing selected, so a second Delete takes nothing: middle, then end.
        for (const int row : {1, 2}) {
            dialog.fileList->setCurrentRow(row);
            Click(batchdlg::kDeleteButton);
            Click(batchdlg::kDeleteButton);
        }
        EXPECT_EQ(Items(), QStringList({"/a.bmp", "/c.bmp"}));
        Click(batchdlg::kClearButton);
        Add(work.List());
        dialog.anchorCombo->setCurrentIndex(int(TextAnchor::BottomRight));
        prompts.AnswerMessage(MessageAnswer::Ok).WhileShown([&] {
            // The summary comes once the bar is back at 0 and Save All works again.
            EXPECT_EQ(
                std::tuple(dialog.progress->value(), dialog.progress->maximum(), dialog.IsBusy()),
                std::tuple(0, 6, false));
        });
        Click(batchdlg::kSaveAllButton);
        EXPECT_TRUE(dialog.IsBusy());
        EXPECT_TRUE(WaitFor([&] { return !dialog.IsBusy(); }));
        // The list stays, and the copy holds the placement of the last file written.
        EXPECT_EQ(Items(), work.List());
        const TextStyle &s = dialog.style;
        EXPECT_EQ(std::tuple(s.x, s.y, s.cx, s.cy),
                  std::tuple(reference.x, reference.y, reference.cx, reference.cy));
    });
    // Unreadable files leave the bar where it was; the failed write still counts as taken.
    EXPECT_EQ(positions, std::vector<int>({1, 3, 4, 6, 0}));
    EXPECT_EQ(work.Files(), ref.Files());
    std::vector asked(6,
                      PromptRequest::FileDialog(PromptKind::OpenFiles, "位图文件(*.bmp)|*.bmp|"));
    asked.front() = PromptRequest::Warning("当前没有任何文件可以保存,请先添加文件!");
    asked.back() = PromptRequest::Warning(work.Summary());
    EXPECT_EQ(prompts.Requests(), asked);

    // Idle, every ending closes at once without a question.
    EXPECT_EQ(Run([&] { Click(batchdlg::kExitButton); }), IDCANCEL);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return})
        EXPECT_EQ(Run([&] { QTest::keyClick(QApplication::focusWidget(), key); }),
                  key == Qt::Key_Escape ? IDCANCEL : IDOK);
}

TEST_F(BatchDialogTest, EmptyTextAsksFirstAndWhileBusyEditsAreRefusedAndEveryEndingAsks)
{
    std::map<std::string, testbmp::Bytes> before = work.Files();
    TextStyle empty;
    empty.text.clear();
    dialog.SetStyle(empty);
    dialog.SetWorkerHook([this](const BatchStep &step) {
        if (step.index == 0)
            gate.acquire(); // held after the first file
    });
    const int result = Run([&] {
        Add(work.List());
        prompts.ClearRequests();
        prompts.AnswerMessage(MessageAnswer::No).AnswerMessage(MessageAnswer::Yes);
        Click(batchdlg::kSaveAllButton);
        EXPECT_FALSE(dialog.IsBusy());
        Click(batchdlg::kSaveAllButton);
        ASSERT_TRUE(WaitFor([&] { return dialog.progress->value() == 1; }));
        // No file dialog, no change to the list, no second run.
        dialog.fileList->setCurrentRow(0);
        for (int id : {batchdlg::kAddButton, batchdlg::kDeleteButton, batchdlg::kClearButton})
            Click(id);
        dialog.OnSaveAll();
        EXPECT_EQ(Items(), work.List());
        // Exit, Esc, Enter away from a button and the close box each ask; No keeps it going.
        for (int i = 0; i < 4; ++i)
            prompts.AnswerMessage(MessageAnswer::No);
        Click(batchdlg::kExitButton);
        QTest::keyClick(dialog.fileList, Qt::Key_Escape);
        QTest::keyClick(dialog.fileList, Qt::Key_Return);
        dialog.close();
        EXPECT_TRUE(dialog.isVisible() && dialog.IsBusy());
        // Yes waits for the file the worker is on, asks no second time, and closes without a
        // summary.
        prompts.AnswerMessage(MessageAnswer::Yes);
        Click(batchdlg::kExitButton);
        QTest::keyClick(dialog.fileList, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());
        gate.release();
        EXPECT_TRUE(WaitFor([&] { return !dialog.isVisible(); }));
    });
    EXPECT_EQ(result, IDCANCEL);
    std::vector asked(7, PromptRequest::Question("程序正在保存文件，是否真的要退出?"));
    asked[0] = asked[1] = PromptRequest::Question("当前没有任何文字信息,是否要继续保存文件?");
    EXPECT_EQ(prompts.Requests(), asked);
    // The first file was written, the rest are untouched, and no temporary is left.
    std::map<std::string, testbmp::Bytes> after = work.Files();
    EXPECT_NE(after["good.bmp"], before["good.bmp"]);
    before.erase("good.bmp"), after.erase("good.bmp");
    EXPECT_EQ(after, before);
}

TEST_F(BatchDialogTest, TheCommandRunsOnACopyOfTheRecordAndAWholeRunEndsWithTheNotice)
{
    TextStyle record;
    std::tie(record.text, record.x, record.alpha, record.font.lfHeight) = std::tuple("M", 5, 7, -9);
    RunModal<BatchDialog>(
        [&] { RunBatchDialog(nullptr, record); },
        [&](BatchDialog &d) {
            EXPECT_EQ(std::tuple(d.style.text, d.style.x, d.style.alpha, d.style.font.lfHeight),
                      std::tuple("M", 5, 7, -9));
            prompts.AnswerOpenFiles({work.good}).AnswerMessage(MessageAnswer::Ok);
            FindControl<QPushButton>(&d, batchdlg::kAddButton)->click();
            FindControl<QPushButton>(&d, batchdlg::kSaveAllButton)->click();
            EXPECT_TRUE(WaitFor([&] { return !d.IsBusy(); }));
        });
    EXPECT_EQ(prompts.Requests().back(), PromptRequest::Notice("文件保存完成!")); // no caption
}

} // namespace
