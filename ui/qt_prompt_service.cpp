#include "qt_prompt_service.h"

#include "qt_font_color_prompts.h"
#include "ui/file_filter.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>
#include <QWindow>

MessageAnswer QtPromptService::ShowMessage(QWidget *owner, const QString &text,
                                           const QString &caption, MessageButtons buttons,
                                           MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                    caption, text,
                    buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                     : QMessageBox::Ok,
                    owner);
    box.setTextFormat(Qt::PlainText); // paths and texts are shown as they are
    if (caption.isEmpty()) {
        // The window system is never given an empty title: Qt puts the program's name in its
        // place. A blank one leaves the title bar empty.
        box.winId();
        box.windowHandle()->setTitle(QStringLiteral(" "));
    }
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

namespace {

// Qt's own file dialog, not the desktop's: it speaks the program's language and shows each
// entry of the filter by its name alone, exactly as the command gives it, with the patterns
// as the filter itself. The size, type and date columns are as wide as what they show, and
// the names take the width that is left, so every column is in view.
QStringList RunFileDialog(QWidget *owner, const QString &filter, QFileDialog::FileMode mode,
                          QFileDialog::AcceptMode acceptMode)
{
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(mode);
    dialog.setAcceptMode(acceptMode);
    dialog.setNameFilter(ToQtFileFilter(filter));
    if (auto *details = dialog.findChild<QTreeView *>()) {
        QHeaderView *header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

QString QtPromptService::GetOpenFileName(QWidget *owner, const QString &filter)
{
    return RunFileDialog(owner, filter, QFileDialog::ExistingFile, QFileDialog::AcceptOpen)
        .value(0);
}

QStringList QtPromptService::GetOpenFileNames(QWidget *owner, const QString &filter)
{
    return RunFileDialog(owner, filter, QFileDialog::ExistingFiles, QFileDialog::AcceptOpen);
}

QString QtPromptService::GetSaveFileName(QWidget *owner, const QString &filter)
{
    // Qt's dialog asks before it lets an existing file be chosen.
    return RunFileDialog(owner, filter, QFileDialog::AnyFile, QFileDialog::AcceptSave).value(0);
}

std::optional<LOGFONT> QtPromptService::ChooseFont(QWidget *owner, const LOGFONT &initial)
{
    return ChooseFontWithDialog(owner, initial);
}

std::optional<COLORREF> QtPromptService::ChooseColor(QWidget *owner, COLORREF initial)
{
    return ChooseColorWithDialog(owner, initial);
}
