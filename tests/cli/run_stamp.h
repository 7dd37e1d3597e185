#pragma once

#include <QProcess>
#include <QStringList>

struct ToolRun
{
    int code = -1; // -1: crashed or never finished
    QString out, err;
};

// Runs the tool with no display and no platform named: it must choose the offscreen one itself.
inline ToolRun RunStamp(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORA_STAMP_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
