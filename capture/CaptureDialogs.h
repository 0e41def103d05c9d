#pragma once

class CaptureWindow;

// Lets the capture window open the video format, source and compression dialogs
// (called once at start-up, after the window was created).
void installCaptureDialogs(CaptureWindow* window);
