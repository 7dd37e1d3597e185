#include "text_properties_dialog.h"

#include "overlay/text_preview.h"
#include "res/dialog_template.h"
#include "res/text_properties_template.h"
#include "ui/dialog_builder.h"
#include "ui/prompt_service.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

// Shows a surface over the whole of a static frame. It takes no mouse input, so a click on a
// swatch reaches the dialog, which decides what the click means.
class SurfaceCanvas : public QWidget
{
public:
    explicit SurfaceCanvas(QWidget *frame)
        : QWidget(frame)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(frame->rect());
        show();
    }

    // Shows the new pixels at once. While the dialog itself paints, the canvas is painted
    // right after it in the same pass, so it only takes the pixels then.
    void Show(Surface &&surface, bool now)
    {
        // The surface leaves its unused byte zero; an image drawn onto a target with alpha
        // needs it opaque, which this conversion sets.
        m_image = surface.WrapAsImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (now)
            repaint();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_image.isNull())
            return;
        QPainter painter(this);
        painter.drawImage(0, 0, m_image);
    }

private:
    QImage m_image;
};

TextPropertiesDialog::TextPropertiesDialog(QWidget *parent)
    : QDialog(parent)
{
    BuildDialog(this, textprops::Template());
    // Labels, frames and group boxes take no clicks, so a click on or beside a swatch reaches
    // the dialog's own hit test.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (qobject_cast<QFrame *>(child) || qobject_cast<QGroupBox *>(child))
            child->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    m_fontButton = qobject_cast<QPushButton *>(Control(textprops::kFontButton));
    m_bgTransparentCheck = qobject_cast<QCheckBox *>(Control(textprops::kBgTransparentCheck));
    m_alphaEdit = qobject_cast<QLineEdit *>(Control(textprops::kAlphaEdit));
    m_textEdit = qobject_cast<QLineEdit *>(Control(textprops::kTextEdit));
    alphaSlider = qobject_cast<QSlider *>(Control(textprops::kAlphaSlider));
    m_textColorSwatch = new SurfaceCanvas(Control(textprops::kTextColorSwatch));
    m_bkColorSwatch = new SurfaceCanvas(Control(textprops::kBkColorSwatch));
    m_preview = new SurfaceCanvas(Control(textprops::kPreviewBox));
    Q_ASSERT(m_fontButton && m_bgTransparentCheck && m_alphaEdit && m_textEdit && alphaSlider);

    connect(m_fontButton, &QPushButton::clicked, this, &TextPropertiesDialog::OnFontButton);
    // Tracking is on, so the preview follows the thumb while it is dragged; keys and clicks on
    // the slider arrive here too.
    alphaSlider->setTracking(true);
    connect(alphaSlider, &QSlider::valueChanged, this, &TextPropertiesDialog::OnHScroll);
    connect(m_bgTransparentCheck, &QCheckBox::clicked, this,
            &TextPropertiesDialog::OnBgTransparentClicked);
    // A pass's own writes into the edits raise no handler, so a restored or clamped value is
    // not checked again.
    connect(m_alphaEdit, &QLineEdit::textChanged, this, [this] {
        if (!m_exchange.InPass())
            OnAlphaEditChange();
    });
    connect(m_textEdit, &QLineEdit::textChanged, this, [this] {
        if (!m_exchange.InPass())
            OnTextEditChange();
    });
    connect(qobject_cast<QPushButton *>(Control(textprops::kOkButton)), &QPushButton::clicked, this,
            &TextPropertiesDialog::OnOkButton);
    connect(qobject_cast<QPushButton *>(Control(textprops::kCancelButton)), &QPushButton::clicked,
            this, &TextPropertiesDialog::OnCancel);
}

TextPropertiesDialog::~TextPropertiesDialog() = default;

void TextPropertiesDialog::SetStyle(const TextStyle &source)
{
    style.CopyFrom(source);
}

int TextPropertiesDialog::DoModal()
{
    OnInitDialog();
    return exec();
}

QWidget *TextPropertiesDialog::Control(int id) const
{
    return FindControlWidget(this, id);
}

bool TextPropertiesDialog::UpdateData(bool saveAndValidate)
{
    return m_exchange.UpdateData(*this, saveAndValidate,
                                 {bgTransparentValue, alphaValue, textValue});
}

void TextPropertiesDialog::OnInitDialog()
{
    UpdateData(false);
    {
        // Setting the slider from code is not a user's move: no handler runs.
        const QSignalBlocker blocker(alphaSlider);
        alphaSlider->setRange(TextPropertiesExchange::kAlphaMin, TextPropertiesExchange::kAlphaMax);
        // A trackbar's own steps: one per arrow key, a fifth of the range per page.
        alphaSlider->setSingleStep(1);
        alphaSlider->setPageStep(
            (TextPropertiesExchange::kAlphaMax - TextPropertiesExchange::kAlphaMin) / 5);
        alphaSlider->setValue(style.alpha);
    }
    bgTransparentValue = style.bgTransparent;
    alphaValue = style.alpha;
    textValue = style.text;
    UpdateData(false);
    m_fontButton->setFocus();
}

void TextPropertiesDialog::OnOK()
{
    if (UpdateData(true))
        done(IDOK);
}

void TextPropertiesDialog::OnCancel()
{
    done(IDCANCEL);
}

void TextPropertiesDialog::reject()
{
    OnCancel();
}

void TextPropertiesDialog::OnOkButton()
{
    done(IDOK);
}

void TextPropertiesDialog::OnFontButton()
{
    if (const std::optional<LOGFONT> font = Prompts().ChooseFont(this, style.font)) {
        style.font = *font;
        RedrawPreview();
    }
}

void TextPropertiesDialog::OnHScroll()
{
    const int position = alphaSlider->value();
    alphaValue = position;
    style.alpha = position;
    UpdateData(false);
    RedrawPreview();
}

void TextPropertiesDialog::OnBgTransparentClicked()
{
    UpdateData(true);
    style.bgTransparent = bgTransparentValue != 0 ? 1 : 0;
    RedrawPreview();
}

void TextPropertiesDialog::OnAlphaEditChange()
{
    UpdateData(true); // a failure has been reported; the last accepted value goes back below
    alphaValue = std::clamp(alphaValue, TextPropertiesExchange::kAlphaMin,
                            TextPropertiesExchange::kAlphaMax);
    style.alpha = alphaValue;
    {
        const QSignalBlocker blocker(alphaSlider);
        alphaSlider->setValue(style.alpha);
    }
    UpdateData(false);
    RedrawPreview();
}

void TextPropertiesDialog::OnTextEditChange()
{
    UpdateData(true);
    style.text = textValue;
    RedrawPreview();
}

void TextPropertiesDialog::ChooseSwatchColor(COLORREF &color)
{
    if (const std::optional<COLORREF> chosen = Prompts().ChooseColor(this, color)) {
        color = *chosen;
        RedrawPreview();
    }
}

void TextPropertiesDialog::OnLButtonDown(const QPoint &point)
{
    if (IsPointOnControl(textprops::kTextColorSwatch, point))
        ChooseSwatchColor(style.textColor);
    if (IsPointOnControl(textprops::kBkColorSwatch, point))
        ChooseSwatchColor(style.bkColor);
}

bool TextPropertiesDialog::IsPointOnControl(int id, const QPoint &point) const
{
    const QWidget *control = Control(id);
    const QPoint topLeft = control->mapTo(this, QPoint(0, 0));
    // Right and bottom are the exclusive edges, and they count as inside.
    const int right = topLeft.x() + control->width();
    const int bottom = topLeft.y() + control->height();
    return topLeft.x() <= point.x() && point.x() <= right && topLeft.y() <= point.y()
        && point.y() <= bottom;
}

void TextPropertiesDialog::RedrawPreview()
{
    const bool now = !m_inPaint;
    for (const auto &[canvas, color] : {std::pair {m_textColorSwatch, style.textColor},
                                        std::pair {m_bkColorSwatch, style.bkColor}}) {
        Surface swatch(canvas->width(), canvas->height());
        swatch.FillSolidRect(0, 0, swatch.Width(), swatch.Height(), color);
        canvas->Show(std::move(swatch), now);
    }
    Surface background(m_preview->width(), m_preview->height());
    RenderPreview(background, style);
    m_preview->Show(std::move(background), now);
}

void TextPropertiesDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    m_inPaint = true;
    RedrawPreview();
    m_inPaint = false;
}

void TextPropertiesDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->position().toPoint());
    QDialog::mousePressEvent(event);
}

void TextPropertiesDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter away from a push button accepts the dialog through the exchange.
    if (!HandleEnterKey(this, event, [this] { OnOK(); }))
        QDialog::keyPressEvent(event);
}

int TextPropertiesDialog::GetCheck(int) const
{
    return m_bgTransparentCheck->isChecked() ? 1 : 0;
}

void TextPropertiesDialog::SetCheck(int, int state)
{
    // A two-state box shows the indeterminate state as checked.
    m_bgTransparentCheck->setChecked(state != 0);
}

QString TextPropertiesDialog::GetText(int id) const
{
    return id == textprops::kAlphaEdit ? m_alphaEdit->text() : m_textEdit->text();
}

void TextPropertiesDialog::SetText(int id, const QString &text)
{
    (id == textprops::kAlphaEdit ? m_alphaEdit : m_textEdit)->setText(text);
}

void TextPropertiesDialog::Warn(const QString &message)
{
    Prompts().Warning(this, message);
}

void TextPropertiesDialog::FocusAndSelectAll(int id)
{
    QLineEdit *edit = id == textprops::kAlphaEdit ? m_alphaEdit : m_textEdit;
    edit->setFocus();
    edit->selectAll();
}

int EditTextProperties(QWidget *owner, TextStyle &record)
{
    TextPropertiesDialog dialog(owner);
    dialog.SetStyle(record);
    const int result = dialog.DoModal();
    if (result == IDOK)
        record.CopyFrom(dialog.style);
    return result;
}
