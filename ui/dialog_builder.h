#pragma once

#include "res/dialog_template.h"

#include <QFont>
#include <QKeyEvent>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>

class QDialog;

// Builds dialogs from their templates: the dialog font, the conversion from dialog units to
// pixels, the child controls with their ids, and the tab order.

// The property that carries a control's id; controls with an id are also named "control_<id>".
inline constexpr char kControlIdProperty[] = "controlId";

// The template's font; a face that is not installed falls back to the CJK interface font,
// at the template's point size.
QFont DialogFont(const DialogTemplate &dialogTemplate);

// The font's average character width and height, the two base units of dialog units.
struct DialogBaseUnits
{
    int x = 0;
    int y = 0;
};
DialogBaseUnits BaseUnitsFor(const QFont &font);

// Dialog units to pixels: x and widths by base x / 4, y and heights by base y / 8, rounded.
QRect DialogUnitsToPixels(const DialogUnitRect &rect, DialogBaseUnits units);

// Makes the template's controls as children of client (the dialog itself when none is given),
// places them, sets the tab order, the dialog's font, caption and window kind, and sizes the
// client area to the template's size. OK and Cancel buttons end the dialog. Returns the size
// of the client area in pixels.
QSize BuildDialog(QDialog *dialog, const DialogTemplate &dialogTemplate, QWidget *client = nullptr);

// Enter in a dialog whose template has no default button: presses the focused push button, and
// anywhere else calls otherwise. Returns whether the key was Enter, which is then taken.
bool HandleEnterKey(QDialog *dialog, QKeyEvent *event, const std::function<void()> &otherwise);

// The id of a control made by BuildDialog, or -1.
int ControlId(const QWidget *widget);

// The first control with this id under root, or null.
QWidget *FindControlWidget(const QWidget *root, int id);

template<typename T>
T *FindControl(const QWidget *root, int id)
{
    return qobject_cast<T *>(FindControlWidget(root, id));
}
