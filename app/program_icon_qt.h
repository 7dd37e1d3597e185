#pragma once

#include <QIcon>

// The program's icon (resource 128) as Qt takes it, at both of its sizes.
QIcon ProgramIcon();
