#include "main_dialog.h"

#include "about_dialog.h"
#include "res/dialog_templates.h"
#include "res/menu_template.h"
#include "res/resource_ids.h"
#include "res/strings.h"
#include "ui/dialog_builder.h"
#include "ui/program_icon_qt.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// The view scrolls only through the bars' arrows and thumbs: not by wheel or keyboard.
class NoWheelOrKeys : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::Wheel || event->type() == QEvent::KeyPress;
    }
};

} // namespace

MainDialog::MainDialog(QWidget *parent)
    : QDialog(parent)
{
    m_client = new ClientArea(this);
    m_menuBar = new QMenuBar(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_client);

    const QSize clientSize = BuildDialog(this, MainDialogTemplate(), m_client);
    setWindowIcon(ProgramIcon());
    BuildMenu();
    m_menuBar->installEventFilter(this);

    m_hbar = FindControl<QScrollBar>(m_client, ids::kHorizontalScrollBar);
    m_vbar = FindControl<QScrollBar>(m_client, ids::kVerticalScrollBar);
    m_hbarHeight = m_hbar->height();
    m_vbarWidth = m_vbar->width();
    auto *filter = new NoWheelOrKeys(this);
    for (QScrollBar *bar : {m_hbar, m_vbar}) {
        bar->setTracking(false); // the picture follows the thumb when it is released
        bar->setFocusPolicy(Qt::NoFocus);
        bar->setContextMenuPolicy(Qt::NoContextMenu);
        bar->setSingleStep(1);
        bar->setPageStep(0);
        bar->installEventFilter(filter);
        connect(bar, &QScrollBar::actionTriggered, this,
                [this, bar](int action) { OnScrollAction(bar, action); });
        connect(bar, &QScrollBar::sliderReleased, this, [this, bar] { OnThumbReleased(bar); });
    }

    resize(clientSize.width(), clientSize.height() + m_menuBar->sizeHint().height());
    LayoutControls();
    UpdateScrollBars();
    SetTitle(QString::fromUtf8(strings::kTitleNoFile));
}

MainDialog::~MainDialog() = default;

void MainDialog::BuildMenu()
{
    const MenuTemplate &menu = MainMenuTemplate();
    for (const MenuPopupTemplate &popup : menu.popups) {
        QMenu *qmenu = m_menuBar->addMenu(QString::fromUtf8(popup.text));
        for (const MenuItemTemplate &item : popup.items) {
            if (item.id == 0) {
                qmenu->addSeparator();
                continue;
            }
            QAction *action = qmenu->addAction(QString::fromUtf8(item.text));
            action->setData(item.id);
            action->setObjectName(QStringLiteral("command_%1").arg(item.id));
        }
    }
    const std::pair<int, void (MainDialog::*)()> handlers[] = {
        {ids::kFileOpen, &MainDialog::OnFileOpen},
        {ids::kFileSave, &MainDialog::OnFileSave},
        {ids::kFileSaveAs, &MainDialog::OnFileSaveAs},
        {ids::kFileClose, &MainDialog::OnFileClose},
        {ids::kFileBatch, &MainDialog::OnFileBatch},
        {ids::kAppExit, &MainDialog::OnAppExit},
        {ids::kEditTextProperties, &MainDialog::OnEditTextProperties},
        {ids::kAppAbout, &MainDialog::OnAppAbout},
    };
    for (const auto &[id, handler] : handlers)
        if (QAction *action = CommandAction(id))
            connect(action, &QAction::triggered, this, handler);
}

QAction *MainDialog::CommandAction(int id) const
{
    return m_menuBar->findChild<QAction *>(QStringLiteral("command_%1").arg(id));
}

void MainDialog::SetTitle(const QString &title)
{
    setWindowTitle(title);
}

double MainDialog::ViewScale() const
{
    return m_client->devicePixelRatioF();
}

void MainDialog::LayoutControls()
{
    // The bars keep their thickness; the view takes the rest, and the square in the corner
    // belongs to neither.
    const int clientWidth = m_client->width(), clientHeight = m_client->height();
    const int viewWidth = std::max(0, clientWidth - m_vbarWidth);
    const int viewHeight = std::max(0, clientHeight - m_hbarHeight);
    m_vbar->setGeometry(viewWidth, 0, m_vbarWidth, viewHeight);
    m_hbar->setGeometry(0, viewHeight, viewWidth, m_hbarHeight);
    const double scale = ViewScale();
    m_viewWidth = int(std::lround(viewWidth * scale));
    m_viewHeight = int(std::lround(viewHeight * scale));
}

void MainDialog::keyPressEvent(QKeyEvent *event)
{
    // Enter and Escape end the program at once, as the close box does.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_Escape:
        reject();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool MainDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Once used from the keyboard, the menu bar keeps the focus and swallows Escape. With no
    // item of it highlighted any more, Enter and Escape are the main window's again: one
    // Escape leaves the menu, the next ends the program.
    if (watched == m_menuBar && event->type() == QEvent::KeyPress && !m_menuBar->activeAction()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return
            || key->key() == Qt::Key_Enter) {
            keyPressEvent(key);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainDialog::changeEvent(QEvent *event)
{
    // Minimising, maximising and restoring change the window's size even where the client
    // area keeps its own: the controls are laid out again and the view goes back to the start.
    if (event->type() == QEvent::WindowStateChange) {
        LayoutControls();
        UpdateScrollBars();
        DrawView();
    }
    QDialog::changeEvent(event);
}

void MainDialog::OnAppExit()
{
    close();
}

void MainDialog::OnAppAbout()
{
    AboutDialog about(this);
    about.exec();
}
