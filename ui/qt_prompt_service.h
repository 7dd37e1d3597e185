#pragma once

#include "ui/prompt_service.h"

// The prompt service of the running program: Qt's message boxes, file, font and colour dialogs.
class QtPromptService : public PromptService
{
public:
    MessageAnswer ShowMessage(QWidget *owner, const QString &text, const QString &caption,
                              MessageButtons buttons, MessageIcon icon) override;
    QString GetOpenFileName(QWidget *owner, const QString &filter) override;
    QStringList GetOpenFileNames(QWidget *owner, const QString &filter) override;
    QString GetSaveFileName(QWidget *owner, const QString &filter) override;
    std::optional<LOGFONT> ChooseFont(QWidget *owner, const LOGFONT &initial) override;
    std::optional<COLORREF> ChooseColor(QWidget *owner, COLORREF initial) override;
};
