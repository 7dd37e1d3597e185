#include "stamp_run.h"

#include "batch/parallel_batch.h"
#include "cli/file_lists.h"
#include "cli/progress_bar.h"
#include "cli/raw_arguments.h"
#include "platform/gdi_font.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

// Set from the signal handler: a lock-free atomic is safe to store there.
std::atomic<bool> g_stop {false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void RequestStop(int signal)
{
    g_stop.store(true);
    // A second signal ends the process at once.
    std::signal(signal, SIG_DFL);
}

void Say(const QString &line)
{
    std::fprintf(stderr, "velmora-stamp: %s\n", qUtf8Printable(line));
}

// Two different files of one name would be written to the same place in the output folder,
// the second over the first: the message naming both, or nothing.
QString Collision(const QStringList &files, const BatchOutput &output)
{
    QHash<QString, QString> firstByTarget;
    for (const QString &file : files) {
        const QString target = BatchFileKey(BatchTarget(file, output));
        const auto found = firstByTarget.constFind(target);
        if (found == firstByTarget.cend())
            firstByTarget.insert(target, file);
        else if (BatchFileKey(*found) != BatchFileKey(file))
            return QStringLiteral("%1 and %2 would both be written to %3; nothing was written")
                .arg(*found, file, BatchTarget(file, output));
    }
    return {};
}

// The face the text is drawn in when the asked one is not installed.
void WarnOfMissingFont(const TextStyle &style)
{
    const QString asked = FaceName(style.font);
    if (asked.isEmpty() || QFontDatabase::hasFamily(asked))
        return;
    Say(QStringLiteral("warning: no font family \"%1\"; the text is drawn in \"%2\"")
            .arg(asked, QFontInfo(FontFromLogFont(style.font)).family()));
}

} // namespace

int RunStampRequest(StampRequest request)
{
    QStringList unfaithful = request.unfaithful;
    for (const QString &list : std::as_const(request.fileLists)) {
        QString error;
        if (!ReadFileList(list, request.nulSeparated, request.files, unfaithful, error)) {
            Say(error);
            return 2;
        }
    }
    const qsizetype listed = request.files.size();
    const int refused = RefuseUnfaithfulNames(request.files, unfaithful);
    if (!request.output.folder.isEmpty()) {
        const QString collision = Collision(request.files, request.output);
        if (!collision.isEmpty()) {
            Say(collision);
            return 2;
        }
    }
    WarnOfMissingFont(request.style);

    const int jobs
        = request.jobs > 0 ? request.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    for (const int signal : {SIGINT, SIGTERM})
        if (std::signal(signal, RequestStop) == SIG_IGN) // started in the background: keep it so
            std::signal(signal, SIG_IGN);

    const bool many = listed > 1;
    const bool chatty = many && !request.quiet;
    ProgressBar bar(stderr, chatty ? int(request.files.size()) : 0, chatty);
    int done = 0;
    // Called from the workers, one call at a time.
    const BatchProgress progress = [&](const BatchStep &step) {
        ++done;
        if (step.result != BatchFileResult::Written) {
            bar.Clear();
            Say(step.reason);
        } else if (!step.warning.isEmpty()) {
            bar.Clear();
            Say(QStringLiteral("warning: ") + step.warning);
        }
        bar.Update(done);
    };
    const BatchResult result = RunBatchParallel(request.files, request.style, request.placement,
                                                jobs, progress, &g_stop, request.output);
    bar.Clear();
    if (chatty)
        Say(QStringLiteral("%1 of %2 files written, %3 unreadable, %4 unwritable%5")
                .arg(result.written.size())
                .arg(listed)
                .arg(result.unreadable.size() + refused)
                .arg(result.unwritable.size())
                .arg(result.stopped ? QStringLiteral(", stopped before the end of the list")
                                    : QString()));
    return result.written.size() == listed ? 0 : 1;
}
