#include "app/frmAbout.h"

#include "app/MessageBox.h"
#include "app/Pictures.h"
#include "app/SystemInfo.h"
#include "app/PanelWidgets.h"
#include "app/Version.h"

#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

namespace {

QLabel* textLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

// One line of the etched separator.
void separatorLine(int y, QColor colour, QWidget* parent)
{
    colouredLine(QRect(twipsToPixels(90), twipsToPixels(y), twipsToPixels(5654 - 90), 1), colour, parent);
}

}  // namespace

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    const QString title = QLatin1String(kAppTitle);
    setWindowTitle(tr("%1のﾊﾞｰｼﾞｮﾝ情報").arg(title));
    setFixedSize(twipsToPixels(5790), twipsToPixels(3630));

    picIcon = placeTwips(new QLabel(this), 240, 240, 480, 480);
    picIcon->setPixmap(applicationIcon().pixmap(picIcon->size()));
    lblTitle = placeTwips(textLabel(title, this), 1050, 240, 3885, 480);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = placeTwips(textLabel(tr("ﾊﾞｰｼﾞｮﾝ %1.%2.%3")
                                     .arg(kVersionMajor)
                                     .arg(kVersionMinor)
                                     .arg(kVersionRevision),
                                 this),
                       1050, 780, 3885, 225);
    lblDescription = placeTwips(textLabel(tr("動きを検出し、ｷｬﾌﾟﾁｬｰ画像をﾒｰﾙで送信します。\r\n"
                                                    "また、動画を録画してFTPで送信します。"),
                                     this),
                           1050, 1125, 3885, 1170);
    separatorLine(2445, QColor(128, 128, 128), this);
    separatorLine(2460, Qt::white, this);
    lblDisclaimer = placeTwips(textLabel(tr("本プログラムを運用した結果に付いては、作者は一切責任を負い"
                                                   "ません。"),
                                    this),
                          255, 2625, 3870, 825);

    cmdOK = placeTwips(new QPushButton(QStringLiteral("OK"), this), 4245, 2625, 1380, 345);
    cmdOK->setDefault(true);
    cmdSysInfo = placeTwips(new QPushButton(tr("ｼｽﾃﾑ情報(&S)..."), this), 4260, 3075, 1380, 345);
    // Esc closes a dialog by rejecting it, which the OK button does as well.
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::StartSysInfo()
{
    const QString program = findSystemInfoProgram();
    if (program.isEmpty() || !QProcess::startDetached(program, {})) {
        showMessageBox(this, QMessageBox::NoIcon, QLatin1String(kAppTitle),
                       tr("現時点ではｼｽﾃﾑ情報を使用できません"));
    }
}
