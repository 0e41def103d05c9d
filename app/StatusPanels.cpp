#include "app/StatusPanels.h"

#include "app/Pictures.h"
#include "app/Twips.h"

#include <QCoreApplication>
#include <QPainter>
#include <QStatusBar>

#include <algorithm>

namespace {

constexpr int kWarningSize = 14;
constexpr int kMinimumPanelTwips = 1440;

}  // namespace

WarningPanel::WarningPanel(QWidget* parent) : QLabel(parent)
{
    setIndent(kWarningSize + 6);
}

void WarningPanel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.drawPixmap(3, (height() - kWarningSize) / 2, warningPicture(kWarningSize));
}

StatusPanels buildStatusPanels(QStatusBar* statusBar)
{
    StatusPanels panels;
    const int widths[5] = {3440, 3045, 1440, 3045, 2310};
    for (int i = 0; i < 5; ++i) {
        QLabel* label = i == 4 ? new WarningPanel(statusBar) : new QLabel(statusBar);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(twipsToPixels(kMinimumPanelTwips));
        if (i == 2) {
            // The frame size must fit whole, even for large formats.
            const int sizeWidth = label->fontMetrics().horizontalAdvance(frameSizeText(1920, 1080)) + 10;
            label->setMinimumWidth(std::max(label->minimumWidth(), sizeWidth));
        }
        // The design widths add up to more than the window is wide: the two
        // message panels share what the fixed texts of the others leave.
        statusBar->addWidget(label, i < 2 ? widths[i] : 0);
        panels.panel[i] = label;
    }
    return panels;
}

QString frameSizeText(int width, int height)
{
    return QCoreApplication::translate("StatusPanels", "解像度: %1×%2").arg(width).arg(height);
}
