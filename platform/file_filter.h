#pragma once

#include <QString>

// A filter string of the file dialogs as the commands give it ("name|patterns|name|patterns",
// patterns separated by ";", an optional "|" at the end) in the form Qt's file dialog takes:
// "name (patterns)" entries joined by ";;". "BMP文件|*.bmp" becomes "BMP文件 (*.bmp)"; a name
// that already ends in its patterns in brackets is kept as it is.
QString ToQtFileFilter(const QString &filter);
