#pragma once

#include "batch/batch_run.h"
#include "overlay/text_style.h"

#include <QDialog>
#include <QFuture>
#include <QFutureWatcher>

#include <atomic>

class QComboBox;
class QListWidget;
class QProgressBar;
class QPushButton;

// The batch dialog: a list of BMP files, one of the nine anchors, and the run that stamps the
// dialog's copy of the text onto every listed file and writes each back in place. The run goes
// on a worker thread, so the dialog repaints and answers while it works; meanwhile Add, Delete
// and Clear do nothing and every way of closing asks first. The copy never goes back to the
// caller.
class BatchDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BatchDialog(QWidget *parent = nullptr);
    // Stops a run still going and waits for the file it is on.
    ~BatchDialog() override;

    // Takes the caller's record as the dialog's own copy (the drag points stay this copy's own).
    void SetStyle(const TextStyle &source);
    // Runs the dialog; IDCANCEL from Exit and Esc, IDOK from Enter.
    int DoModal();

    // Whether a run is going: Save All stays disabled from the start of a run until its end.
    bool IsBusy() const;

    // For tests that hold a run: called on the worker thread after each file, once its
    // progress has been posted. Set it before Save All.
    void SetWorkerHook(BatchProgress hook) { m_workerHook = std::move(hook); }

    void OnAddFiles();
    void OnDeleteSelected();
    void OnClearList();
    void OnBatchExit();
    void OnSaveAll();

    TextStyle style;
    QProgressBar *progress = nullptr;
    QListWidget *fileList = nullptr;
    QComboBox *anchorCombo = nullptr;

public Q_SLOTS:
    // Every ending comes here (Exit, Esc, Enter, the close box); while busy it asks first.
    void done(int result) override;
    // Esc and the close box: IDCANCEL.
    void reject() override;
    // IDOK.
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // What the worker hands back: the outcome and its copy of the style.
    struct RunOutcome
    {
        BatchResult result;
        TextStyle style;
    };

    void OnInitDialog();
    void OnRunFinished();
    void FinishRun();

    QPushButton *m_saveAllButton = nullptr;
    QFuture<RunOutcome> m_run;
    QFutureWatcher<RunOutcome> m_watcher;
    std::atomic<bool> m_stop = false;
    BatchProgress m_workerHook;
    bool m_runEnded = false; // the worker is done, its ending not yet handled
    bool m_asking = false;   // the busy question is up
    bool m_closing = false;  // the user confirmed closing; the dialog ends with the run
    int m_closeResult = 0;
};

// The batch command's dialog round: a fresh dialog over owner on a copy of record, run
// modally. Nothing of it reaches record.
void RunBatchDialog(QWidget *owner, const TextStyle &record);
