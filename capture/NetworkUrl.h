#pragma once

#include <QString>

// True for a source that names a camera on the network (rtsp://, http://, ...)
// rather than a file, a device node or the demo.
bool isNetworkCameraUrl(const QString& source);

// `text` with the user name and password of every URL in it replaced by "***",
// for whatever is shown or logged: "rtsp://***@camera/stream".
QString maskUrlCredentials(const QString& text);

// True for a URL the driver selection takes for a network camera: rtsp://,
// http:// or https://, a host, a port 1..65535 when one is given, no blanks
// or control characters.
bool isAcceptedCameraUrl(const QString& url);
