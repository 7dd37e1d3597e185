#include "ui/file_filter.h"

#include <gtest/gtest.h>

// The program's own filters are checked in its file dialogs; here what they do not show: more
// than one entry, patterns joined by ";", the empty filter.
TEST(FileFilter, TurnsCommandFiltersIntoQtFilters)
{
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("图片|*.bmp;*.dib|全部|*.*||")),
              QStringLiteral("图片 (*.bmp *.dib);;全部 (*.*)"));
    EXPECT_EQ(ToQtFileFilter(QString()), QString());
}
