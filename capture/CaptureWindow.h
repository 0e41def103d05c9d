#pragma once

#include "capture/CameraFrame.h"
#include "capture/ClipCodecs.h"
#include "capture/Frame.h"
#include "capture/FrameReader.h"

#include <QSize>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class CaptureDialogProvider;
class CaptureWindow;
class ClipRecorder;
class PreEventBuffer;
struct CaptureControl;

// The program-wide capture window, created at start-up.
extern CaptureWindow* hCapWnd;

// Records exchanged with the capture window, with the fields the program reads.
struct CAPDRIVERCAPS {
    uint32_t wDeviceIndex = 0;
};

struct CAPSTATUS {
    uint32_t uiImageWidth = 0;
    uint32_t uiImageHeight = 0;
};

struct CAPTUREPARMS {
    uint32_t dwRequestMicroSecPerFrame = 66667;
    bool fMakeUserHitOKToCapture = false;
    bool fCaptureAudio = false;
    bool fAbortLeftMouse = true;
    bool fAbortRightMouse = true;
    int vKeyAbort = 0x1B;  // Escape
    bool fLimitEnabled = false;
    uint32_t wTimeLimit = 0;  // seconds
};

// The capture window: connects one driver at a time, keeps its latest frame
// (read on a thread of its own, decoded only when used), the grabbed frame, the
// preview state and the clip-recording choices. Frame access (latestFrame,
// latestCameraFrame, waitForFrameAfter, frameSize) is safe from any thread;
// everything else belongs to the window's thread. Nothing here waits for a
// frame being read.
class CaptureWindow {
public:
    CaptureWindow();
    ~CaptureWindow();
    CaptureWindow(const CaptureWindow&) = delete;
    CaptureWindow& operator=(const CaptureWindow&) = delete;

    // Opens driver `index` of the driver list; on failure the current driver stays.
    // With no driver connected yet (start-up), a source kept when absent (a
    // network camera) that does not answer is connected anyway and retried.
    bool connectDriver(int index);
    // Releases the device and joins the reader thread.
    void disconnectDriver();
    bool isConnected() const;
    int driverIndex() const;  // -1 when none
    QString driverName() const;  // the connected driver's name, "" when none
    QString driverSource() const;  // the connected driver's DriverEntry::source, "" when none
    // True while the connected source is lost (unplugged, unreadable) and being reopened.
    bool sourceLost() const;

    // What the format and source dialogs change (empty or false without a driver).
    std::vector<QSize> frameSizes() const;
    bool setFrameSize(QSize size);
    std::vector<CaptureControl> controls() const;
    bool setControl(uint32_t id, int value);

    // Size of the frames being delivered (empty without a driver).
    QSize frameSize() const;
    // The latest frame's whole picture (decoded now if nobody did yet), null
    // while none (not connected, camera lost); `number` counts frames, 0 before the first.
    QImage latestFrame(uint64_t* number = nullptr) const;
    // The latest frame as it arrived (null while none), for whoever decodes it
    // its own way (the preview) or keeps it compressed.
    std::shared_ptr<const CameraFrame> latestCameraFrame(FrameStamp* stamp = nullptr) const;
    // Waits up to `timeout` for a frame numbered above `after`; false on timeout or
    // without a driver.
    bool waitForFrameAfter(uint64_t after, std::chrono::milliseconds timeout, uint64_t* number = nullptr) const;

    // Takes the latest frame as the grabbed frame and stops the preview.
    bool grabFrame();
    // The grabbed frame's whole picture (decoded on first use) and which frame it was.
    QImage grabbedFrame() const;
    FrameStamp grabbedFrameStamp() const;

    void setPreview(bool on);
    bool previewing() const;
    void setPreviewRate(int milliseconds);
    int previewRate() const;
    void setPreviewScale(bool on);
    bool previewScale() const;

    void setDialogProvider(std::shared_ptr<CaptureDialogProvider> provider);
    CaptureDialogProvider* dialogProvider() const;

    // Clip recording choices, kept for as long as the window lives.
    CAPTUREPARMS sequenceSetup() const;
    void setSequenceSetup(const CAPTUREPARMS& parms);
    QString captureFile() const;
    void setCaptureFile(const QString& path);
    ClipCompression compression() const;
    void setCompression(const ClipCompression& compression);

    // Pre-event recording: the frames of the last `length` are kept (0: none,
    // the default), so that a recording begins `length` before the grabbed
    // frame. Changing the length forgets the kept frames.
    void setPreEventLength(std::chrono::seconds length);
    std::chrono::seconds preEventLength() const;
    std::shared_ptr<const PreEventBuffer> preEventBuffer() const;

    // The recording capCaptureSequence started, until it is taken (null
    // otherwise). The window ends it when it lets its driver go, and keeps it
    // ended for whoever follows it.
    ClipRecorder* backgroundRecording() const;
    void setBackgroundRecording(std::unique_ptr<ClipRecorder> recorder);
    std::unique_ptr<ClipRecorder> takeBackgroundRecording();

private:
    // The reader as other threads see it: a recorder may still hold it while the
    // window lets the driver go, so it is shared and swapped under the lock.
    std::shared_ptr<FrameReader> sharedReader() const;
    void replaceReader(std::shared_ptr<FrameReader> reader, QSize size);

    std::unique_ptr<ClipRecorder> background_;  // ended with the driver: it reads the reader's frames
    std::shared_ptr<FrameReader> reader_;  // written on the window's thread only
    std::shared_ptr<PreEventBuffer> preEvent_;
    int driverIndex_ = -1;
    QString driverName_;
    QString driverSource_;
    QSize driverSize_;  // guarded by sharedMutex_: read from any thread
    mutable std::mutex sharedMutex_;
    std::shared_ptr<const CameraFrame> grabbed_;
    FrameStamp grabbedStamp_;
    bool preview_ = false;
    int previewRate_ = 66;
    bool previewScale_ = false;
    std::shared_ptr<CaptureDialogProvider> dialogs_;
    CAPTUREPARMS sequenceSetup_;
    QString captureFile_;
    ClipCompression compression_;
};

// One wrapper per capture-window operation. Each returns true when the
// operation succeeded; a null window gives false.
bool capDriverConnect(CaptureWindow* window, int driverIndex);
bool capDriverDisconnect(CaptureWindow* window);
bool capDriverGetCaps(CaptureWindow* window, CAPDRIVERCAPS* caps, int size);
bool capGetStatus(CaptureWindow* window, CAPSTATUS* status, int size);
bool capDlgVideoFormat(CaptureWindow* window);
bool capDlgVideoSource(CaptureWindow* window);
bool capDlgVideoCompression(CaptureWindow* window);
bool capPreview(CaptureWindow* window, bool show);
bool capPreviewRate(CaptureWindow* window, int milliseconds);
bool capPreviewScale(CaptureWindow* window, bool scale);
bool capGrabFrame(CaptureWindow* window);
// Starts recording the capture file on a thread of its own and returns at
// once: the program's thread never waits for a clip (SequenceEnd follows it).
// With kept frames it begins the pre-event length before the grabbed frame.
bool capCaptureSequence(CaptureWindow* window);
// Ends the running recording early; it closes its clip on its own thread.
bool capCaptureStop(CaptureWindow* window);
// The running recording ends `rest` from now instead of at its time limit;
// false when none runs.
bool capCaptureFinish(CaptureWindow* window, std::chrono::milliseconds rest);
bool capCaptureGetSetup(CaptureWindow* window, CAPTUREPARMS* parms, int size);
bool capCaptureSetSetup(CaptureWindow* window, const CAPTUREPARMS* parms, int size);
bool capFileSetCaptureFile(CaptureWindow* window, const QString& path);

// The name of driver `index` of the driver list; false when there is no such driver.
// The version is the build's FFmpeg version for every driver.
bool capGetDriverDescriptionA(int index, QString& name, QString& version);

// The one way to take a still picture: grabs the latest frame (which stops the
// live picture) and hands its picture over, with which frame it was; null
// when there is none (no driver, no frame yet).
QImage grabStillPicture(CaptureWindow* window, FrameStamp* stamp = nullptr);
