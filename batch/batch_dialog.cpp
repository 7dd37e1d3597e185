#include "batch_dialog.h"

#include "batch/batch_summary.h"
#include "batch/text_anchor.h"
#include "res/batch_strings.h"
#include "res/batch_template.h"
#include "res/dialog_template.h"
#include "ui/dialog_builder.h"
#include "ui/prompt_service.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

BatchDialog::BatchDialog(QWidget *parent)
    : QDialog(parent)
{
    BuildDialog(this, batchdlg::Template());
    progress = FindControl<QProgressBar>(this, batchdlg::kProgress);
    fileList = FindControl<QListWidget>(this, batchdlg::kFileList);
    anchorCombo = FindControl<QComboBox>(this, batchdlg::kAnchorCombo);
    m_saveAllButton = FindControl<QPushButton>(this, batchdlg::kSaveAllButton);
    Q_ASSERT(progress && fileList && anchorCombo && m_saveAllButton);
    fileList->setSelectionMode(QAbstractItemView::SingleSelection);

    const std::pair<int, void (BatchDialog::*)()> handlers[] = {
        {batchdlg::kExitButton, &BatchDialog::OnBatchExit},
        {batchdlg::kAddButton, &BatchDialog::OnAddFiles},
        {batchdlg::kClearButton, &BatchDialog::OnClearList},
        {batchdlg::kDeleteButton, &BatchDialog::OnDeleteSelected},
        {batchdlg::kSaveAllButton, &BatchDialog::OnSaveAll},
    };
    for (const auto &[id, handler] : handlers) {
        auto *button = FindControl<QPushButton>(this, id);
        Q_ASSERT(button);
        connect(button, &QPushButton::clicked, this, handler);
    }
    connect(&m_watcher, &QFutureWatcher<RunOutcome>::finished, this, &BatchDialog::OnRunFinished);
}

BatchDialog::~BatchDialog()
{
    // The worker posts its progress without waiting for this thread, so waiting here cannot
    // lock up; it ends after the file it is on.
    m_stop = true;
    m_watcher.disconnect(this);
    m_run.waitForFinished();
}

bool BatchDialog::IsBusy() const
{
    return !m_saveAllButton->isEnabled();
}

void BatchDialog::SetStyle(const TextStyle &source)
{
    style.CopyFrom(source);
}

int BatchDialog::DoModal()
{
    OnInitDialog();
    return exec();
}

void BatchDialog::OnInitDialog()
{
    anchorCombo->clear();
    for (const char *text : strings::kAnchorTexts)
        anchorCombo->addItem(QString::fromUtf8(text));
    anchorCombo->setCurrentIndex(int(TextAnchor::Centre));
    anchorCombo->setFocus();
}

void BatchDialog::OnAddFiles()
{
    if (IsBusy())
        return;
    // Every chosen file is taken, however long the names together: there is no name buffer.
    const QStringList paths
        = Prompts().GetOpenFileNames(this, QString::fromUtf8(strings::kBatchFilter));
    fileList->addItems(paths);
}

void BatchDialog::OnDeleteSelected()
{
    if (IsBusy() || fileList->count() <= 0)
        return;
    const QList<QListWidgetItem *> selected = fileList->selectedItems();
    if (selected.isEmpty())
        return;
    delete fileList->takeItem(fileList->row(selected.front()));
    // The list would select the next entry by itself, and a second Delete would take a file
    // the user never chose: after a delete nothing is selected.
    fileList->setCurrentRow(-1);
    fileList->clearSelection();
}

void BatchDialog::OnClearList()
{
    if (IsBusy())
        return;
    fileList->clear();
}

void BatchDialog::OnBatchExit()
{
    done(IDCANCEL);
}

void BatchDialog::done(int result)
{
    if (!IsBusy()) {
        QDialog::done(result);
        return;
    }
    // Closing while the run writes would leave it writing behind a closed dialog.
    if (m_asking || m_closing)
        return;
    m_asking = true;
    const bool stop = Prompts().Question(this, QString::fromUtf8(strings::kBatchBusyExit))
        == MessageAnswer::Yes;
    m_asking = false;
    if (stop) {
        m_closing = true;
        m_closeResult = result;
        m_stop = true;
    }
    if (m_runEnded)
        FinishRun();
}

void BatchDialog::reject()
{
    done(IDCANCEL);
}

void BatchDialog::accept()
{
    done(IDOK);
}

void BatchDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter away from a push button ends the dialog with IDOK.
    if (!HandleEnterKey(this, event, [this] { done(IDOK); }))
        QDialog::keyPressEvent(event);
}

void BatchDialog::OnSaveAll()
{
    if (IsBusy())
        return;
    const int n = fileList->count();
    if (n <= 0) {
        Prompts().Warning(this, QString::fromUtf8(strings::kBatchNoFiles));
        return;
    }
    if (style.text.isEmpty()
        && Prompts().Question(this, QString::fromUtf8(strings::kBatchNoText)) != MessageAnswer::Yes)
        return;

    m_runEnded = false;
    m_closing = false;
    m_stop = false;
    m_saveAllButton->setEnabled(false);
    progress->setRange(0, n);
    progress->setValue(0);

    QStringList paths;
    paths.reserve(n);
    for (int i = 0; i < n; ++i)
        paths << fileList->item(i)->text();
    const BatchPlacement placement {
        TextAnchorFromIndex(anchorCombo->currentIndex()).value_or(TextAnchor::Centre), 0};

    // Called on the worker thread: it only posts, so it never waits for this one.
    BatchProgress report = [this, hook = m_workerHook](const BatchStep &step) {
        // A file that could not be read leaves the bar where it was.
        if (step.result != BatchFileResult::Unreadable)
            QMetaObject::invokeMethod(
                this, [this, at = step.index + 1] { progress->setValue(at); },
                Qt::QueuedConnection);
        if (hook)
            hook(step);
    };
    // The worker takes its own copy of the style and of the list.
    m_run = QtConcurrent::run(
        [paths, copy = style, placement, report = std::move(report), stop = &m_stop] {
            RunOutcome outcome;
            outcome.style = copy;
            outcome.result = RunBatch(paths, outcome.style, placement, report, stop);
            return outcome;
        });
    m_watcher.setFuture(m_run);
}

void BatchDialog::OnRunFinished()
{
    m_runEnded = true;
    // The busy question is up: its answer decides what the ending does.
    if (!m_asking)
        FinishRun();
}

void BatchDialog::FinishRun()
{
    const RunOutcome outcome = m_run.result();
    m_runEnded = false;
    style.x = outcome.style.x;
    style.y = outcome.style.y;
    style.cx = outcome.style.cx;
    style.cy = outcome.style.cy;
    m_saveAllButton->setEnabled(true);
    progress->setValue(0);

    if (m_closing) {
        // The user asked to leave; the files not reached stay as they were.
        m_closing = false;
        QDialog::done(m_closeResult);
        return;
    }
    const BatchSummary summary = BuildBatchSummary(outcome.result);
    if (summary.warning)
        Prompts().Warning(this, summary.text);
    else
        Prompts().Notice(this, summary.text);
}

void RunBatchDialog(QWidget *owner, const TextStyle &record)
{
    BatchDialog dialog(owner);
    dialog.SetStyle(record);
    dialog.DoModal();
}
