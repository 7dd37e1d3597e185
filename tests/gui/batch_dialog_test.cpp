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
    bool WaitFor(const std::function<bool()> &done) { return QTest::qWaitFor(done, 20000); }

    // The batch command's round on style. A script that leaves the dialog open has any run
    // finish first, so it closes without asking.
    void Run(const std::function<void()> &script)
    {
        RunModal<BatchDialog>([&] { RunBatchDialog(nullptr, style); },
                              [&](BatchDialog &d) {
                                  dialog = &d;
                                  script();
                                  gate.release(1000);
                                  EXPECT_TRUE(WaitFor([&] { return !d.IsBusy(); }));
                              });
    }

    QTemporaryDir dir;
    BatchWorkload work {dir.path()};
    ScriptedPrompts prompts;
    QSemaphore gate;
    TextStyle style = HalfWhite();
    BatchDialog *dialog = nullptr;
};

TEST_F(BatchDialogTest, EditsAndStampsTheListInOrderStopsOnlyOnYesAndSaysEveryOutcome)
{
    // What the same list and anchor give, from the run itself over a second workload.
    QTemporaryDir refDir;
    const BatchWorkload ref(refDir.path());
    TextStyle reference = HalfWhite();
    RunBatch(ref.List(), reference, {TextAnchor::BottomRight, 0});
    std::vector<int> positions;
    Run([&] {
        prompts.AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kSaveAllButton);                         // no files yet: a warning
        prompts.AnswerOpenFiles({"/a.bmp", "/b.bmp", "/a.bmp"}); // a file twice is listed twice
        Click(batchdlg::kAddButton);
        // Delete leaves nothing selected, so a second Delete takes nothing.
        dialog->fileList->setCurrentRow(1);
        Click(batchdlg::kDeleteButton);
        Click(batchdlg::kDeleteButton);
        EXPECT_EQ(dialog->fileList->count(), 2);
        Click(batchdlg::kClearButton);
        prompts.AnswerOpenFiles(work.List()).AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kAddButton);
        dialog->anchorCombo->setCurrentText("右下"); // bottom right
        QObject::connect(dialog->progress, &QProgressBar::valueChanged,
                         [&](int value) { positions.push_back(value); });
        Click(batchdlg::kSaveAllButton);
    });
    // Unreadable files leave the bar where it was; the failed write still counts as taken.
    EXPECT_EQ(positions, std::vector<int>({1, 3, 4, 6, 0}));
    EXPECT_EQ(work.Files(), ref.Files());

    // While a run goes on the list takes no edits.
    const testbmp::Bytes last = testbmp::ReadFile(work.second);
    Run([&] {
        // Held after the first file.
        dialog->SetWorkerHook([this](const BatchStep &step) { gate.acquire(step.index == 0); });
        dialog->fileList->addItems(work.List());
        Click(batchdlg::kSaveAllButton);
        // No file dialog, no change to the list.
        dialog->fileList->setCurrentRow(0);
        for (int id : {batchdlg::kAddButton, batchdlg::kDeleteButton, batchdlg::kClearButton})
            Click(id);
        EXPECT_EQ(dialog->fileList->count(), 6);
        // Every ending (Exit, Esc, Enter, the close box) comes to the one question; No keeps the
        // run going.
        prompts.AnswerMessage(MessageAnswer::No);
        dialog->close();
        EXPECT_TRUE(dialog->isVisible() && dialog->IsBusy());
        // Yes waits for the file the worker is on, asks no second time, and closes without a
        // summary.
        prompts.AnswerMessage(MessageAnswer::Yes);
        Click(batchdlg::kExitButton);
        QTest::keyClick(dialog->fileList, Qt::Key_Escape);
        gate.release();
        EXPECT_TRUE(WaitFor([&] { return !dialog->isVisible(); }));
    });
    EXPECT_EQ(testbmp::ReadFile(work.second), last) << "the last file was reached";

    // With no text a run asks first, and No starts nothing. A run without a failure ends with
    // the notice, which has no caption.
    style.text.clear();
    Run([&] {
        prompts.AnswerOpenFiles({work.good}).AnswerMessage(MessageAnswer::No);
        prompts.AnswerMessage(MessageAnswer::Yes).AnswerMessage(MessageAnswer::Ok);
        Click(batchdlg::kAddButton);
        Click(batchdlg::kSaveAllButton);
        Click(batchdlg::kSaveAllButton);
    });
    const auto files = PromptRequest::FileDialog(PromptKind::OpenFiles, "位图文件(*.bmp)|*.bmp|");
    const auto noText = PromptRequest::Question("当前没有任何文字信息,是否要继续保存文件?");
    const auto busy = PromptRequest::Question("程序正在保存文件，是否真的要退出?");
    EXPECT_EQ(prompts.Requests(),
              (std::vector {PromptRequest::Warning("当前没有任何文件可以保存,请先添加文件!"), files,
                            files, PromptRequest::Warning(work.Summary()), busy, busy, files,
                            noText, noText, PromptRequest::Notice("文件保存完成!")}));
}

} // namespace
