#include "raw_arguments.h"

#include <QFile>

#include <cstdio>

QStringList UnfaithfulArguments(int argc, const char *const *argv)
{
    QStringList unfaithful;
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        const QString converted = QFile::decodeName(raw);
        if (QFile::encodeName(converted) != raw)
            unfaithful << converted;
    }
    return unfaithful;
}

int RefuseUnfaithfulNames(QStringList &files, const QStringList &unfaithful)
{
    const qsizetype before = files.size();
    files.removeIf([&unfaithful](const QString &file) {
        if (!unfaithful.contains(file))
            return false;
        std::fprintf(stderr,
                     "velmora-stamp: %s: the name is not valid UTF-8 and cannot be opened as "
                     "given (it would name another file); rename the file\n",
                     qUtf8Printable(file));
        return true;
    });
    return int(before - files.size());
}
