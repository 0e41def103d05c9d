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
#include "app/PictureBox.h"
#include "mail/MailAccount.h"
#include "notify/DesktopNotifications.h"
#include "settings/AppFolderTidy.h"
#include "settings/AppPaths.h"
#include "settings/Settings.h"
#include "settings/SettingsSaveReport.h"
#include "watch/Watcher.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
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

frmSw_Mail::frmSw_Mail(QWidget* parent)
    : QMainWindow(parent),
      watcher_(std::make_unique<Watcher>()),
      notifications_(std::make_unique<DesktopNotifications>(watcher_->events())),
      openUrl_([](const QUrl& url) { return QDesktopServices::openUrl(url); })
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
    connectWatcher();
    connectUploads();
    connect(notifications_.get(), &DesktopNotifications::historyRequested, this, &frmSw_Mail::mnu_history_Click);
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
}

frmSw_Mail::StartResult frmSw_Mail::startUp()
{
    tidyAppFolder();
    const StartResult result = MDIForm_Initialize();
    if (result != StartResult::Ready)
        return result;
    MDIForm_Load();
    watcher_->startWatching();
    return StartResult::Ready;
}

frmSw_Mail::StartResult frmSw_Mail::MDIForm_Initialize()
{
    ReadProblem problem = ReadProblem::None;
    if (!sLoadSettings(&problem)) {
        if (problem != ReadProblem::None)
            showMessageBox(this, QMessageBox::Critical, windowTitle(),
                           reportUnreadableSettings(appFilePath(QStringLiteral("houndly.ini")), problem));
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

    installCaptureDialogs(watcher_->camera());
    camera->attachCaptureWindow(watcher_->camera());
    if (!watcher_->connectCamera()) {
        showMessageBox(this, QMessageBox::Critical, windowTitle(), noDriverFoundText());
        close();
        return StartResult::NoDriver;
    }
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
    return StartResult::Ready;
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
    setStatusText(4, Settings.COM.SOUND.isEmpty() ? tr("警告音: なし") : tr("警告音: %1").arg(Settings.COM.SOUND));
}

void frmSw_Mail::showMailAccountPanel()
{
    if (MailReady()) {
        StatusBarPanel(5)->hide();
        setStatusText(5, QString());
    } else {
        StatusBarPanel(5)->show();
        setStatusText(5, tr("ﾒｰﾙｱｶｳﾝﾄ未設定"));
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
    commandsEnabled_ = bolEnabled;
    enableMailCommands();
}

void frmSw_Mail::enableMailCommands()
{
    const bool enabled = commandsEnabled_ && !alarmMailing_;
    CommandPanel* panel = picSideWindow;
    for (QWidget* control : {panel->bcmd_MailSetting, panel->bcmd_SendMailA})
        control->setEnabled(enabled);
    for (QAction* item : {menu.mnu_mail, menu.mnu_sendA})
        item->setEnabled(enabled);
}

void frmSw_Mail::suspendWatching()
{
    watcher_->suspend();
    sDispEnabled(false);
}

void frmSw_Mail::resumeWatching()
{
    // A close that came while a dialog was open has already let the camera go.
    if (closing_)
        return;
    watcher_->resume();
    sDispEnabled(true);
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
        panel->cmdKenchi->setText(tr("OK(&K)"));
        panel->txtCKData->setEnabled(true);
        suspendWatching();
        panel->cmdKenchi->setEnabled(true);
        panel->cmdKenchi->setProperty("tag", QStringLiteral("1"));
        watcher_->SkipCompare = true;
        panel->txtCKData->setFocus();
        // What the user types replaces the count rather than running on after it.
        panel->txtCKData->selectAll();
        return;
    }
    Settings.COM.CKSUM = alarmCountFromText(panel->txtCKData->text());
    sSaveSettingsReported();
    resumeWatching();
    panel->cmdKenchi->setText(tr("変更(&K)"));
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
    // The watcher locks the commands through its signal once the detector has stopped.
    watcher_->shutDown();
}
