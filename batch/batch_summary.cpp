#include "batch_summary.h"

#include "res/batch_strings.h"

namespace {

QString Block(const QStringList &paths, const char *closing)
{
    QString block = QString::fromUtf8(strings::kBatchAmong) + QLatin1Char('\n');
    for (const QString &path : paths)
        block += path + QLatin1Char('\n');
    return block + QString::fromUtf8(closing);
}

} // namespace

BatchSummary BuildBatchSummary(const BatchResult &result)
{
    const QString done = QString::fromUtf8(strings::kBatchDone);
    if (result.unreadable.isEmpty() && result.unwritable.isEmpty())
        return {done, false};
    QStringList blocks;
    if (!result.unreadable.isEmpty())
        blocks << Block(result.unreadable, strings::kBatchUnreadable);
    if (!result.unwritable.isEmpty())
        blocks << Block(result.unwritable, strings::kBatchUnwritable);
    return {done + QLatin1Char('\n') + blocks.join(QLatin1Char('\n')), true};
}
