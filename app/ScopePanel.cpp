#include "app/ScopePanel.h"

#include "app/PictureBox.h"
#include "app/SignalLamp.h"
#include "detect/AlarmLevel.h"
#include "app/PanelWidgets.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

const QColor kPanelColour(48, 48, 56);

void setTextColour(QWidget* widget, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel* label(const QString& text, QColor colour, Qt::Alignment alignment, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    setTextColour(label, colour);
    label->setAlignment(alignment);
    return label;
}

// A disabled, captionless button that serves as a title bar or a divider.
QPushButton* bar(int top, int width, int height, QWidget* parent)
{
    QPushButton* button = placeTwips(new QPushButton(parent), 0, top, width, height);
    button->setEnabled(false);
    return button;
}

QFont pixelFont(int pixelSize, bool fixedPitch = false)
{
    QFont font(fixedPitch ? QStringLiteral("DejaVu Sans Mono") : QString());
    if (fixedPitch)
        font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelSize);
    return font;
}

// A frame drawn over a picture box, above what is painted into it.
QFrame* outline(const QRect& geometry, QColor colour, QWidget* parent)
{
    auto* mark = new QFrame(parent);
    mark->setGeometry(geometry);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->setStyleSheet(QStringLiteral("QFrame { border: 1px solid %1; background: transparent; }").arg(colour.name()));
    return mark;
}

}  // namespace

ScopePanel::ScopePanel(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(twipsToPixels(2190));
    setBackgroundColour(this, kPanelColour);

    Command1 = bar(0, 2205, 315, this);
    cmdDisableScope = placeTwips(new QPushButton(QStringLiteral("×"), this), 1920, 60, 225, 195);
    cmdDisableScope->setFont(pixelFont(11));
    Label5 = placeTwips(label(tr("ｽｺｰﾌﾟ"), Qt::white, Qt::AlignCenter, this), 120, 420, 1965, 255);

    picScope = placeTwips(new PictureBox(PictureBox::Fit::Stretch, this), 15, 720, 2190, 1425);
    outline(picScope->rect(), QColor(96, 96, 96), picScope);
    QLabel* marker = label(QStringLiteral("▲"), Qt::yellow, Qt::AlignCenter, picScope);
    marker->setFont(pixelFont(9));
    marker->setGeometry(picScope->width() / 2 - 5, picScope->height() - 11, 10, 10);

    Label10 = placeTwips(label(tr("検知数"), Qt::white, Qt::AlignLeft | Qt::AlignVCenter, this), 90, 2220,
                    555, 165);
    lblCount = placeTwips(label(QStringLiteral("0"), Qt::yellow, Qt::AlignRight | Qt::AlignVCenter, this), 750, 2220,
                     1365, 195);
    Command2 = bar(2520, 2235, 75, this);
    Label7 = placeTwips(label(tr("時間変化"), Qt::white, Qt::AlignCenter, this), 120, 2700, 1965, 255);

    picTimeLine = placeTwips(new PictureBox(PictureBox::Fit::PixelForPixel, this), 15, 2940, 2175, 1785);
    buildTimeLineMarks();

    Label11 = roomForText(placeTwips(label(QStringLiteral("Now :"), Qt::white, Qt::AlignLeft | Qt::AlignVCenter, this),
                                     780, 4830, 495, 225));
    lblTime = roomForText(placeTwips(label(QStringLiteral("00:00:00"), Qt::white, Qt::AlignLeft | Qt::AlignVCenter, this),
                                     1350, 4830, 735, 195));
    Command3 = bar(5100, 2205, 315, this);

    const int lampLefts[3] = {90, 780, 1470};
    // Lines first: each stands under its lamp like a post.
    for (int i = 0; i < 3; ++i) {
        const QRect lamp = twipsRect(lampLefts[i], 5640, 675, 465);
        line_Signal[i] = colouredLine(QRect(lamp.center().x() - 2, twipsToPixels(5850), 5,
                                            twipsToPixels(6180) - twipsToPixels(5850)),
                                      QColor(signalLampColours(i).border), this);
        line_Signal[i]->hide();
    }
    for (int i = 0; i < 3; ++i) {
        const SignalLampColours colours = signalLampColours(i);
        signal[i] = placeTwips(new SignalLamp(QColor(colours.bright), QColor(colours.border), QColor(colours.fill), this),
                               lampLefts[i], 5640, 675, 465);
    }
    signal[0]->setLit(true);

    Frame2 = placeTwips(new QFrame(this), 0, 6300, 2175, 795);
    Frame2->setFrameShape(QFrame::Box);
    setTextColour(Frame2, QColor(160, 160, 170));
    Label15 = label(tr("録画中に「ESCキー」を押すと処理を中断できます。"), Qt::white,
                    Qt::AlignLeft | Qt::AlignVCenter, Frame2);
    Label15->setWordWrap(true);
    Label15->setGeometry(Frame2->rect().adjusted(6, 3, -4, -3));
}

void ScopePanel::buildTimeLineMarks()
{
    lblMax = label(QStringLiteral("MAX"), Qt::white, Qt::AlignLeft | Qt::AlignTop, picTimeLine);
    lblMax->setFont(pixelFont(8));
    lblMax->setGeometry(0, 2, 19, 10);
    lblMin = label(QStringLiteral("MIN"), Qt::white, Qt::AlignLeft | Qt::AlignBottom, picTimeLine);
    lblMin->setFont(pixelFont(8));
    lblMin->setGeometry(0, 81, 19, 10);
    // One character is 6 pixels wide, so each hour mark stands under its slot.
    lblHours = label(QStringLiteral("  0    6   12   18   24"), Qt::white, Qt::AlignLeft | Qt::AlignTop,
                     picTimeLine);
    lblHours->setFont(pixelFont(10, true));
    lblHours->setGeometry(5, 104, 140, 13);
    for (const int x : {49, 79, 110})
        colouredLine(QRect(x, 4, 1, 88), Qt::white, picTimeLine);
    outline(QRect(19, 4, 122, 88), Qt::white, picTimeLine);
    lblNow = label(QStringLiteral("▲"), Qt::yellow, Qt::AlignCenter, picTimeLine);
    lblNow->setFont(pixelFont(9));
    lblNow->setGeometry(20 - 4, 93, 9, 10);
}

void ScopePanel::lightLamp(int index)
{
    for (int i = 0; i < 3; ++i) {
        signal[i]->setLit(i == index);
        line_Signal[i]->setVisible(i == index);
    }
}

void ScopePanel::showTimeLine(const QImage& chart, int markerLeft, const QString& time)
{
    picTimeLine->setImage(chart);
    lblNow->move(markerLeft, lblNow->y());
    lblTime->setText(time);
}
