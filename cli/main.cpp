#include "batch/stream_road.h"
#include "cli/batch_mode.h"
#include "cli/raw_arguments.h"
#include "cli/stamp_options.h"
#include "overlay/text_options.h"

#include <QGuiApplication>

#include <cstdio>

namespace {

// Qt's own notices (a missing runtime folder and the like) would mix with the one line per
// failed file that the tool promises; only its fatal messages get through.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "velmora-stamp: %s\n", qUtf8Printable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(QuietMessages);
    // Text drawing needs a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString usage = StampUsage() + QLatin1Char('\n') + TextOptionsUsage() + QLatin1Char('\n')
        + BatchOptionsUsage();
    QStringList args = app.arguments().mid(1);
    TextStyle style;
    StampOptions options;
    BatchOptions batch;
    QString error;
    bool parsed = TakeTextOptions(args, style, error) && TakeBatchOptions(args, batch, error)
        && ParseStampOptions(args, options, error);
    // A name that is not valid UTF-8 would reach another file; a file so named is refused
    // alone, any other such argument is a usage error.
    const QStringList unfaithful = UnfaithfulArguments(argc, argv);
    for (const QString &arg : unfaithful)
        if (parsed && !options.files.contains(arg)) {
            error = QStringLiteral("an argument is not valid UTF-8: %1").arg(arg);
            parsed = false;
        }
    if (parsed && batch.requested && !options.outputDir.isEmpty()) {
        error = QStringLiteral("the batch options stamp in place: they take no --output-dir");
        parsed = false;
    }
    if (!parsed) {
        std::fprintf(stderr, "velmora-stamp: %s\n%s", qUtf8Printable(error), qUtf8Printable(usage));
        return 2;
    }
    if (options.help) {
        std::fputs(qUtf8Printable(usage), stdout);
        return 0;
    }
    const int refused = RefuseUnfaithfulNames(options.files, unfaithful);
    if (batch.requested) {
        const int status = RunBatchMode(options.files, style, batch);
        return refused ? 1 : status;
    }
    // The text goes where the options put it, at the picture's own resolution.
    const POINT at {style.x, style.y};
    const TextPlacement given = [at](std::int32_t, std::int32_t, SIZE) {
        return at;
    };

    int failed = refused;
    for (const QString &file : options.files) {
        const StampOutcome outcome
            = StreamStampFile(file, StampTarget(options, file), style, given);
        if (!outcome.ok) {
            std::fprintf(stderr, "velmora-stamp: %s: %s\n", qUtf8Printable(file),
                         qUtf8Printable(outcome.error));
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
