#include "app/ScopePanel.h"

#include "app/PictureBox.h"
#include "app/SignalLamp.h"
#include "app/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

const QColor kPanelColour(48, 48, 56);

template <typename Widget>
Widget* place(Widget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

void setTextColour(QWidget* widget, QColor colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void setBackground(QWidget* widget, QColor colour)
{
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
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
    QPushButton* button = place(new QPushButton(parent), 0, top, width, height);
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

// A white line or frame drawn over a picture box, above what is painted into it.
QFrame* whiteMark(const QRect& geometry, bool outlineOnly, QWidget* parent)
{
    auto* mark = new QFrame(parent);
    mark->setGeometry(geometry);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    if (outlineOnly)
        mark->setStyleSheet(QStringLiteral("QFrame { border: 1px solid white; background: transparent; }"));
    else
        setBackground(mark, Qt::white);
    return mark;
}

struct LampColours {
    QColor bright, border, dark;
};

const LampColours kLamps[3] = {
    {QColor(0, 0, 255), QColor(0, 0, 192), QColor(0, 0, 64)},
    {QColor(255, 255, 0), QColor(192, 192, 0), QColor(64, 64, 0)},
    {QColor(255, 0, 0), QColor(192, 0, 0), QColor(64, 0, 0)},
};

}  // namespace

ScopePanel::ScopePanel(QWidget* parent) : QWidget(parent)
{
    setFixedWidth(twipsToPixels(2190));
    setBackground(this, kPanelColour);

    Command1 = bar(0, 2205, 315, this);
    cmdDisableScope = place(new QPushButton(QStringLiteral("×"), this), 1920, 60, 225, 195);
    cmdDisableScope->setFont(pixelFont(11));
    Label5 = place(label(QStringLiteral("ｽｺｰﾌﾟ"), Qt::white, Qt::AlignCenter, this), 120, 420, 1965, 255);

    picScope = place(new PictureBox(PictureBox::Fit::Stretch, this), 15, 720, 2190, 1425);
    whiteMark(picScope->rect().adjusted(0, 0, -1, -1), true, picScope)->setStyleSheet(
        QStringLiteral("QFrame { border: 1px solid rgb(96,96,96); background: transparent; }"));
    QLabel* marker = label(QStringLiteral("▲"), Qt::yellow, Qt::AlignCenter, picScope);
    marker->setFont(pixelFont(9));
    marker->setGeometry(picScope->width() / 2 - 5, picScope->height() - 11, 10, 10);

    Label10 = place(label(QStringLiteral("検知数"), Qt::white, Qt::AlignLeft | Qt::AlignVCenter, this), 90, 2220,
                    555, 165);
    lblCount = place(label(QStringLiteral("0"), Qt::yellow, Qt::AlignRight | Qt::AlignVCenter, this), 750, 2220,
                     1365, 195);
    Command2 = bar(2520, 2235, 75, this);
    Label7 = place(label(QStringLiteral("時間変化"), Qt::white, Qt::AlignCenter, this), 120, 2700, 1965, 255);

    picTimeLine = place(new PictureBox(PictureBox::Fit::PixelForPixel, this), 15, 2940, 2175, 1785);
    buildTimeLineMarks();

    Label11 = place(label(QStringLiteral("Now :"), Qt::white, Qt::AlignLeft | Qt::AlignVCenter, this), 780, 4830,
                    495, 225);
    lblTime = place(label(QStringLiteral("00:00:00"), Qt::white, Qt::AlignLeft | Qt::AlignVCenter, this), 1350,
                    4830, 735, 195);
    Command3 = bar(5100, 2205, 315, this);

    const int lampLefts[3] = {90, 780, 1470};
    // Lines first: each stands under its lamp like a post.
    for (int i = 0; i < 3; ++i) {
        const QRect lamp = twipsRect(lampLefts[i], 5640, 675, 465);
        line_Signal[i] = new QFrame(this);
        line_Signal[i]->setGeometry(lamp.center().x() - 2, twipsToPixels(5850), 5,
                                    twipsToPixels(6180) - twipsToPixels(5850));
        setBackground(line_Signal[i], kLamps[i].border);
        line_Signal[i]->hide();
    }
    for (int i = 0; i < 3; ++i) {
        signal[i] = place(new SignalLamp(kLamps[i].bright, kLamps[i].border, kLamps[i].dark, this), lampLefts[i],
                          5640, 675, 465);
    }
    signal[0]->setLit(true);

    Frame2 = place(new QFrame(this), 0, 6300, 2175, 795);
    Frame2->setFrameShape(QFrame::Box);
    setTextColour(Frame2, QColor(160, 160, 170));
    Label15 = label(QStringLiteral("録画中に「ESCキー」を押すと処理を中断できます。"), Qt::white,
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
        whiteMark(QRect(x, 4, 1, 88), false, picTimeLine);
    whiteMark(QRect(19, 4, 122, 88), true, picTimeLine);
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
