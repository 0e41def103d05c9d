#include "app/CommandPanel.h"

#include "app/AlarmCountInput.h"
#include "app/Pictures.h"
#include "app/PanelWidgets.h"
#include "settings/StoredKeys.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolTip>

#include <functional>

namespace {

QPushButton* commandButton(const QString& caption, int top, QWidget* parent)
{
    return placeTwips(new QPushButton(caption, parent), 90, top, 1785, 345);
}

QLabel* captionLabel(const QString& caption, const QString& toolTip, int top, QWidget* parent)
{
    QLabel* label = roomForText(placeTwips(new QLabel(caption, parent), 120, top, 1725, 195));
    label->setToolTip(toolTip);
    return label;
}

// A slider over the values its setting keeps.
QSlider* slider(KeyRange range, int top, QWidget* parent)
{
    QSlider* slider = placeTwips(new QSlider(Qt::Horizontal, parent), 30, top, 1875, 285);
    slider->setRange(range.lowest, range.highest);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(range.highest >= 100 ? 10 : 5);
    return slider;
}

// A slider's value as a tooltip, on hover and while dragging: the position alone says no number.
void showValueTips(QSlider* slider, const std::function<QString(int)>& valueText)
{
    const auto keep = [slider, valueText](int value) { slider->setToolTip(valueText(value)); };
    QObject::connect(slider, &QSlider::valueChanged, slider, keep);
    QObject::connect(slider, &QSlider::sliderMoved, slider,
                     [slider, valueText](int value) { QToolTip::showText(QCursor::pos(), valueText(value), slider); });
    keep(slider->value());
}

QFrame* horizontalLine(int y, QColor colour, QWidget* parent)
{
    return colouredLine(QRect(twipsToPixels(90), twipsToPixels(y), twipsToPixels(1840 - 90), 1), colour, parent);
}

QLabel* productName(QPalette::ColorRole colour, int top, QWidget* parent)
{
    QLabel* label = placeTwips(new QLabel(QStringLiteral("Houndly"), parent), 120, top, 1725, 375);
    QFont font = label->font();
    font.setPointSizeF(11.25);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setForegroundRole(colour);
    return label;
}

QPushButton* switchButton(const QIcon& icon, const QString& toolTip, int left, QWidget* parent)
{
    QPushButton* button = placeTwips(new QPushButton(parent), left, 120, 885, 345);
    button->setIcon(icon);
    button->setIconSize(QSize(20, 20));
    button->setToolTip(toolTip);
    button->setCheckable(true);
    return button;
}

}  // namespace

CommandPanel::CommandPanel(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(twipsToPixels(1995));

    Picture1 = placeTwips(new QLabel(this), 90, -60, 1785, 1035);
    Picture1->setPixmap(logoPicture());
    Picture1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // The shadow first, so that the highlighted name lies over it.
    Label1 = productName(QPalette::WindowText, 960, this);
    Label2 = productName(QPalette::HighlightedText, 930, this);

    cmd_Sound = placeTwips(new QPushButton(this), 90, 1170, 345, 315);
    cmd_Sound->setIcon(soundButtonIcon());
    cmd_Sound->setIconSize(QSize(16, 16));

    Frame1 = placeTwips(new QFrame(this), 60, 1440, 1845, 495);
    Frame1->setFrameShape(QFrame::StyledPanel);
    optPrv[0] = switchButton(watchButtonIcon(), tr("開始"), 30, Frame1);
    optPrv[1] = switchButton(stopButtonIcon(), tr("停止"), 930, Frame1);
    optPrvGroup = new QButtonGroup(this);
    optPrvGroup->setExclusive(true);
    optPrvGroup->addButton(optPrv[0], 0);
    optPrvGroup->addButton(optPrv[1], 1);
    optPrv[0]->setChecked(true);

    bcmd_SendMail = commandButton(tr("手動送信(&S)"), 1980, this);
    bcmd_VideoSetting = commandButton(tr("V ﾌｫｰﾏｯﾄ設定(&F)"), 2370, this);
    bcmd_VideoSetting2 = commandButton(tr("V ｿｰｽ設定(&S)"), 2760, this);
    bcmd_MailSetting = commandButton(tr("ﾒｰﾙｱｶｳﾝﾄ設定(&M)"), 3150, this);
    bcmd_SendMailA = commandButton(tr("自動ﾒｰﾙ設定(&A)"), 3540, this);
    bcmd_Ftp = commandButton(tr("FTPと動画設定(&P)"), 3930, this);
    bcmd_End = commandButton(tr("EXIT(&X)"), 4320, this);

    // An etched separator: a dark line with a light one under it.
    Line1 = horizontalLine(4740, palette().color(QPalette::Dark), this);
    Line2 = horizontalLine(4770, palette().color(QPalette::Light), this);

    Label4 = captionLabel(tr("警報検知数"), tr("設定した値を検知数が超えたら警報が作動します。"), 4920, this);
    cmdKenchi = placeTwips(new QPushButton(tr("変更(&K)"), this), 270, 5160, 915, 315);
    cmdKenchi->setProperty("tag", QStringLiteral("0"));
    txtCKData = placeTwips(new QLineEdit(QStringLiteral("100"), this), 1230, 5190, 615, 285);
    txtCKData->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtCKData->setMaxLength(4);
    txtCKData->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtCKData->setInputMethodHints(Qt::ImhDigitsOnly);
    txtCKData->setEnabled(false);
    txtCKData->installEventFilter(new AlarmCountFilter(txtCKData));

    Label13 = captionLabel(tr("ﾀｲﾐﾝｸﾞ (10 = 1秒)"), tr("ﾀｲﾐﾝｸﾞが短い程、短い時間の変化を検知します。"), 5580, this);
    SliderCKTime = slider(storedRange("COM", "TIMER"), 5790, this);
    showValueTips(SliderCKTime, [](int tenths) { return tr("%1秒").arg(tenths / 10.0); });
    Label14 = captionLabel(tr("精度 ( 低 ← → 高 )"), tr("精度が高い程、小さな変化を検知します。"), 6210, this);
    SliderSeido = slider(storedRange("COM", "ACCURACY"), 6420, this);
    showValueTips(SliderSeido, [](int accuracy) { return QString::number(accuracy); });
    ckNoize = roomForText(placeTwips(new QCheckBox(tr("ﾉｲｽﾞ除去"), this), 120, 6780, 1155, 375));
}
