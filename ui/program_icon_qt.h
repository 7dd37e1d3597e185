#pragma once

#include <QIcon>
#include <QImage>

struct IconImage;

// One image of the program's icon as a QImage (ARGB32, straight alpha).
QImage ProgramIconImage(const IconImage &image);

// The program's icon (resource 128) as Qt takes it, at both of its sizes.
QIcon ProgramIcon();
