#include "parallel_batch.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// The listings of one file, in list order.
using Chain = std::vector<int>;

std::vector<Chain> ChainsByFile(const QStringList &paths)
{
    std::vector<Chain> chains;
    QHash<QString, std::size_t> chainOf;
    for (int i = 0; i < paths.size(); ++i) {
        const QString key = BatchFileKey(paths[i]);
        const auto found = chainOf.constFind(key);
        if (found != chainOf.cend()) {
            chains[*found].push_back(i);
        } else {
            chainOf.insert(key, chains.size());
            chains.push_back({i});
        }
    }
    return chains;
}

} // namespace

QString BatchFileKey(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath(); // empty for a missing file
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

BatchResult RunBatchParallel(const QStringList &paths, const TextStyle &style,
                             BatchPlacement placement, int jobs, const BatchProgress &progress,
                             const std::atomic<bool> *stop, const BatchOutput &output)
{
    if (jobs <= 1) {
        TextStyle own = style;
        return RunBatch(paths, own, placement, progress, stop, output);
    }
    const std::vector<Chain> chains = ChainsByFile(paths);
    std::vector<std::optional<BatchFileResult>> results(std::size_t(paths.size()));
    std::mutex reportLock;
    std::size_t nextChain = 0; // guarded by reportLock

    // Runs on each worker thread: takes the next file's listings in first-listed order, one
    // chain after the other.
    const auto worker = [&] {
        TextStyle own = style;
        const Chain *chain = nullptr;
        std::size_t at = 0; // in chain
        const NextListedFile next = [&]() -> std::optional<ListedFile> {
            if (!chain || at == chain->size()) {
                const std::lock_guard lock(reportLock);
                if (nextChain == chains.size())
                    return std::nullopt;
                chain = &chains[nextChain++];
                at = 0;
            }
            const int index = (*chain)[at++];
            return ListedFile {index, paths[index]};
        };
        const BatchProgress relay = [&](const BatchStep &step) {
            const std::lock_guard lock(reportLock);
            results[std::size_t(step.index)] = step.result;
            if (progress)
                progress(step);
        };
        RunBatchOver(next, own, placement, relay, stop, output);
    };
    const int workers = int(std::min<std::size_t>(std::size_t(jobs), chains.size()));
    std::vector<std::jthread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(worker);
    worker();
    threads.clear(); // joins

    BatchResult result;
    for (int i = 0; i < paths.size(); ++i) {
        const auto &r = results[std::size_t(i)];
        if (!r) {
            result.stopped = true;
            continue;
        }
        result.Add(paths[i], *r);
    }
    return result;
}
