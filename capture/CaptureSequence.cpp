#include "capture/CaptureWindow.h"

// Clip recording is not available yet: the sequence operations fail cleanly.

bool capCaptureGetSetup(CaptureWindow*, CAPTUREPARMS*, int)
{
    return false;
}

bool capCaptureSetSetup(CaptureWindow*, const CAPTUREPARMS*, int)
{
    return false;
}

bool capFileSetCaptureFile(CaptureWindow*, const QString&)
{
    return false;
}

bool capCaptureSequence(CaptureWindow*)
{
    return false;
}

bool capCaptureStop(CaptureWindow*)
{
    return false;
}
