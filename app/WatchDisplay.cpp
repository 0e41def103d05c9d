// What the watcher tells, as the main window shows it: the count and scope,
// the lamps and status texts, the time line, the mask's tint, the commands it
// locks and what of an alarm watched through still runs.
#include "app/PictureBox.h"
#include "app/ScopePanel.h"
#include "app/frmSw_Mail.h"
#include "app/frm_Camera.h"
#include "detect/DetectionMask.h"
#include "settings/CommonHelpers.h"
#include "watch/Watcher.h"

#include <QStatusBar>

void frmSw_Mail::connectWatcher()
{
    Watcher* watcher = watcher_.get();
    watcher->showDifferences(true);
    connect(watcher, &Watcher::ticked, this, [this](int32_t count, const QImage& difference) {
        if (!difference.isNull()) {
            // A scaled copy: the detector keeps writing into its own buffer.
            PictureBox* scope = picSideScope->picScope;
            scope->setImage(sResizePicture(difference, scope->height(), scope->width()));
        }
        picSideScope->lblCount->setText(formatDetectionCount(count));
    });
    connect(watcher, &Watcher::levelShown, this,
            [this](AlarmLevel level) { picSideScope->lightLamp(signalLampIndex(level)); });
    connect(watcher, &Watcher::statusShown, this, [this](const QString& text) { setStatusText(1, text); });
    connect(watcher, &Watcher::alarmStepShown, this, [this](const QString& text) {
        setStatusText(1, text);
        StatusBarPanel(1)->repaint();
    });
    connect(watcher, &Watcher::alarmShown, this, [this](const QString& lastAlarm) {
        setStatusText(2, lastAlarm);
        picSideScope->repaint();
        StatusBarPanel(1)->repaint();
    });
    connect(watcher, &Watcher::commandsLocked, this, [this](bool locked) { sDispEnabled(!locked); });
    alarmPanel = new QLabel(statusBar());
    alarmPanel->setFrameShape(QFrame::Panel);
    alarmPanel->setFrameShadow(QFrame::Sunken);
    statusBar()->addPermanentWidget(alarmPanel);
    alarmPanel->hide();
    connect(watcher, &Watcher::alarmProgress, this, [this](const QString& text, bool mailing) {
        alarmPanel->setText(text);
        alarmPanel->setVisible(!text.isEmpty());
        alarmMailing_ = mailing;
        enableMailCommands();
    });
    connect(watcher, &Watcher::timeLineDrawn, this, [this, watcher] {
        const TimeLine& line = watcher->timeLine();
        picSideScope->showTimeLine(line.image(), line.markerLeft(), line.clockText());
    });
    // While the mask is on, what it leaves out is tinted on the live picture and the scope.
    connect(watcher, &Watcher::maskTaken, this, [this](const QImage& weights) {
        const QImage tint = weights.isNull() ? QImage() : maskTint(weights);
        camera->setMaskTint(tint);
        picSideScope->picScope->setOverlay(tint);
    });
    connect(watcher, &Watcher::timeLineRestored, this,
            [this, watcher] { picSideScope->picTimeLine->setImage(watcher->timeLine().image()); });
}
