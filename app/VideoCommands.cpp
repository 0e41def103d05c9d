// The video format, source, driver and compression commands, and the frame
// size shown in status panel 3.
#include "app/frmSw_Mail.h"
#include "app/StatusPanels.h"
#include "app/frm_Camera.h"
#include "capture/CaptureWindow.h"
#include "capture/frmSelect.h"
#include "settings/Settings.h"
#include "watch/Watcher.h"

bool frmSw_Mail::sDispResolution(CaptureWindow* window)
{
    const bool shown = showFrameSize(window);
    camera->ResizeCaptureWindow();
    return shown;
}

bool frmSw_Mail::showFrameSize(CaptureWindow* window)
{
    CAPSTATUS status;
    if (!capGetStatus(window, &status, sizeof status))
        return false;
    setStatusText(3, frameSizeText(int(status.uiImageWidth), int(status.uiImageHeight)));
    return true;
}

void frmSw_Mail::mnu_vdriver_Click()
{
    suspendWatching();
    capDlgVideoFormat(hCapWnd);
    const bool shown = sDispResolution(hCapWnd);
    // Watching resumes even when the size cannot be read, so the window never
    // stays locked.
    resumeWatching();
    camera->setWindowTitle(shown ? QString() : tr("ﾋﾞﾃﾞｵﾌｫｰﾏｯﾄ設定ｴﾗｰ"));
}

void frmSw_Mail::mnu_vdriver2_Click()
{
    suspendWatching();
    capDlgVideoSource(hCapWnd);
    if (Settings.COM.COMP)
        capDlgVideoCompression(hCapWnd);
    resumeWatching();
}

void frmSw_Mail::mnu_Drive_Click()
{
    runDialog([this] {
        frmSelect dialog(this, [this] { camera->ResizeCaptureWindow(); });
        dialog.exec();
    });
}

void frmSw_Mail::mnu_comp_Click()
{
    suspendWatching();
    capDlgVideoCompression(hCapWnd);
    resumeWatching();
}

void frmSw_Mail::bcmd_VideoSetting_Click()
{
    watcher_->SkipCompare = true;
    mnu_vdriver_Click();
    showFrameSize(hCapWnd);
}

void frmSw_Mail::bcmd_VideoSetting2_Click()
{
    watcher_->SkipCompare = true;
    mnu_vdriver2_Click();
    showFrameSize(hCapWnd);
}
