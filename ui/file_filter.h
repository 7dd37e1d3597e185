#pragma once

#include <QString>

// A filter string of the file dialogs as the commands give it ("name|patterns|name|patterns",
// patterns separated by ";", an optional "|" at the end) in the form Qt's file dialog takes:
// "name (patterns)" entries joined by ";;". "BMP文件|*.bmp" becomes "BMP文件 (*.bmp)", and
// "位图文件(*.bmp)|*.bmp" "位图文件(*.bmp) (*.bmp)": a dialog that hides the details shows
// every name exactly as given and filters by the patterns.
QString ToQtFileFilter(const QString &filter);
