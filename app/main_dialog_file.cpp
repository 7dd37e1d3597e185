#include "main_dialog.h"

#include "image/bmp_writer.h"
#include "overlay/compose_text.h"
#include "res/strings.h"
#include "ui/prompt_service.h"

#include <QFileInfo>

namespace {

QString Text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// "文件 " + path + suffix.
QString FileMessage(const QString &path, const char *suffix)
{
    return Text(strings::kMsgFilePrefix) + path + Text(suffix);
}

} // namespace

void MainDialog::OnFileOpen()
{
    const QString path = Prompts().GetOpenFileName(this, Text(strings::kOpenFilter));
    if (path.isEmpty())
        return;
    // The open picture is closed before the new one is tried.
    m_image.Clear();
    m_renderer.Invalidate();
    if (m_image.Load(path)) {
        SetTitle(Text(strings::kTitleFilePrefix) + path);
        m_style.ResetPlacement();
    } else {
        Prompts().Warning(this, FileMessage(path, strings::kMsgReadFailedSuffix));
        m_image.Clear();
        // No picture is open any more, whatever the title said.
        SetTitle(Text(strings::kTitleNoFile));
    }
    UpdateScrollBars();
    DrawView();
}

void MainDialog::OnFileClose()
{
    m_image.Clear();
    m_renderer.Invalidate();
    SetTitle(Text(strings::kTitleNoFile));
    DrawView();
}

bool MainDialog::WritePicture(const QString &path, LinkAtTarget links)
{
    // The bare picture at full size, the text on it without markers, then the file.
    Surface &picture = m_renderer.DrawnPicture(m_image);
    // A text that cannot be composed is not saved without it.
    const bool written = ComposeText(picture, m_style, 0)
        && WriteBmpFile(picture, path, m_image.GetWidth(), m_image.GetHeight(), links);
    m_renderer.Invalidate();
    if (!written) {
        Prompts().Warning(this, FileMessage(path, strings::kMsgWriteFailedSuffix));
        DrawView();
    }
    return written;
}

void MainDialog::ShowWritten(const QString &path, const char *readFailedSuffix, bool titleIsPath)
{
    Prompts().Notice(this, Text(strings::kMsgSaved));
    m_image.Clear();
    m_renderer.Invalidate();
    if (m_image.Load(path)) {
        m_renderer.Invalidate();
        m_style.ResetPlacement();
        UpdateScrollBars();
        if (titleIsPath)
            SetTitle(path);
    } else {
        Prompts().Warning(this, FileMessage(path, readFailedSuffix));
        SetTitle(Text(strings::kTitleNoFile));
        m_image.Clear();
    }
    DrawView();
}

void MainDialog::OnFileSave()
{
    const QString path = m_image.GetPath();
    if (path.isEmpty() || !m_image.IsLoaded()) {
        Prompts().Warning(this, Text(strings::kMsgNoFileToSave));
        return;
    }
    if (m_style.text.isEmpty()
        && Prompts().Question(this, Text(strings::kMsgNoTextContinue)) != MessageAnswer::Yes)
        return;
    // The open file itself: a link to it stays and the file it leads to is replaced.
    if (WritePicture(path, LinkAtTarget::Follow))
        ShowWritten(path, strings::kMsgRereadFailedSuffix, false);
}

void MainDialog::OnFileSaveAs()
{
    if (!m_image.IsLoaded()) {
        Prompts().Warning(this, Text(strings::kMsgNoFileToSave));
        return;
    }
    const QString chosen = Prompts().GetSaveFileName(this, Text(strings::kSaveAsFilter));
    if (chosen.isEmpty())
        return;
    if (m_style.text.isEmpty()
        && Prompts().Question(this, Text(strings::kMsgNoTextContinue)) != MessageAnswer::Yes)
        return;
    // The name as chosen, with ".bmp" only where it is missing. The file dialog asked about
    // the chosen name; a name made longer here may hit another file, so that is asked too.
    QString newPath = chosen;
    if (!chosen.endsWith(Text(strings::kBmpExtension), Qt::CaseInsensitive)) {
        newPath += Text(strings::kBmpExtension);
        if (QFileInfo::exists(newPath)
            && Prompts().Question(this, FileMessage(newPath, strings::kMsgOverwriteSuffix))
                != MessageAnswer::Yes)
            return;
    }
    // A new name: a link found there is not followed.
    if (WritePicture(newPath, LinkAtTarget::Refuse))
        ShowWritten(newPath, strings::kMsgReadFailedSuffix, true);
}
