#include "batch_mode.h"

#include "batch/parallel_batch.h"
#include "cli/progress_bar.h"

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

} // namespace

int RunBatchMode(const QStringList &files, const TextStyle &style, const BatchOptions &options)
{
    const int jobs
        = options.jobs > 0 ? options.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    for (const int signal : {SIGINT, SIGTERM})
        if (std::signal(signal, RequestStop) == SIG_IGN) // started in the background: keep it so
            std::signal(signal, SIG_IGN);

    ProgressBar bar(stderr, int(files.size()));
    int done = 0;
    // Called from the workers, one call at a time.
    const BatchProgress progress = [&](const BatchStep &step) {
        ++done;
        if (step.result != BatchFileResult::Written) {
            bar.Clear();
            std::fprintf(stderr, "velmora-stamp: %s: %s\n", qUtf8Printable(step.path),
                         qUtf8Printable(step.reason));
        }
        bar.Update(done);
    };
    const BatchResult result
        = RunBatchParallel(files, style, options.placement, jobs, progress, &g_stop);
    bar.Clear();
    std::fprintf(stderr,
                 "velmora-stamp: %lld of %lld files written, %lld unreadable, %lld unwritable%s\n",
                 qlonglong(result.written.size()), qlonglong(files.size()),
                 qlonglong(result.unreadable.size()), qlonglong(result.unwritable.size()),
                 result.stopped ? ", stopped before the end of the list" : "");
    return result.written.size() == files.size() ? 0 : 1;
}
