#include "ui/file_filter.h"

#include <gtest/gtest.h>

TEST(FileFilter, TurnsCommandFiltersIntoQtFilters)
{
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("BMP文件|*.bmp")), QStringLiteral("BMP文件 (*.bmp)"));
    // A name that shows its patterns gets them once more, as the filter; a trailing "|" ends
    // the list.
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("位图文件(*.bmp)|*.bmp|")),
              QStringLiteral("位图文件(*.bmp) (*.bmp)"));
    EXPECT_EQ(ToQtFileFilter(QStringLiteral("图片|*.bmp;*.dib|全部|*.*||")),
              QStringLiteral("图片 (*.bmp *.dib);;全部 (*.*)"));
    EXPECT_EQ(ToQtFileFilter(QString()), QString());
}
