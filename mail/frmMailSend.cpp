#include "mail/frmMailSend.h"

#include "capture/CaptureWindow.h"
#include "capture/JpegWriter.h"
#include "mail/CheckMailAccount.h"
#include "mail/MailFields.h"
#include "mail/MailMessageBox.h"
#include "mail/MailTransport.h"
#include "mail/MailWait.h"
#include "mail/Snapshot.h"
#include "mail/ThumbnailView.h"
#include "settings/CommonHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

namespace {

// 110 x 82.5 in the form's twips layout; whole pixels here.
constexpr int kThumbWidth = 110;
constexpr int kThumbHeight = 82;
constexpr int kStartRate = 50;

// Shown when the camera gives no picture.
QImage placeholderPicture()
{
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(QColor(64, 64, 64));
    QPainter painter(&picture);
    painter.setPen(QColor(200, 200, 200));
    painter.drawRect(picture.rect().adjusted(8, 8, -9, -9));
    painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("NO IMAGE"));
    return picture;
}

// The busy pointer for as long as a send lasts.
struct BusyPointer {
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

frmMailSend::frmMailSend(QWidget* parent) : QDialog(parent), pic_View(placeholderPicture())
{
    setWindowTitle(tr("手動ﾒｰﾙ送信"));
    auto* layout = new QGridLayout(this);
    pic_clip = new ThumbnailView(this);
    pic_clip->setObjectName(QStringLiteral("pic_clip"));
    pic_clip->setFixedSize(kThumbWidth, kThumbHeight);
    layout->addWidget(pic_clip, 0, 1);

    content = MailContentControls::create(this, layout, 1);
    content.chkGrp->setChecked(true);
    content.chooseSize(0);
    content.SliderArc->setValue(kStartRate);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    bcmdOK = addNamedButton(this, buttons, tr("送信(&O)"), "bcmdOK");
    bcmdCancel = addNamedButton(this, buttons, tr("Cancel(&C)"), "bcmdCancel");
    layout->addLayout(buttons, layout->rowCount(), 0, 1, 3);

    connect(content.chkGrp, &QCheckBox::clicked, this, [this] { chkGrp_Click(); });
    connect(bcmdOK, &QPushButton::clicked, this, [this] { bcmdOK_Click(); });
    connect(bcmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    pic_clip->setPicture(sResizePicture(pic_View, kThumbHeight, kThumbWidth));
}

void frmMailSend::DrawImage()
{
    // A fresh grab: the preview is frozen while the dialog is open.
    if (const QImage still = grabStillPicture(hCapWnd); !still.isNull())
        pic_View = still;
    pic_clip->setPicture(sResizePicture(pic_View, kThumbHeight, kThumbWidth));
}

void frmMailSend::chkGrp_Click()
{
    const bool attach = content.chkGrp->isChecked();
    pic_clip->setCrossed(!attach);
    content.enablePictureOptions(attach);
}

void frmMailSend::refuse(const QString& text)
{
    showMailMessage(this, QMessageBox::Critical, windowTitle(), text);
}

void frmMailSend::bcmdOK_Click()
{
    if (content.txtMail->text().trimmed().isEmpty())
        return refuse(tr("ﾒｰﾙｱﾄﾞﾚｽを入力して下さい。"));
    if (hasControlCharacters(content.txtMail->text()) || hasControlCharacters(content.txtSubject->text()))
        return refuse(lineBreakMessage());
    if (!sCheckMailAccount(this))
        return;
    const QString recipient = content.txtMail->text().trimmed();
    const QString subject = content.txtSubject->text().trimmed();
    const QString body = trimSpaces(content.txtBody->toPlainText());
    QString attachment;
    if (content.chkGrp->isChecked()) {
        const QString path = snapshotPath(QStringLiteral("TEST.jpg"));
        int16_t code = writeSnapshot(pic_View, content.chosenSize(),
                                     static_cast<int16_t>(content.SliderArc->value()), path);
        if (!GetJpegError(code))
            return refuse(jpegErrorText(code));  // stay open: the user may retry or cancel
        attachment = path;
    }
    bool sent = false;
    {
        BusyPointer busy;
        sent = sendWhileTheWindowLives([&] { return sSendMail(recipient, subject, body, attachment); });
    }
    if (sent)
        showMailMessage(this, QMessageBox::Information, windowTitle(), tr("送信しました。"));
    done(sent ? QDialog::Accepted : QDialog::Rejected);
}
