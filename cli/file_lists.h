#pragma once

#include <QString>
#include <QStringList>

// The names listed in a file ("-": standard input), one a line or, nulSeparated, one per
// NUL-terminated entry; empty entries are skipped. The bytes are taken as they stand, so a
// name that is not valid UTF-8 is not turned into another one: such names go to unfaithful,
// as converted, besides names. False with the system's reason when the list cannot be read.
bool ReadFileList(const QString &list, bool nulSeparated, QStringList &names,
                  QStringList &unfaithful, QString &error);
