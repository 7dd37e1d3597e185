#pragma once

#include "overlay/text_style.h"
#include "support/bmp_builder.h"

#include <QStringList>

#include <map>
#include <string>

// A mixed batch list in one folder: a good picture listed twice, a missing file, a picture that
// can be read but not replaced (in a subfolder locked against new files, even for root), a file
// with a bad header, and a second good picture of another size.
struct BatchWorkload
{
    explicit BatchWorkload(const QString &folder);
    ~BatchWorkload() { Lock(false); } // so that the folder can be removed

    QStringList List() const { return {good, missing, good, unwritable, bad, second}; }
    // The closing warning a run over List() ends with.
    QString Summary() const;
    // Every file in the folder and the subfolders given by name, so stray temporaries show up.
    std::map<std::string, testbmp::Bytes> Files(const QStringList &subs = {"", "locked/"}) const;
    void Lock(bool locked) const;

    QString folder, good = folder + "/good.bmp", missing = folder + "/missing.bmp",
                    unwritable = folder + "/locked/unwritable.bmp", bad = folder + "/bad.bmp",
                    second = folder + "/second.bmp";
};

// White "Ab" at half opacity.
TextStyle HalfWhite();
