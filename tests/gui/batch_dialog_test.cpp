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
    void Click(int id) { FindControl<QPushButton>(dialog, id)->click(); }
    void Add(const QStringList &paths)
    {
        prompts.AnswerOpenFiles(paths);
        Click(batchdlg::kAddButton);
    }
    bool WaitFor(const std::function<bool()> &done) { return QTest::qWaitFor(done, 20000); }

    // The batch command's round on style; gives how the dialog ended. A script that leaves the
    // dialog open has any run finish first, so it closes without asking.
    int Run(const std::function<void()> &script)
    {
        int result = 0;
        RunModal<BatchDialog>([&] { RunBatchDialog(nullptr, style); },
                              [&](BatchDialog &d) {
                                  dialog = &d;
                                  ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
                                  script();
                                  gate.release(1000);
                                  EXPECT_TRUE(WaitFor([&] { return !d.IsBusy(); }));
                                  result = d.isVisible() ? 0 : d.result();
                              });
        return result;
    }

    QTemporaryDir dir;
    BatchWorkload work {dir.path()};
    ScriptedPrompts prompts;
    QSemaphore gate;
    TextStyle style = HalfWhite();
    BatchDialog *dialog = nullptr;
};

TEST_F(BatchDialogTest, EditsTheListInPlaceThenStampsItInOrderAndNamesEveryFailure)
{
    // What the same list and anchor give, from the run itself over a second workload.
    QTemporaryDir refDir;
    const BatchWorkload ref(refDir.path());
    TextStyle reference = HalfWhite();
    RunBatch(ref.List(), reference, {TextAnchor::BottomRight, 0});
    std::vector<int> positions;
    Run([&] {
        EXPECT_EQ(QApplication::focusWidget(), dialog->anchorCombo);
        prompts.AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kSaveAllButton); // no files yet
        Add({"/a.bmp", "/b.bmp", "/c.bmp"});
        Add({"/a.bmp"}); // listed again
        // Delete leaves nothing selected, so a second Delete takes nothing.
        dialog->fileList->setCurrentRow(1);
        Click(batchdlg::kDeleteButton);
        Click(batchdlg::kDeleteButton);
        EXPECT_EQ(dialog->fileList->count(), 3);
        EXPECT_EQ(dialog->fileList->item(1)->text(), "/c.bmp");
        Click(batchdlg::kClearButton);
        Add(work.List());
        dialog->anchorCombo->setCurrentIndex(int(TextAnchor::BottomRight));
        QObject::connect(dialog->progress, &QProgressBar::valueChanged,
                         [&](int value) { positions.push_back(value); });
        prompts.AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kSaveAllButton);
        EXPECT_TRUE(dialog->IsBusy());
        EXPECT_TRUE(WaitFor([&] { return !dialog->IsBusy(); }));
        // The copy holds the placement of the last file written.
        const TextStyle &s = dialog->style;
        EXPECT_EQ(std::tuple(s.x, s.y, s.cx, s.cy),
                  std::tuple(reference.x, reference.y, reference.cx, reference.cy));
    });
    // Unreadable files leave the bar where it was; the failed write still counts as taken.
    EXPECT_EQ(positions, std::vector<int>({1, 3, 4, 6, 0}));
    EXPECT_EQ(work.Files(), ref.Files());
    std::vector asked(5,
                      PromptRequest::FileDialog(PromptKind::OpenFiles, "位图文件(*.bmp)|*.bmp|"));
    asked.front() = PromptRequest::Warning("当前没有任何文件可以保存,请先添加文件!");
    asked.back() = PromptRequest::Warning(work.Summary());
    EXPECT_EQ(prompts.Requests(), asked);

    // A run without a failure ends with the notice, which has no caption.
    Run([&] {
        Add({work.good});
        prompts.AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kSaveAllButton);
    });
    EXPECT_EQ(prompts.Requests().back(), PromptRequest::Notice("文件保存完成!"));
    // Idle, Esc and Enter away from a button close at once without a question.
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return})
        EXPECT_EQ(Run([&] { QTest::keyClick(dialog->fileList, key); }),
                  key == Qt::Key_Escape ? IDCANCEL : IDOK);
}

TEST_F(BatchDialogTest,
       EmptyTextAsksFirstAndWhileBusyEditsAreRefusedAndClosingAsksUntilYesStopsTheRun)
{
    std::map<std::string, testbmp::Bytes> before = work.Files();
    style.text.clear();
    const int result = Run([&] {
        dialog->SetWorkerHook([this](const BatchStep &step) {
            if (step.index == 0)
                gate.acquire(); // held after the first file
        });
        Add(work.List());
        prompts.ClearRequests();
        prompts.AnswerMessage(MessageAnswer::No).AnswerMessage(MessageAnswer::Yes);
        Click(batchdlg::kSaveAllButton);
        Click(batchdlg::kSaveAllButton);
        ASSERT_TRUE(WaitFor([&] { return dialog->progress->value() == 1; }));
        // No file dialog, no change to the list, no second run.
        dialog->fileList->setCurrentRow(0);
        for (int id : {batchdlg::kAddButton, batchdlg::kDeleteButton, batchdlg::kClearButton})
            Click(id);
        dialog->OnSaveAll();
        EXPECT_EQ(dialog->fileList->count(), 6);
        // Every ending comes to the same question (Esc and Enter end through Exit's road); No
        // keeps the run going.
        prompts.AnswerMessage(MessageAnswer::No);
        dialog->close();
        EXPECT_TRUE(dialog->isVisible() && dialog->IsBusy());
        // Yes waits for the file the worker is on, asks no second time, and closes without a
        // summary.
        prompts.AnswerMessage(MessageAnswer::Yes);
        Click(batchdlg::kExitButton);
        QTest::keyClick(dialog->fileList, Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible());
        gate.release();
        EXPECT_TRUE(WaitFor([&] { return !dialog->isVisible(); }));
    });
    EXPECT_EQ(result, IDCANCEL);
    std::vector asked(4, PromptRequest::Question("程序正在保存文件，是否真的要退出?"));
    asked[0] = asked[1] = PromptRequest::Question("当前没有任何文字信息,是否要继续保存文件?");
    EXPECT_EQ(prompts.Requests(), asked);
    // The first file was written; the rest, untouched, and no temporary is left.
    std::map<std::string, testbmp::Bytes> after = work.Files();
    EXPECT_NE(after["good.bmp"], before["good.bmp"]);
    before.erase("good.bmp"), after.erase("good.bmp");
    EXPECT_EQ(after, before);
}

} // namespace
