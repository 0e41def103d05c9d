#pragma once

class CaptureWindow;

// Opens the driver's video dialogs. The window library supplies the real one at
// start-up; without one the dialog operations fail. Each call returns when the
// user has closed the dialog: true when the dialog was shown.
class CaptureDialogProvider {
public:
    virtual ~CaptureDialogProvider() = default;
    virtual bool showVideoFormat(CaptureWindow& window) = 0;
    virtual bool showVideoSource(CaptureWindow& window) = 0;
    virtual bool showVideoCompression(CaptureWindow& window) = 0;
};
