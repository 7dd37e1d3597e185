#include "dialog_builder.h"

#include "platform/gdi_font.h"
#include "program_icon_qt.h"
#include "res/resource_ids.h"
#include "res/window_styles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QStyleFactory>

#include <cmath>
#include <vector>

namespace {

using namespace styles;

// The interface font of this platform, which also carries the Chinese glyphs.

// The size a static icon control takes, whatever its rectangle says.
constexpr int kIconSize = 32;

// The platform's trackbar lowers its value on Up and Page Up and raises it on Down and Page
// Down; Qt's slider does the opposite. Left, Right, Home and End agree already.
class TrackbarKeys : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        QAbstractSlider::SliderAction action = QAbstractSlider::SliderNoAction;
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
            action = QAbstractSlider::SliderSingleStepSub;
            break;
        case Qt::Key_Down:
            action = QAbstractSlider::SliderSingleStepAdd;
            break;
        case Qt::Key_PageUp:
            action = QAbstractSlider::SliderPageStepSub;
            break;
        case Qt::Key_PageDown:
            action = QAbstractSlider::SliderPageStepAdd;
            break;
        default:
            return false;
        }
        static_cast<QAbstractSlider *>(watched)->triggerAction(action);
        return true;
    }
};

// Group boxes as the templates draw them: the title on the frame's top line, the line broken
// behind it. Qt's own Windows style draws them so; the program's style puts the title above
// the frame. One style for the run, owned by the application.
QStyle *GroupBoxStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Windows"));
        if (style)
            style->setParent(QCoreApplication::instance());
    }
    return style;
}

int MulDiv(int value, int numerator, int denominator)
{
    return int(std::lround(double(value) * numerator / denominator));
}

// A text with its "&" marks taken out ("&&" stands for one "&"), for labels with no buddy.
QString WithoutMnemonic(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

QWidget *MakeButton(const ControlTemplate &control, QWidget *parent)
{
    const QString text = QString::fromUtf8(control.text);
    switch (control.style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
        return new QCheckBox(text, parent);
    case BS_GROUPBOX: {
        auto *box = new QGroupBox(text, parent);
        if (QStyle *style = GroupBoxStyle())
            box->setStyle(style);
        return box;
    }
    case BS_DEFPUSHBUTTON: {
        auto *button = new QPushButton(text, parent);
        button->setDefault(true);
        return button;
    }
    default: {
        // Only a template's default push button is ever drawn as default: Qt would make the
        // next button default whenever the focus is elsewhere.
        auto *button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        return button;
    }
    }
}

QWidget *MakeStatic(const ControlTemplate &control, QWidget *parent)
{
    switch (control.style & SS_TYPEMASK) {
    case SS_ICON: {
        auto *label = new QLabel(parent);
        if (QString::fromUtf8(control.text).toInt() == ids::kProgramIcon)
            label->setPixmap(ProgramIcon().pixmap(kIconSize, kIconSize));
        return label;
    }
    case SS_BLACKFRAME: {
        auto *frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        frame->setPalette(palette);
        return frame;
    }
    case SS_ETCHEDFRAME: {
        auto *frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        return frame;
    }
    case SS_ETCHEDHORZ: {
        auto *frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::HLine | QFrame::Sunken);
        return frame;
    }
    default: {
        auto *label = new QLabel(QString::fromUtf8(control.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        Qt::Alignment horizontal = Qt::AlignLeft;
        if ((control.style & SS_TYPEMASK) == SS_CENTER)
            horizontal = Qt::AlignHCenter;
        else if ((control.style & SS_TYPEMASK) == SS_RIGHT)
            horizontal = Qt::AlignRight;
        label->setAlignment(horizontal | Qt::AlignTop);
        return label;
    }
    }
}

QWidget *MakeControl(const ControlTemplate &control, QWidget *parent)
{
    switch (control.controlClass) {
    case ControlClass::Button:
        return MakeButton(control, parent);
    case ControlClass::Static:
        return MakeStatic(control, parent);
    case ControlClass::Edit:
        return new QLineEdit(QString::fromUtf8(control.text), parent);
    case ControlClass::ScrollBar:
        return new QScrollBar(control.style & SBS_VERT ? Qt::Vertical : Qt::Horizontal, parent);
    case ControlClass::Trackbar: {
        auto *slider
            = new QSlider(control.style & TBS_VERT ? Qt::Vertical : Qt::Horizontal, parent);
        slider->setRange(0, 100); // a new trackbar's range
        slider->installEventFilter(new TrackbarKeys(slider));
        if (!(control.style & TBS_NOTICKS))
            slider->setTickPosition(control.style & TBS_BOTH ? QSlider::TicksBothSides
                                                             : QSlider::TicksBelow);
        return slider;
    }
    case ControlClass::Progress: {
        auto *progress = new QProgressBar(parent);
        progress->setRange(0, 100); // a new progress bar's range
        progress->setValue(0);
        progress->setTextVisible(false);
        return progress;
    }
    case ControlClass::ListBox:
        return new QListWidget(parent);
    case ControlClass::ComboBox:
        return new QComboBox(parent);
    }
    return new QWidget(parent);
}

bool IsLabel(const ControlTemplate &control)
{
    const std::uint32_t type = control.style & SS_TYPEMASK;
    return control.controlClass == ControlClass::Static
        && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
}

bool TakesFocus(const ControlTemplate &control)
{
    if (control.controlClass == ControlClass::Static)
        return false;
    return !(control.controlClass == ControlClass::Button
             && (control.style & BS_TYPEMASK) == BS_GROUPBOX);
}

// A label's mnemonic moves the focus to the next control that can take it.
void SetBuddies(const DialogTemplate &dialogTemplate, const std::vector<QWidget *> &widgets)
{
    const auto &controls = dialogTemplate.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!IsLabel(controls[i]))
            continue;
        auto *label = static_cast<QLabel *>(widgets[i]);
        const QString text = QString::fromUtf8(controls[i].text);
        QWidget *buddy = nullptr;
        if (!(controls[i].style & SS_NOPREFIX)) {
            for (std::size_t j = i + 1; j < controls.size() && !buddy; ++j)
                if (TakesFocus(controls[j]))
                    buddy = widgets[j];
        }
        if (buddy && text.contains(u'&')) {
            label->setTextFormat(Qt::AutoText);
            label->setText(text);
            label->setBuddy(buddy);
        } else if (!(controls[i].style & SS_NOPREFIX)) {
            label->setText(WithoutMnemonic(text));
        }
    }
}

void SetWindowKind(QDialog *dialog, const DialogTemplate &dialogTemplate)
{
    const std::uint32_t style = dialogTemplate.style;
    Qt::WindowFlags flags
        = (dialogTemplate.extendedStyle & WS_EX_APPWINDOW) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if (style & WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
    dialog->setWindowFlags(flags);
}

} // namespace

QFont DialogFont(const DialogTemplate &dialogTemplate)
{
    const QString face = QString::fromUtf8(dialogTemplate.fontFace);
    QFont font(!face.isEmpty() && QFontDatabase::hasFamily(face) ? face : kFallbackFamily);
    font.setPointSize(dialogTemplate.fontPointSize > 0 ? dialogTemplate.fontPointSize : 9);
    return font;
}

DialogBaseUnits BaseUnitsFor(const QFont &font)
{
    // The average width is that of the Latin letters, rounded to the nearest pixel.
    static const QString kAlphabet
        = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    return {(metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2, metrics.height()};
}

QRect DialogUnitsToPixels(const DialogUnitRect &rect, DialogBaseUnits units)
{
    return {MulDiv(rect.x, units.x, 4), MulDiv(rect.y, units.y, 8), MulDiv(rect.width, units.x, 4),
            MulDiv(rect.height, units.y, 8)};
}

QSize BuildDialog(QDialog *dialog, const DialogTemplate &dialogTemplate, QWidget *client)
{
    if (!client)
        client = dialog;
    const QFont font = DialogFont(dialogTemplate);
    dialog->setFont(font);
    SetWindowKind(dialog, dialogTemplate);
    dialog->setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    const DialogBaseUnits units = BaseUnitsFor(font);

    std::vector<QWidget *> widgets;
    widgets.reserve(dialogTemplate.controls.size());
    for (const ControlTemplate &control : dialogTemplate.controls) {
        QWidget *widget = MakeControl(control, client);
        widget->setProperty(kControlIdProperty, control.id);
        if (control.id != -1)
            widget->setObjectName(QStringLiteral("control_%1").arg(control.id));
        QRect rect = DialogUnitsToPixels(control.rect, units);
        if (control.controlClass == ControlClass::Static
            && (control.style & SS_TYPEMASK) == SS_ICON)
            rect.setSize({kIconSize, kIconSize});
        if (control.controlClass == ControlClass::ComboBox) // the rectangle includes the list
            rect.setHeight(widget->sizeHint().height());
        widget->setGeometry(rect);
        if (!(control.style & WS_VISIBLE))
            widget->setVisible(false);
        if (control.style & WS_DISABLED)
            widget->setEnabled(false);
        if (!(control.style & WS_TABSTOP) && (widget->focusPolicy() & Qt::TabFocus))
            widget->setFocusPolicy(Qt::ClickFocus);
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            if (control.id == IDOK)
                QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
            else if (control.id == IDCANCEL)
                QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
        }
        widgets.push_back(widget);
    }
    SetBuddies(dialogTemplate, widgets);

    // Group boxes lie under the controls they frame.
    for (QWidget *widget : widgets)
        if (qobject_cast<QGroupBox *>(widget))
            widget->lower();

    QWidget *previous = nullptr;
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        if (!TakesFocus(dialogTemplate.controls[i]))
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widgets[i]);
        previous = widgets[i];
    }

    const QRect size = DialogUnitsToPixels(dialogTemplate.rect, units);
    client->resize(size.size());
    if (client == dialog) {
        if ((dialogTemplate.style & DS_MODALFRAME) && !(dialogTemplate.style & WS_THICKFRAME))
            dialog->setFixedSize(size.size());
        else
            dialog->resize(size.size());
    }
    return size.size();
}

int ControlId(const QWidget *widget)
{
    const QVariant id = widget ? widget->property(kControlIdProperty) : QVariant();
    return id.isValid() ? id.toInt() : -1;
}

QWidget *FindControlWidget(const QWidget *root, int id)
{
    if (!root)
        return nullptr;
    const QList<QWidget *> children = root->findChildren<QWidget *>();
    for (QWidget *child : children) {
        const QVariant value = child->property(kControlIdProperty);
        if (value.isValid() && value.toInt() == id)
            return child;
    }
    return nullptr;
}

bool HandleEnterKey(QDialog *dialog, QKeyEvent *event, const std::function<void()> &otherwise)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (auto *button = qobject_cast<QPushButton *>(dialog->focusWidget()))
        button->click();
    else
        otherwise();
    event->accept();
    return true;
}
