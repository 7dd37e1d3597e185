#include "file_lists.h"

#include <QFile>

#include <cstdio>

bool ReadFileList(const QString &list, bool nulSeparated, QStringList &names,
                  QStringList &unfaithful, QString &error)
{
    QFile file;
    const bool opened = list == QLatin1String("-")
        ? file.open(stdin, QIODevice::ReadOnly)
        : (file.setFileName(list), file.open(QIODevice::ReadOnly));
    if (!opened) {
        error = QStringLiteral("cannot read %1: %2").arg(list, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot read %1: %2").arg(list, file.errorString());
        return false;
    }
    for (const QByteArray &entry : bytes.split(nulSeparated ? '\0' : '\n')) {
        if (entry.isEmpty())
            continue;
        const QString name = QFile::decodeName(entry);
        names << name;
        if (QFile::encodeName(name) != entry)
            unfaithful << name;
    }
    return true;
}
