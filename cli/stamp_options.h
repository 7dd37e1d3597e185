#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for.
struct StampOptions
{
    bool help = false;
    QString outputDir; // empty: each file is written over itself
    QStringList files;
};

// Reads the arguments after the program name. Options it does not know are a usage error
// unless an earlier step has taken them out. False with a message on a usage error.
bool ParseStampOptions(const QStringList &args, StampOptions &options, QString &error);

// Where a file's result goes.
QString StampTarget(const StampOptions &options, const QString &file);

QString StampUsage();
