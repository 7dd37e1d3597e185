#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

struct ToolRun
{
    int code = -1; // -1: crashed or never finished
    QString out, err;
};

// Runs the tool with no display and no platform named: it must choose the offscreen one itself.
// input goes to its standard input; extra holds more variables for its environment (NAME=VALUE).
inline ToolRun RunStamp(const QStringList &args, const QByteArray &input = {},
                        const QStringList &extra = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    for (const QString &variable : extra)
        env.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORA_STAMP_PATH), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

extern char **environ;

struct MeasuredRun : ToolRun
{
    long peakKiB = 0; // the tool's peak resident memory
};

// The same with the arguments' bytes exactly as given (names need not be valid UTF-8), and the
// tool's own peak memory measured; killed after a minute.
inline MeasuredRun RunStampRaw(const std::vector<QByteArray> &args)
{
    QTemporaryDir dir;
    const QByteArray out = QFile::encodeName(dir.filePath("out")),
                     err = QFile::encodeName(dir.filePath("err"));
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.constData(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.constData(), O_WRONLY | O_CREAT, 0600);
    std::vector<char *> argv {const_cast<char *>(VELMORA_STAMP_PATH)};
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    std::vector<char *> env;
    for (char **e = environ; *e; ++e)
        if (!QByteArray(*e).startsWith("QT_QPA_PLATFORM=")
            && !QByteArray(*e).startsWith("DISPLAY="))
            env.push_back(*e);
    env.push_back(nullptr);
    pid_t pid = 0;
    MeasuredRun run;
    if (posix_spawn(&pid, VELMORA_STAMP_PATH, &files, nullptr, argv.data(), env.data()) != 0)
        return run;
    posix_spawn_file_actions_destroy(&files);
    int status = 0;
    rusage usage {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            return run;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    QFile o(dir.filePath("out")), e(dir.filePath("err"));
    o.open(QIODevice::ReadOnly);
    e.open(QIODevice::ReadOnly);
    run.out = QString::fromUtf8(o.readAll());
    run.err = QString::fromUtf8(e.readAll());
    return run;
}
