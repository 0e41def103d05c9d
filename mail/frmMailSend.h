#pragma once

#include "mail/MailContentControls.h"

#include <QDialog>
#include <QImage>

class QPushButton;
class ThumbnailView;

// "手動ﾒｰﾙ送信": mails the camera picture of the moment the dialog opened,
// with a recipient, subject and body typed here. A new dialog for each use:
// the main window creates it, calls DrawImage(), then exec().
class frmMailSend : public QDialog {
    Q_OBJECT
public:
    explicit frmMailSend(QWidget* parent = nullptr);

    // Takes the capture window's current frame as the picture to mail; keeps
    // the built-in placeholder when no frame can be had.
    void DrawImage();

    // The full picture that a send would attach.
    QImage picture() const { return pic_View; }

private:
    void chkGrp_Click();
    void bcmdOK_Click();
    void refuse(const QString& text);

    QImage pic_View;
    ThumbnailView* pic_clip;
    MailContentControls content;
    QPushButton* bcmdOK;
    QPushButton* bcmdCancel;
};
