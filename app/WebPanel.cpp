// The web view as the main window shows it, and its page's watch switch.
#include "app/CommandPanel.h"
#include "app/frmSw_Mail.h"

#include <QPushButton>
#include <QStatusBar>

void frmSw_Mail::showWebView(const QString& text)
{
    if (webPanel == nullptr) {
        webPanel = new QLabel(statusBar());
        webPanel->setFrameShape(QFrame::Panel);
        webPanel->setFrameShadow(QFrame::Sunken);
        webPanel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        statusBar()->addPermanentWidget(webPanel);
    }
    webPanel->setText(text);
    webPanel->setToolTip(text);
    webPanel->setVisible(!text.isEmpty());
}

void frmSw_Mail::switchWatching(bool watch)
{
    QPushButton* button = picSideWindow->optPrv[watch ? 0 : 1];
    // A dialog or an alarm holds the switch, as it does for the mouse.
    if (button->isEnabled() && !button->isChecked())
        button->click();
}
