#pragma once

#include <QByteArray>
#include <QString>

// A small tmpfs mounted on an empty folder for as long as the object lives: a disk that really
// fills up. Only root may mount; Mounted() is false elsewhere and the test should skip.
struct SmallDisk
{
    SmallDisk(const QString &folder, const char *size);
    SmallDisk(const SmallDisk &) = delete;
    ~SmallDisk();
    bool Mounted() const { return mounted; }
    // Takes every free byte with a file named "filler".
    void Fill() const;

    const QByteArray folder;
    const bool mounted;
};
