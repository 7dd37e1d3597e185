#include "qt_prompt_service.h"

#include "platform/file_filter.h"
#include "qt_font_color_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

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
    const int answer = box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

QString QtPromptService::GetOpenFileName(QWidget *owner, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner, QString(), QString(), ToQtFileFilter(filter));
}

QStringList QtPromptService::GetOpenFileNames(QWidget *owner, const QString &filter)
{
    return QFileDialog::getOpenFileNames(owner, QString(), QString(), ToQtFileFilter(filter));
}

QString QtPromptService::GetSaveFileName(QWidget *owner, const QString &filter)
{
    // Qt's dialog asks before it lets an existing file be chosen.
    return QFileDialog::getSaveFileName(owner, QString(), QString(), ToQtFileFilter(filter));
}

std::optional<LOGFONT> QtPromptService::ChooseFont(QWidget *owner, const LOGFONT &initial)
{
    return ChooseFontWithDialog(owner, initial);
}

std::optional<COLORREF> QtPromptService::ChooseColor(QWidget *owner, COLORREF initial)
{
    return ChooseColorWithDialog(owner, initial);
}
