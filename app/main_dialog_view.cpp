#include "main_dialog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

ClientArea::ClientArea(MainDialog *owner)
    : QWidget(owner)
    , m_owner(owner)
{
    setMouseTracking(true); // moves with no button held abandon a drag
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ClientArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_owner->PaintView(painter);
}

void ClientArea::resizeEvent(QResizeEvent *)
{
    // Every change of size lays the window out again and puts the view back to the start.
    m_owner->LayoutControls();
    m_owner->UpdateScrollBars();
    m_owner->DrawView();
}

void ClientArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_owner->OnLeftButtonDown(event->position());
    else if (event->button() == Qt::RightButton)
        m_owner->OnRightButtonDown();
}

void ClientArea::mouseMoveEvent(QMouseEvent *event)
{
    const bool keysHeld = event->buttons() != Qt::NoButton
        || (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    m_owner->OnMouseMove(event->position(), keysHeld);
}

void ClientArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_owner->OnLeftButtonUp(event->position());
}

void ClientArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_owner->OnLeftDoubleClick(event->position());
    else if (event->button() == Qt::RightButton)
        m_owner->OnRightButtonDown();
}

void MainDialog::PaintView(QPainter &painter)
{
    // The view as last drawn; it is assembled off-screen, so it reaches the window whole.
    if (m_viewSurface.Width() != m_viewWidth || m_viewSurface.Height() != m_viewHeight)
        DrawView();
    if (m_viewSurface.IsNull())
        return;
    QImage image = m_viewSurface.WrapAsImage();
    image.setDevicePixelRatio(ViewScale());
    painter.drawImage(QPointF(0, 0), image);
}

void MainDialog::DrawView()
{
    if (m_viewSurface.Width() != m_viewWidth || m_viewSurface.Height() != m_viewHeight)
        m_viewSurface = Surface(m_viewWidth, m_viewHeight, 32);
    if (!m_viewSurface.IsNull())
        m_renderer.Render(m_image, m_style, m_hbar->value(), m_vbar->value(), m_viewSurface);
    const double scale = ViewScale();
    m_client->update(0, 0, int(std::ceil(m_viewWidth / scale)),
                     int(std::ceil(m_viewHeight / scale)));
}

void MainDialog::UpdateScrollBars()
{
    if (!m_image.IsLoaded()) {
        m_hbar->setEnabled(false);
        m_vbar->setEnabled(false);
        return;
    }
    const auto update = [](QScrollBar *bar, int pictureSize, int viewSize) {
        if (pictureSize > viewSize) {
            bar->setRange(0, pictureSize - viewSize);
            bar->setValue(0);
            bar->setEnabled(true);
        } else {
            bar->setValue(0);
            bar->setEnabled(false);
        }
    };
    update(m_hbar, m_image.GetWidth(), m_viewWidth);
    update(m_vbar, m_image.GetHeight(), m_viewHeight);
}

void MainDialog::OnScrollAction(QScrollBar *bar, int action)
{
    if (!m_image.IsLoaded()) {
        bar->setSliderPosition(bar->value());
        return;
    }
    const int limit
        = bar == m_hbar ? m_image.GetWidth() - m_viewWidth : m_image.GetHeight() - m_viewHeight;
    const int current = bar->value();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
    case QAbstractSlider::SliderSingleStepAdd: {
        // One pixel per arrow click; at either end the position stays, the view is redrawn.
        const int p = current + (action == QAbstractSlider::SliderSingleStepAdd ? 1 : -1);
        const int target = p >= 0 && p <= limit ? p : current;
        bar->setSliderPosition(target);
        bar->setValue(target);
        DrawView();
        return;
    }
    case QAbstractSlider::SliderMove:
        if (!bar->isSliderDown()) { // a thumb placed by a click, released at once
            OnThumbReleased(bar);
            return;
        }
        return;
    default:
        // Page steps and jumps to either end do nothing.
        bar->setSliderPosition(current);
        return;
    }
}

void MainDialog::OnThumbReleased(QScrollBar *bar)
{
    if (!m_image.IsLoaded())
        return;
    bar->setValue(bar->sliderPosition());
    DrawView();
}

POINT MainDialog::ToViewPoint(const QPointF &clientPoint) const
{
    const double scale = ViewScale();
    return {std::int32_t(std::floor(clientPoint.x() * scale)),
            std::int32_t(std::floor(clientPoint.y() * scale))};
}

bool MainDialog::InView(POINT p) const
{
    // No test against the view's height.
    return p.x >= 0 && p.x <= m_viewWidth && p.y >= 0;
}

bool MainDialog::HitText(POINT p) const
{
    const long long px = (long long)p.x + m_hbar->value();
    const long long py = (long long)p.y + m_vbar->value();
    return m_style.x <= px && px <= (long long)m_style.x + m_style.cx && m_style.y <= py
        && py <= (long long)m_style.y + m_style.cy;
}

bool MainDialog::OverClientArea(const QPointF &clientPoint) const
{
    const QPoint point = clientPoint.toPoint();
    if (!m_client->rect().contains(point))
        return false;
    return !m_hbar->geometry().contains(point) && !m_vbar->geometry().contains(point);
}

void MainDialog::OnLeftButtonDown(const QPointF &clientPoint)
{
    const POINT p = ToViewPoint(clientPoint);
    if (!InView(p) || !m_image.IsLoaded())
        return;
    if (HitText(p)) {
        m_style.selected = 1;
        m_style.dragging = 1;
        m_style.dragStart = m_style.dragCurrent = p;
    } else {
        m_style.selected = 0;
        m_style.dragging = 0;
    }
    DrawView();
}

void MainDialog::OnMouseMove(const QPointF &clientPoint, bool keysHeld)
{
    if (m_style.dragging != 1)
        return;
    if (keysHeld) {
        m_style.dragCurrent = ToViewPoint(clientPoint);
    } else {
        // The button came up where the window could not see it: the drag is abandoned.
        m_style.dragCurrent = m_style.dragStart;
        m_style.dragging = 0;
    }
    DrawView();
}

void MainDialog::OnLeftButtonUp(const QPointF &clientPoint)
{
    // The press grabbed the mouse, so Qt also reports a release outside the window or over a
    // scroll bar, where the view would never see it: the drag goes on until the pointer comes
    // back with no button held, which abandons it and keeps the text selected.
    if (!OverClientArea(clientPoint))
        return;
    const POINT p = ToViewPoint(clientPoint);
    // A release in the corner square below the vertical bar ends whatever was going on.
    if (!InView(p)) {
        m_style.dragging = 0;
        m_style.selected = 0;
        DrawView();
        return;
    }
    if (!m_image.IsLoaded() || m_style.dragging == 0)
        return;
    const long long x = (long long)p.x + m_hbar->value();
    const long long y = (long long)p.y + m_vbar->value();
    if (x >= 0 && x <= m_image.GetWidth() && y >= 0 && y <= m_image.GetHeight()) {
        m_style.x += m_style.dragCurrent.x - m_style.dragStart.x;
        m_style.y += m_style.dragCurrent.y - m_style.dragStart.y;
        m_style.dragging = 0;
    } else {
        m_style.dragging = 0;
        m_style.selected = 0;
    }
    DrawView();
}

void MainDialog::OnRightButtonDown()
{
    m_style.selected = 0;
    m_style.dragging = 0;
    DrawView();
}

void MainDialog::OnLeftDoubleClick(const QPointF &clientPoint)
{
    const POINT p = ToViewPoint(clientPoint);
    if (!InView(p) || !m_image.IsLoaded())
        return;
    if (HitText(p)) {
        m_style.selected = 1;
        m_style.dragging = 0;
        OnEditTextProperties();
    } else {
        m_style.selected = 0;
        DrawView();
    }
}
