#include "app/frmSw_Mail.h"

#include "app/AlarmCountInput.h"
#include "app/CommandPanel.h"
#include "app/MessageBox.h"
#include "app/Pictures.h"
#include "app/ScopePanel.h"
#include "app/Twips.h"
#include "app/UnreadableSettings.h"
#include "app/Version.h"
#include "app/frm_Camera.h"
#include "capture/CaptureDialogs.h"
#include "capture/CaptureWindow.h"
#include "capture/DriverRegistry.h"
#include "detect/SkipCompare.h"
#include "history/AlarmHistory.h"
#include "history/HistoryLog.h"
#include "history/StorageKeeper.h"
#include "mail/MailAccount.h"
#include "mail/MailTransport.h"
#include "settings/AppFolderTidy.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "settings/WatchEvents.h"
#include "upload/UploadQueue.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QShowEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int kDriverIndices = 10;
constexpr int kPreviewRateMs = 66;
// How long closing waits for a background upload before ending its client.
constexpr std::chrono::seconds kUploadsAtClose{10};

}  // namespace

frmSw_Mail::frmSw_Mail(QWidget* parent)
    : QMainWindow(parent), openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
    setWindowTitle(QStringLiteral("Tarnwell Houndly"));
    setWindowIcon(applicationIcon());

    auto* central = new QWidget(this);
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    Picture2 = new QWidget(central);
    Picture2->setFixedHeight(twipsToPixels(100));
    rows->addWidget(Picture2);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(0);
    picSideWindow = new CommandPanel(central);
    mdiArea = new QMdiArea(central);
    picSideScope = new ScopePanel(central);
    columns->addWidget(picSideWindow);
    columns->addWidget(mdiArea, 1);
    columns->addWidget(picSideScope);
    rows->addLayout(columns, 1);
    setCentralWidget(central);

    menu = buildMainMenu(menuBar());
    statusPanels = buildStatusPanels(statusBar());
    connectUploads();
    resize(twipsToPixels(11295), twipsToPixels(8190) + menuBar()->sizeHint().height());

    connectControls();
    connectCommands();
    // A closing window has no time left to show it: standard error tells it.
    setSaveFailureNotice([this](const QString& message) {
        if (!closing_)
            showMessageBoxWithoutWaiting(this, QMessageBox::Warning, windowTitle(), message);
    });
}

frmSw_Mail::~frmSw_Mail()
{
    setSaveFailureNotice({});
    if (hCapWnd == captureWindow_.get())
        hCapWnd = nullptr;
}

frmSw_Mail::StartResult frmSw_Mail::startUp()
{
    tidyAppFolder();
    const StartResult result = MDIForm_Initialize();
    if (result != StartResult::Ready)
        return result;
    MDIForm_Load();
    tellWatchEvent({.kind = WatchEvent::Kind::Started, .name = cameraName()});
    return StartResult::Ready;
}

QString frmSw_Mail::cameraName() const
{
    const QString name = hCapWnd ? hCapWnd->driverName() : QString();
    // A network camera's address may carry its account.
    const QUrl url(name);
    return url.scheme().size() > 1 && !url.password().isEmpty() ? url.toString(QUrl::RemovePassword) : name;
}

frmSw_Mail::StartResult frmSw_Mail::MDIForm_Initialize()
{
    ReadProblem problem = ReadProblem::None;
    if (!sLoadSettings(&problem)) {
        if (problem != ReadProblem::None)
            reportUnreadableSettings(this, windowTitle(), appFilePath(QStringLiteral("houndly.ini")), problem);
        return StartResult::SettingsUnreadable;
    }
    // Without a camera named at start, the one stored last.
    if (preferredCamera().isEmpty())
        setPreferredCamera(Settings.EXT.CAMERA);

    if (camera == nullptr) {
        camera = new frm_Camera(this);
        cameraSubWindow = mdiArea->addSubWindow(camera, Qt::SubWindow | Qt::CustomizeWindowHint |
                                                            Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
        cameraSubWindow->hide();
    }

    captureWindow_ = std::make_unique<CaptureWindow>();
    hCapWnd = captureWindow_.get();
    if (!headless_)
        installCaptureDialogs(hCapWnd);
    camera->attachCaptureWindow(hCapWnd);

    bool connected = false;
    for (int index = 0; index < kDriverIndices && !connected; ++index)
        connected = capDriverConnect(hCapWnd, index);
    if (!connected) {
        showMessageBox(this, QMessageBox::Critical, windowTitle(), QStringLiteral("ドライバーが見つかりません。"));
        close();
        return StartResult::NoDriver;
    }

    CAPDRIVERCAPS caps;
    capDriverGetCaps(hCapWnd, &caps, sizeof caps);
    capPreviewRate(hCapWnd, kPreviewRateMs);
    capPreviewScale(hCapWnd, true);
    capPreview(hCapWnd, true);
    sDispResolution(hCapWnd);

    if (Settings.COM.COMP) {
        menu.mnu_comp->setVisible(true);
        mnu_comp_Click();
    }
    // A signal served by a dialog above, or by any other wait, has closed the window.
    if (closing_)
        return StartResult::Closed;
    showSoundPanel();
    showMailAccountPanel();
    camera->restoreTimeLine();
    startRemembering();
    camera->startDetector();
    return StartResult::Ready;
}

void frmSw_Mail::startRemembering()
{
    if (history_ != nullptr)
        return;
    // A clip waiting for its background upload stays until it has gone up.
    storageKeeper_ = std::make_unique<StorageKeeper>(appFolder(), [this] { return uploads_->clipsToSend(); });
    history_ = std::make_unique<AlarmHistory>(historyLogPath());
    storageKeeper_->keepAfterStart(historyLogPath());
}

void frmSw_Mail::MDIForm_Load()
{
    setWindowTitle(QStringLiteral("%1(Ver %2.%3.%4)")
                       .arg(QLatin1String(kAppTitle))
                       .arg(kVersionMajor)
                       .arg(kVersionMinor)
                       .arg(kVersionRevision));
    picSideWindow->txtCKData->setText(QString::number(Settings.COM.CKSUM));
    picSideWindow->SliderCKTime->setValue(Settings.COM.TIMER);
    picSideWindow->SliderSeido->setValue(Settings.COM.ACCURACY);
    picSideWindow->ckNoize->setChecked(Settings.COM.NOIZE);

    cameraSubWindow->show();
}

void frmSw_Mail::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The camera window fills the client area the first time it can be measured.
    if (!event->spontaneous() && cameraSubWindow != nullptr && !cameraFitted_) {
        cameraFitted_ = true;
        centralWidget()->layout()->activate();
        cameraSubWindow->setGeometry(QRect(QPoint(0, 0), mdiArea->viewport()->size()));
    }
}

void frmSw_Mail::connectControls()
{
    CommandPanel* panel = picSideWindow;
    connect(panel->optPrvGroup, &QButtonGroup::idClicked, this, [this] { optPrv_Click(); });
    connect(panel->cmdKenchi, &QPushButton::clicked, this, &frmSw_Mail::cmdKenchi_Click);
    connect(panel->SliderCKTime, &QSlider::valueChanged, this, [this](int value) {
        Settings.COM.TIMER = static_cast<int16_t>(value);
        sSaveSettingsReported();
    });
    connect(panel->SliderSeido, &QSlider::valueChanged, this, [this](int value) {
        Settings.COM.ACCURACY = static_cast<int16_t>(value);
        sSaveSettingsReported();
    });
    connect(panel->ckNoize, &QCheckBox::toggled, this, [this](bool ticked) {
        Settings.COM.NOIZE = ticked;
        sSaveSettingsReported();
    });
}


QLabel* frmSw_Mail::StatusBarPanel(int number) const
{
    return statusPanels.panel[number - 1];
}

void frmSw_Mail::setStatusText(int number, const QString& text)
{
    StatusBarPanel(number)->setText(text);
}

void frmSw_Mail::showSoundPanel()
{
    setStatusText(4, Settings.COM.SOUND.isEmpty() ? QStringLiteral("警告音: なし")
                                                  : QStringLiteral("警告音: ") + Settings.COM.SOUND);
}

void frmSw_Mail::showMailAccountPanel()
{
    sCheckMailReady();
    if (Settings.COM.MailReady) {
        StatusBarPanel(5)->hide();
        setStatusText(5, QString());
    } else {
        StatusBarPanel(5)->show();
        setStatusText(5, QStringLiteral("ﾒｰﾙｱｶｳﾝﾄ未設定"));
    }
}

void frmSw_Mail::sDispEnabled(bool bolEnabled)
{
    CommandPanel* panel = picSideWindow;
    const std::initializer_list<QWidget*> controls = {
        panel->cmd_Sound,      panel->bcmd_SendMail,  panel->bcmd_VideoSetting, panel->bcmd_VideoSetting2,
        panel->bcmd_MailSetting, panel->bcmd_SendMailA, panel->bcmd_Ftp,        panel->bcmd_End,
        panel->cmdKenchi,      panel->optPrv[0],      panel->optPrv[1]};
    for (QWidget* control : controls)
        control->setEnabled(bolEnabled);
    for (QAction* item : {menu.mnu_sound, menu.mnu_send, menu.mnu_vdriver, menu.mnu_vdriver2, menu.mnu_comp,
                          menu.mnu_Drive, menu.mnu_sendA, menu.mnu_mail, menu.mnu_Ftp, menu.mnu_end, menu.mnu_ext})
        item->setEnabled(bolEnabled);
}

bool frmSw_Mail::isStopSelected() const
{
    return picSideWindow->optPrv[1]->isChecked();
}

bool frmSw_Mail::isEditingAlarmCount() const
{
    return picSideWindow->txtCKData->isEnabled();
}

void frmSw_Mail::suspendWatching()
{
    camera->stopDetector();
    capPreview(hCapWnd, false);
    sDispEnabled(false);
}

void frmSw_Mail::resumeWatching()
{
    // A close that came while a dialog was open has already let the camera go.
    if (closing_)
        return;
    capPreview(hCapWnd, true);
    sDispEnabled(true);
    camera->startDetector();
}

void frmSw_Mail::optPrv_Click()
{
    if (picSideWindow->optPrv[0]->isChecked()) {
        resumeWatching();
        return;
    }
    suspendWatching();
    picSideWindow->optPrv[0]->setEnabled(true);
    picSideWindow->optPrv[1]->setEnabled(true);
    menu.mnu_end->setEnabled(true);
    picSideWindow->bcmd_End->setEnabled(true);
}

void frmSw_Mail::cmdKenchi_Click()
{
    CommandPanel* panel = picSideWindow;
    const bool editing = panel->cmdKenchi->property("tag").toString().toDouble() != 0;
    if (!editing) {
        panel->cmdKenchi->setText(QStringLiteral("OK(&K)"));
        panel->txtCKData->setEnabled(true);
        suspendWatching();
        panel->cmdKenchi->setEnabled(true);
        panel->cmdKenchi->setProperty("tag", QStringLiteral("1"));
        SkipCompare = true;
        panel->txtCKData->setFocus();
        return;
    }
    Settings.COM.CKSUM = alarmCountFromText(panel->txtCKData->text());
    sSaveSettingsReported();
    resumeWatching();
    panel->cmdKenchi->setText(QStringLiteral("変更(&K)"));
    panel->txtCKData->setEnabled(false);
    panel->cmdKenchi->setProperty("tag", QStringLiteral("0"));
}

void frmSw_Mail::closeEvent(QCloseEvent* event)
{
    MDIForm_QueryUnload();
    event->accept();
    // The program ends with its main window, even when a dialog is still open.
    // Quitting alone would not end a dialog of the start-up, which runs before
    // the program's event loop does.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog != nullptr && dialog->isVisible())
            dialog->reject();
    QCoreApplication::quit();
}

void frmSw_Mail::MDIForm_QueryUnload()
{
    if (closing_)
        return;
    closing_ = true;
    // An alarm mail under way ends now rather than holding the exit.
    cancelMailInProgress();
    if (camera != nullptr)
        camera->stopDetector();
    sDispEnabled(false);
    sClearCapture();
    uploads_->shutDown(kUploadsAtClose);
    // A script left behind when the FTP client could not run holds a password.
    QFile::remove(appFilePath(QStringLiteral("FTP_PUT.txt")));
    const bool saved = sSaveSettingsReported();
    if (camera != nullptr)
        camera->Form_Unload();
    tellWatchEvent({.kind = WatchEvent::Kind::Stopped,
                    .ok = saved,
                    .detail = saved ? QString() : QStringLiteral("the settings could not be saved")});
}

void frmSw_Mail::sClearCapture()
{
    capSetCallbackOnError(hCapWnd, nullptr);
    capSetCallbackOnStatus(hCapWnd, nullptr);
    capSetCallbackOnYield(hCapWnd, nullptr);
    capSetCallbackOnFrame(hCapWnd, nullptr);
    capSetCallbackOnVideoStream(hCapWnd, nullptr);
    capSetCallbackOnWaveStream(hCapWnd, nullptr);
    capSetCallbackOnCapControl(hCapWnd, nullptr);
    capDriverDisconnect(hCapWnd);
}
