#pragma once

// Runs checks on a modal dialog while it is up: the dialog's own event loop would otherwise
// hold the test until a user closed it.

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Calls start(), which opens a modal dialog of type T, and runs script on that dialog once it
// is up. A script that leaves it open has it closed, so a failed check never hangs the run.
template<typename T>
void RunModal(const std::function<void()> &start, const std::function<void(T &)> &script)
{
    bool seen = false;
    QTimer::singleShot(0, qApp, [&] {
        auto *d = qobject_cast<T *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        seen = true;
        script(*d);
        if (d->isVisible())
            static_cast<QDialog *>(d)->done(-1); // protected in some dialogs
    });
    start();
    EXPECT_TRUE(seen) << "the dialog never came up";
}
