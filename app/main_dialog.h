#pragma once

#include "image/atomic_file.h"
#include "image/dib_image.h"
#include "overlay/picture_view_renderer.h"
#include "overlay/text_style.h"
#include "platform/surface.h"

#include <QDialog>
#include <QPoint>

class QAction;
class QMenuBar;
class QScrollBar;

class MainDialog;

// The main window's client area below the menu: the picture view, the two scroll bars and the
// empty corner square. It hands its paint and mouse events to the main window.
class ClientArea : public QWidget
{
    Q_OBJECT
public:
    explicit ClientArea(MainDialog *owner);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    MainDialog *m_owner;
};

// The main window: the menu, the picture view with its scroll bars and mouse handling, and the
// file commands. Its end ends the program.
class MainDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MainDialog(QWidget *parent = nullptr);
    ~MainDialog() override;

    // The open picture and the text over it.
    DibImage &Image() { return m_image; }
    TextStyle &Style() { return m_style; }
    // The view as last drawn, view pixels (physical pixels of the screen).
    const Surface &ViewSurface() const { return m_viewSurface; }
    int ViewWidth() const { return m_viewWidth; }
    int ViewHeight() const { return m_viewHeight; }
    // The menu action of a command id, or null.
    QAction *CommandAction(int id) const;
    QMenuBar *MenuBar() const { return m_menuBar; }
    QScrollBar *HorizontalBar() const { return m_hbar; }
    QScrollBar *VerticalBar() const { return m_vbar; }
    // View pixels per interface pixel.
    double ViewScale() const;

    void DrawView();
    void UpdateScrollBars();
    void LayoutControls();

public Q_SLOTS:
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileClose();
    void OnFileBatch();
    void OnEditTextProperties();
    void OnAppExit();
    void OnAppAbout();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class ClientArea;

    void BuildMenu();
    void SetTitle(const QString &title);
    // A client point in interface pixels to a view point in view pixels.
    POINT ToViewPoint(const QPointF &clientPoint) const;
    bool InView(POINT viewPoint) const;
    bool HitText(POINT viewPoint) const;
    // Whether the point is somewhere the view's messages would come from: inside the client
    // area and not over a scroll bar.
    bool OverClientArea(const QPointF &clientPoint) const;

    void OnScrollAction(QScrollBar *bar, int action);
    void OnThumbReleased(QScrollBar *bar);
    void OnLeftButtonDown(const QPointF &clientPoint);
    void OnMouseMove(const QPointF &clientPoint, bool keysHeld);
    void OnLeftButtonUp(const QPointF &clientPoint);
    void OnRightButtonDown();
    void OnLeftDoubleClick(const QPointF &clientPoint);
    void PaintView(QPainter &painter);

    // Composes the text onto the picture and writes it to path; the shared part of the saves.
    // A failed write warns and leaves the picture open and shown as it was.
    bool WritePicture(const QString &path, LinkAtTarget links);
    // After a write: the notice, then the written file read back and shown with the text in
    // the corner and the view at the start; the title becomes the path when titleIsPath.
    void ShowWritten(const QString &path, const char *readFailedSuffix, bool titleIsPath);

    DibImage m_image;
    TextStyle m_style;
    PictureViewRenderer m_renderer;
    Surface m_viewSurface;
    int m_viewWidth = 0;  // view pixels
    int m_viewHeight = 0; // view pixels

    ClientArea *m_client = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QScrollBar *m_hbar = nullptr;
    QScrollBar *m_vbar = nullptr;
    int m_vbarWidth = 0;  // interface pixels, from the template
    int m_hbarHeight = 0; // interface pixels, from the template
};
