#pragma once

#include "overlay/text_properties_exchange.h"
#include "overlay/text_style.h"

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;
class SurfaceCanvas;

// The dialog that edits the text, its font, colours, background mode and opacity on a copy of
// the text style, with swatches and a live preview redrawn at every change. Only OK hands the
// copy back; the caller copies it into its own record.
class TextPropertiesDialog : public QDialog, private TextPropertiesControls
{
    Q_OBJECT

public:
    explicit TextPropertiesDialog(QWidget *parent = nullptr);
    ~TextPropertiesDialog() override;

    // Takes the caller's record as the working copy (the drag points stay this copy's own).
    void SetStyle(const TextStyle &source);
    // Runs the dialog: IDOK when ended by OK or Enter, IDCANCEL otherwise.
    int DoModal();

    // Repaints both swatches and the preview now, from the working copy.
    void RedrawPreview();
    // Whether a point in dialog coordinates is on the control, the column right of it and the
    // row below it counting as on it.
    bool IsPointOnControl(int id, const QPoint &point) const;

    TextStyle style;
    QSlider *alphaSlider = nullptr;
    std::int32_t bgTransparentValue = 0;
    std::int32_t alphaValue = 0;
    QString textValue;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    // Esc and the close box end here.
    void reject() override;

private:
    bool UpdateData(bool saveAndValidate);
    void OnInitDialog();
    void OnOK();
    void OnCancel();

    void OnFontButton();
    void OnHScroll();
    void OnBgTransparentClicked();
    void OnAlphaEditChange();
    void OnTextEditChange();
    void OnLButtonDown(const QPoint &point);
    void OnOkButton();
    void ChooseSwatchColor(COLORREF &color);

    QWidget *Control(int id) const;

    // The controls as the exchange sees them.
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    QString GetText(int id) const override;
    void SetText(int id, const QString &text) override;
    void Warn(const QString &message) override;
    void FocusAndSelectAll(int id) override;

    TextPropertiesExchange m_exchange;
    QPushButton *m_fontButton = nullptr;
    QCheckBox *m_bgTransparentCheck = nullptr;
    QLineEdit *m_alphaEdit = nullptr;
    QLineEdit *m_textEdit = nullptr;
    SurfaceCanvas *m_textColorSwatch = nullptr;
    SurfaceCanvas *m_bkColorSwatch = nullptr;
    SurfaceCanvas *m_preview = nullptr;
    bool m_inPaint = false;
};

// The edit text command's dialog round: a fresh dialog on a copy of record, and on OK the copy
// goes back into record (the drag points stay record's own, dragging ends). Any other ending
// leaves record untouched. Returns the dialog's result; the caller redraws in every case.
int EditTextProperties(QWidget *owner, TextStyle &record);
