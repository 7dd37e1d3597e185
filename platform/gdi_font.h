#pragma once

#include "logfont.h"

#include <QFont>
#include <QString>

// The installed CJK font: the fallback for glyphs the chosen face lacks, and the face of a
// record whose face name is empty.
inline const QString kFallbackFamily = QStringLiteral("WenQuanYi Micro Hei");

// Pixel size of the font when the record's height is 0.
constexpr int kDefaultPixelSize = 16;
// Largest character height a record can ask for; larger ones are drawn at this size, so one
// text box stays within what a surface can hold.
constexpr int kMaxPixelSize = 2048;

// The font a record describes. Height < 0: character height -lfHeight pixels; > 0: the pixel
// size whose ascent plus descent comes closest to lfHeight without passing it; 0: 16 pixels.
// Weight 0 is normal; italic, underline and strike-out when non-zero; non-antialiased when the
// quality asks for it. Needs a QGuiApplication.
QFont FontFromLogFont(const LOGFONT &font);

// The record of a font, e.g. one picked in the font dialog. Fields a QFont does not hold
// (width, escapement, character set, precisions, pitch) come from base, and so does every field
// whose value base already turns into the same font: FontFromLogFont(base) gives back base.
LOGFONT LogFontFromFont(const QFont &font, const LOGFONT &base = {});

// Stores a face name in the record: UTF-8, cut at a character boundary to 31 bytes.
void SetFaceName(LOGFONT &font, const QString &face);
QString FaceName(const LOGFONT &font);
