// The menu and button commands of the main window.
#include "app/CommandPanel.h"
#include "app/MessageBox.h"
#include "app/ScopePanel.h"
#include "app/frmAbout.h"
#include "app/frmExt.h"
#include "app/frmSw_Mail.h"
#include "app/frm_Camera.h"
#include "capture/CaptureWindow.h"
#include "history/HistoryLog.h"
#include "history/frmHistory.h"
#include "mail/frmMail.h"
#include "mail/frmMailSend.h"
#include "mail/frmMailSend_Set.h"
#include "settings/AppPaths.h"
#include "sound/frmSound.h"
#include "upload/frmFtp.h"
#include "watch/Watcher.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QUrl>

void frmSw_Mail::connectCommands()
{
    const auto both = [this](QAction* item, QPushButton* button, void (frmSw_Mail::*command)()) {
        connect(item, &QAction::triggered, this, command);
        if (button != nullptr)
            connect(button, &QPushButton::clicked, this, command);
    };
    CommandPanel* panel = picSideWindow;
    both(menu.mnu_end, panel->bcmd_End, &frmSw_Mail::mnu_end_Click);
    both(menu.mnu_scope, picSideScope->cmdDisableScope, &frmSw_Mail::mnu_scope_Click);
    both(menu.mnu_send, panel->bcmd_SendMail, &frmSw_Mail::mnu_send_Click);
    both(menu.mnu_sound, panel->cmd_Sound, &frmSw_Mail::mnu_sound_Click);
    both(menu.mnu_mail, panel->bcmd_MailSetting, &frmSw_Mail::mnu_mail_Click);
    both(menu.mnu_sendA, panel->bcmd_SendMailA, &frmSw_Mail::mnu_sendA_Click);
    both(menu.mnu_Ftp, panel->bcmd_Ftp, &frmSw_Mail::mnu_Ftp_Click);
    both(menu.mnu_log, nullptr, &frmSw_Mail::mnu_log_Click);
    both(menu.mnu_ver, nullptr, &frmSw_Mail::mnu_ver_Click);
    both(menu.mnu_vdriver, nullptr, &frmSw_Mail::mnu_vdriver_Click);
    both(menu.mnu_vdriver2, nullptr, &frmSw_Mail::mnu_vdriver2_Click);
    both(menu.mnu_Drive, nullptr, &frmSw_Mail::mnu_Drive_Click);
    both(menu.mnu_comp, nullptr, &frmSw_Mail::mnu_comp_Click);
    both(menu.mnu_ext, nullptr, &frmSw_Mail::mnu_ext_Click);
    both(menu.mnu_history, nullptr, &frmSw_Mail::mnu_history_Click);
    connect(panel->bcmd_VideoSetting, &QPushButton::clicked, this, &frmSw_Mail::bcmd_VideoSetting_Click);
    connect(panel->bcmd_VideoSetting2, &QPushButton::clicked, this, &frmSw_Mail::bcmd_VideoSetting2_Click);
    connect(menu.mnu_img, &QAction::triggered, this, [this] { openFolder(QStringLiteral("img")); });
    connect(menu.mnu_avi, &QAction::triggered, this, [this] { openFolder(QStringLiteral("avi")); });
    connect(menu.mnu_help, &QAction::triggered, this, [this] { openFolder(QStringLiteral("help")); });
}

void frmSw_Mail::mnu_end_Click()
{
    close();
}

void frmSw_Mail::mnu_scope_Click()
{
    if (picSideScope->isVisible()) {
        picSideScope->hide();
        menu.mnu_scope->setText(tr("ｽｺｰﾌﾟ(&C)"));
    } else {
        picSideScope->show();
        menu.mnu_scope->setText(tr("ヽｽｺｰﾌﾟ(&C)"));
    }
    // Let the client area take its new width before the live picture is refitted.
    centralWidget()->layout()->activate();
    if (cameraSubWindow != nullptr && cameraSubWindow->isVisible())
        cameraSubWindow->resize(mdiArea->viewport()->size());
    camera->ResizeCaptureWindow();
}

void frmSw_Mail::runDialog(const std::function<void()>& showDialog)
{
    suspendWatching();
    showDialog();
    resumeWatching();
    // Dialogs store their settings; the panels follow them.
    if (!closing_) {
        showSoundPanel();
        showMailAccountPanel();
    }
}

void frmSw_Mail::mnu_sound_Click()
{
    if (soundDialog_ == nullptr)
        soundDialog_ = new frmSound(this);
    runDialog([this] { soundDialog_->exec(); });
}

void frmSw_Mail::mnu_send_Click()
{
    runDialog([this] {
        frmMailSend dialog(this);
        dialog.DrawImage();
        dialog.exec();
    });
}

void frmSw_Mail::mnu_mail_Click()
{
    if (mailDialog_ == nullptr)
        mailDialog_ = new frmMail(this);
    runDialog([this] { mailDialog_->exec(); });
}

void frmSw_Mail::mnu_sendA_Click()
{
    runDialog([this] {
        frmMailSend_Set dialog(this);
        dialog.exec();
    });
}

void frmSw_Mail::mnu_Ftp_Click()
{
    if (ftpDialog_ == nullptr)
        ftpDialog_ = new frmFtp(this);
    runDialog([this] { ftpDialog_->exec(); });
}

void frmSw_Mail::mnu_ext_Click()
{
    runDialog([this] {
        frmExt dialog(this);
        dialog.exec();
    });
}

void frmSw_Mail::mnu_history_Click()
{
    // Like the about box, it leaves watching on; it stays open beside the main window.
    if (historyDialog_ == nullptr) {
        historyDialog_ = new frmHistory(historyLogPath(), [this](const QString& path) { openWithDesktop(path); }, this);
        // The watcher goes before the window's children: it never tells a dialog that is gone.
        watcher_->events().add([dialog = historyDialog_](const WatchEvent& event) { dialog->hear(event); });
    }
    historyDialog_->show();
    historyDialog_->raise();
    historyDialog_->activateWindow();
}

void frmSw_Mail::mnu_ver_Click()
{
    // Watching goes on while the about box is open.
    if (aboutDialog_ == nullptr)
        aboutDialog_ = new frmAbout(this);
    aboutDialog_->exec();
}

void frmSw_Mail::mnu_log_Click()
{
    openWithDesktop(appFilePath(QStringLiteral("mail.log.txt")));
}

void frmSw_Mail::openFolder(const QString& name)
{
    openWithDesktop(QDir(appFolder()).filePath(name));
}

void frmSw_Mail::openWithDesktop(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        showMessageBox(this, QMessageBox::Warning, windowTitle(),
                       tr("%1 がありません。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!openUrl_(QUrl::fromLocalFile(path))) {
        showMessageBox(this, QMessageBox::Warning, windowTitle(),
                       tr("%1 を開くプログラムを起動できませんでした。").arg(QDir::toNativeSeparators(path)));
    }
}
