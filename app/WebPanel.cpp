// The web view and the MQTT link as the main window shows them, and the watch switch they share.
#include "app/CommandPanel.h"
#include "app/frmSw_Mail.h"

#include <QPushButton>
#include <QStatusBar>

namespace {

// A status-bar panel made at its first line and hidden while there is none.
void showInPanel(QStatusBar* bar, QLabel*& panel, const QString& text)
{
    if (panel == nullptr) {
        panel = new QLabel(bar);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        bar->addPermanentWidget(panel);
    }
    panel->setText(text);
    panel->setToolTip(text);
    panel->setVisible(!text.isEmpty());
}

}  // namespace

void frmSw_Mail::showWebView(const QString& text)
{
    showInPanel(statusBar(), webPanel, text);
}

void frmSw_Mail::showMqtt(const QString& text)
{
    showInPanel(statusBar(), mqttPanel, text);
}

void frmSw_Mail::switchWatching(bool watch)
{
    QPushButton* button = picSideWindow->optPrv[watch ? 0 : 1];
    // A dialog or an alarm holds the switch, as it does for the mouse.
    if (button->isEnabled() && !button->isChecked())
        button->click();
}
