#pragma once

#include "capture/Frame.h"

#include <cstdint>

class CaptureWindow;

// The program-wide capture window, created at start-up.
extern CaptureWindow* hCapWnd;

// Records exchanged with the capture window. Only the named fields are used.
struct CAPDRIVERCAPS {
    uint32_t wDeviceIndex = 0;
    uint32_t fHasOverlay = 0;
    uint32_t fHasDlgVideoSource = 0;
    uint32_t fHasDlgVideoFormat = 0;
    uint32_t fHasDlgVideoDisplay = 0;
    uint32_t fCaptureInitialized = 0;
    uint32_t fDriverSuppliesPalettes = 0;
    uint32_t hVideoIn = 0;
    uint32_t hVideoOut = 0;
    uint32_t hVideoExtIn = 0;
    uint32_t hVideoExtOut = 0;
};

struct CAPSTATUS {
    uint32_t uiImageWidth = 0;
    uint32_t uiImageHeight = 0;
};

struct CAPTUREPARMS {
    uint32_t dwRequestMicroSecPerFrame = 66667;
    bool fMakeUserHitOKToCapture = false;
    bool fYield = false;
    bool fCaptureAudio = false;
    bool fAbortLeftMouse = true;
    bool fAbortRightMouse = true;
    int vKeyAbort = 0x1B;  // Escape
    bool fLimitEnabled = false;
    uint32_t wTimeLimit = 0;  // seconds
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
bool capSetCallbackOnError(CaptureWindow* window, void* callback);
bool capSetCallbackOnStatus(CaptureWindow* window, void* callback);
bool capSetCallbackOnYield(CaptureWindow* window, void* callback);
bool capSetCallbackOnFrame(CaptureWindow* window, void* callback);
bool capSetCallbackOnVideoStream(CaptureWindow* window, void* callback);
bool capSetCallbackOnWaveStream(CaptureWindow* window, void* callback);
bool capSetCallbackOnCapControl(CaptureWindow* window, void* callback);
bool capGrabFrame(CaptureWindow* window);
bool capEditCopy(CaptureWindow* window);
bool capCaptureSequence(CaptureWindow* window);
bool capCaptureStop(CaptureWindow* window);
bool capCaptureGetSetup(CaptureWindow* window, CAPTUREPARMS* parms, int size);
bool capCaptureSetSetup(CaptureWindow* window, const CAPTUREPARMS* parms, int size);
bool capFileSetCaptureFile(CaptureWindow* window, const QString& path);

// The in-process buffer that capEditCopy fills (never the desktop clipboard).
bool frameBufferHasFrame();
QImage frameBufferFrame();
void frameBufferClear();
