#include "stamp_options.h"

#include <QDir>
#include <QFileInfo>

bool ParseStampOptions(const QStringList &args, StampOptions &options, QString &error)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (optionsEnded || !arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            options.files << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--output-dir")) {
            if (i + 1 >= args.size()) {
                error = QStringLiteral("--output-dir needs a folder");
                return false;
            }
            options.outputDir = args[++i];
        } else if (arg.startsWith(QLatin1String("--output-dir="))) {
            options.outputDir = arg.mid(13);
            if (options.outputDir.isEmpty()) {
                error = QStringLiteral("--output-dir needs a folder");
                return false;
            }
        } else {
            error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    if (!options.help && options.files.isEmpty()) {
        error = QStringLiteral("no files given");
        return false;
    }
    if (!options.help && options.outputDir.isEmpty()
        && args.contains(QLatin1String("--output-dir"))) {
        error = QStringLiteral("--output-dir needs a folder");
        return false;
    }
    return true;
}

QString StampTarget(const StampOptions &options, const QString &file)
{
    if (options.outputDir.isEmpty())
        return file;
    return QDir(options.outputDir).filePath(QFileInfo(file).fileName());
}

QString StampUsage()
{
    return QStringLiteral(
        "Usage: velmora-stamp [--output-dir DIR] [TEXT OPTIONS] FILE...\n"
        "Reads each BMP file, draws it as the display shows it (32 bits per pixel), stamps the\n"
        "text line on it and writes it back as an uncompressed BMP file: over the file itself,\n"
        "or into DIR under the same file name.\n"
        "\n"
        "  --output-dir DIR  write the results into DIR instead of over the files\n"
        "  --help            show this text\n"
        "\n"
        "Exit status: 0 when every file was written, 1 when some were not, 2 on a usage error.\n"
        "Each file that cannot be read or written gets one line on standard error.\n");
}
