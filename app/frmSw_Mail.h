#pragma once

#include "app/MainMenu.h"
#include "app/StatusPanels.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class CaptureWindow;
class DesktopNotifications;
class CommandPanel;
class QMdiArea;
class QMdiSubWindow;
class QUrl;
class ScopePanel;
class Watcher;
class frmAbout;
class frmFtp;
class frmHistory;
class frmMail;
class frmSound;
class frm_Camera;

// The main window: owns the program's lifetime, the watcher, the detection
// controls and every command; shows what the watcher tells.
class frmSw_Mail : public QMainWindow {
    Q_OBJECT
public:
    enum class StartResult { Ready, SettingsUnreadable, NoDriver, Closed };

    explicit frmSw_Mail(QWidget* parent = nullptr);
    ~frmSw_Mail() override;

    // Runs the whole start-up. Anything but Ready means the program ends; for
    // NoDriver the message has been shown and the shutdown has run, for Closed
    // a close request (a signal) came during the start-up and the shutdown has run.
    StartResult startUp();
    Watcher& watcher() { return *watcher_; }

    // Locks or unlocks the commands that open dialogs, the switch, the
    // alarm-count button and the exit commands.
    void sDispEnabled(bool bolEnabled);
    // Panel 3 gets the frame size and the capture window is refitted; false when
    // the capture window cannot report its status.
    bool sDispResolution(CaptureWindow* window);

    // Status bar panel 1 to 5.
    QLabel* StatusBarPanel(int number) const;
    void setStatusText(int number, const QString& text);

    bool isClosing() const { return closing_; }

    // Dialog commands bracket their dialog with these.
    void suspendWatching();
    void resumeWatching();

    // Opens folders and files; replaceable so tests need no desktop.
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

    QWidget* Picture2 = nullptr;
    CommandPanel* picSideWindow = nullptr;
    ScopePanel* picSideScope = nullptr;
    QMdiArea* mdiArea = nullptr;
    QMdiSubWindow* cameraSubWindow = nullptr;
    frm_Camera* camera = nullptr;
    MainMenu menu;
    StatusPanels statusPanels;
    // Shown while uploads run in the background: how many are running and waiting.
    QLabel* uploadPanel = nullptr;
    // Shown while an alarm watched through (KEEPWATCH) still runs: its step and the alarms waiting.
    QLabel* alarmPanel = nullptr;
    // Where the web view listens, or why it does not; hidden while it is off.
    QLabel* webPanel = nullptr;
    void showWebView(const QString& text);
    // The MQTT link's last word (connected, or why not); hidden while it is off.
    QLabel* mqttPanel = nullptr;
    void showMqtt(const QString& text);
    // The web page's switch: as a click on 開始 or 停止, unless the switch is locked now.
    void switchWatching(bool watch);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void connectControls();
    void connectCommands();
    StartResult MDIForm_Initialize();
    void MDIForm_Load();
    void MDIForm_QueryUnload();
    void showSoundPanel();
    void showMailAccountPanel();
    // The panels, lamps, scope and time line follow the watcher.
    void connectWatcher();
    void connectUploads();
    void showUploads();
    // The mail commands wait while the alarm's mail thread reads their settings.
    void enableMailCommands();

    void optPrv_Click();
    void cmdKenchi_Click();

    // Menu and button commands.
    void mnu_end_Click();
    void mnu_scope_Click();
    void mnu_send_Click();
    void mnu_sound_Click();
    void mnu_mail_Click();
    void mnu_sendA_Click();
    void mnu_Ftp_Click();
    void mnu_ext_Click();
    void mnu_history_Click();
    void mnu_log_Click();
    void openFolder(const QString& name);
    void mnu_ver_Click();
    void openWithDesktop(const QString& path);
    void runDialog(const std::function<void()>& showDialog);

    // Video commands.
    void mnu_vdriver_Click();
    void mnu_vdriver2_Click();
    void mnu_Drive_Click();
    void mnu_comp_Click();
    void bcmd_VideoSetting_Click();
    void bcmd_VideoSetting2_Click();
    bool showFrameSize(CaptureWindow* window);

    std::unique_ptr<Watcher> watcher_;
    std::unique_ptr<DesktopNotifications> notifications_;  // goes before the watcher it observes
    frmSound* soundDialog_ = nullptr;
    frmMail* mailDialog_ = nullptr;
    frmFtp* ftpDialog_ = nullptr;
    frmAbout* aboutDialog_ = nullptr;
    frmHistory* historyDialog_ = nullptr;
    UrlOpener openUrl_;
    bool closing_ = false;
    bool cameraFitted_ = false;
    bool commandsEnabled_ = true;  // as sDispEnabled last set them
    bool alarmMailing_ = false;
};
