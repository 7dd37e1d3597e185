#include "cli/raw_arguments.h"
#include "cli/stamp_command_line.h"
#include "cli/stamp_run.h"

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
    // Qt would take its own options (-reverse, -style, ...) out of the arguments, a value or a
    // file name among them: the application gets none, and the tool reads them all itself.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    // Text drawing needs a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(qtArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-stamp"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));

    StampRequest request;
    QString error;
    // A name that is not valid UTF-8 would reach another file.
    request.unfaithful = UnfaithfulArguments(argc, argv);
    switch (ParseStampCommandLine(arguments, request, error)) {
    case CommandLineResult::Help:
        std::fputs(qUtf8Printable(StampHelpText()), stdout);
        return 0;
    case CommandLineResult::Version:
        std::printf("velmora-stamp %s\n", VELMORA_VERSION);
        return 0;
    case CommandLineResult::UsageError:
        std::fprintf(stderr, "velmora-stamp: %s\nTry 'velmora-stamp --help'.\n",
                     qUtf8Printable(error));
        return 2;
    case CommandLineResult::Run:
        break;
    }
    return RunStampRequest(std::move(request));
}
