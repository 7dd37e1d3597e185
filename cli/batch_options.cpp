#include "batch_options.h"

#include <cstdint>
#include <optional>

namespace {

// The value of option name at args[i], given as "--name VALUE" or "--name=VALUE"; removes
// what it took. Nothing when args[i] is not that option.
std::optional<QString> TakeValue(QStringList &args, qsizetype i, const QString &name, bool &missing)
{
    const QString &arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size()) {
            missing = true;
            args.removeAt(i);
            return QString();
        }
        const QString value = args[i + 1];
        args.remove(i, 2);
        return value;
    }
    if (arg.startsWith(name + QLatin1Char('='))) {
        const QString value = arg.mid(name.size() + 1);
        args.removeAt(i);
        return value;
    }
    return std::nullopt;
}

bool ParseCount(const QString &text, int low, int high, int &value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    value = v;
    return true;
}

} // namespace

bool TakeBatchOptions(QStringList &args, BatchOptions &options, QString &error)
{
    const QString anchor = QStringLiteral("--anchor");
    const QString margin = QStringLiteral("--margin");
    const QString jobs = QStringLiteral("--jobs");
    for (qsizetype i = 0; i < args.size();) {
        if (args[i] == QLatin1String("--"))
            break;
        bool missing = false;
        if (const auto v = TakeValue(args, i, anchor, missing)) {
            const std::optional<TextAnchor> a = ParseTextAnchor(v->toStdString());
            if (missing || !a) {
                error = QStringLiteral("--anchor needs one of centre, top-centre, bottom-centre, "
                                       "top-left, middle-left, bottom-left, top-right, "
                                       "middle-right, bottom-right or 0..8");
                return false;
            }
            options.placement.anchor = *a;
        } else if (const auto m = TakeValue(args, i, margin, missing)) {
            if (missing || !ParseCount(*m, 0, 65535, options.placement.margin)) {
                error = QStringLiteral("--margin needs a number of pixels from 0 to 65535");
                return false;
            }
        } else if (const auto j = TakeValue(args, i, jobs, missing)) {
            if (missing || !ParseCount(*j, 1, 1024, options.jobs)) {
                error = QStringLiteral("--jobs needs a number from 1 to 1024");
                return false;
            }
        } else {
            ++i;
            continue;
        }
        options.requested = true;
    }
    return true;
}

QString BatchOptionsUsage()
{
    return QStringLiteral(
        "Batch options (any of them places the text by an anchor instead of --x and --y):\n"
        "  --anchor NAME     centre (default), top-centre, bottom-centre, top-left,\n"
        "                    middle-left, bottom-left, top-right, middle-right, bottom-right,\n"
        "                    or their numbers 0..8\n"
        "  --margin PIXELS   distance from the edges the text touches (default 0)\n"
        "  --jobs N          files stamped at once (default: one per core); a file listed\n"
        "                    twice is stamped twice, in list order\n"
        "With a terminal on standard error a progress bar shows files done and files per\n"
        "second; a summary line ends the run.\n");
}
