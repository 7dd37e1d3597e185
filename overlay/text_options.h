#pragma once

#include "text_style.h"

#include <QString>
#include <QStringList>

// The text options of the command-line tool, read into a style:
//   --text TEXT  --font FAMILY  --size PIXELS (character height)  --weight N | --bold
//   --italic  --underline  --strikeout  --color #RRGGBB  --background #RRGGBB  --opaque
//   --alpha 0..255  --x N  --y N
// Each may also be written --name=value. Removes every option it knows, with its value, from
// args and leaves the other arguments in order; a "--" ends the options. On a bad or missing
// value returns false with a message for the user (style may then be partly set).
bool TakeTextOptions(QStringList &args, TextStyle &style, QString &error);

// The lines of the usage text that describe these options.
QString TextOptionsUsage();

// "#RRGGBB" (hex digits in either case) as a colour; false for anything else.
bool ParseHexColor(const QString &text, COLORREF &color);
