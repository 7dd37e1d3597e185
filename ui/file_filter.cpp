#include "file_filter.h"

#include <QStringList>

QString ToQtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &name = parts[i];
        QString patterns = parts[i + 1].trimmed();
        if (name.isEmpty() && patterns.isEmpty())
            continue;
        patterns.replace(u';', u' ');
        entries << name + QStringLiteral(" (") + patterns + u')';
    }
    return entries.join(QStringLiteral(";;"));
}
