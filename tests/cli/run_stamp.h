#pragma once

#include <QProcess>

struct ToolRun
{
    int code = -1; // -1: crashed, or killed after a minute
    QString out, err;
};

// Runs the tool with no display and no platform named: it must choose the offscreen one itself.
// Each argument goes through printf %b, so that "\377" is a byte a name may hold that is not
// UTF-8. It runs in folder; input goes to its standard input; extra holds NAME=VALUE variables
// for it, over ours.
inline ToolRun RunStamp(const QStringList &args, const QString &folder = {},
                        const QByteArray &input = {}, const QStringList &extra = {})
{
    const char *script = "unset QT_QPA_PLATFORM DISPLAY; for a; do set -- \"$@\" \"$(printf %b "
                         "\"$a\")\"; shift; done; exec '" VELMORA_STAMP_PATH "' \"$@\"";
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setEnvironment(QProcess::systemEnvironment() + extra);
    p.start("sh", QStringList {"-c", script, "sh"} + args);
    p.write(input);
    p.closeWriteChannel();
    const bool ended = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    return {ended ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
