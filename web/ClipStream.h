#pragma once

#include "web/MjpegStream.h"

#include <QString>

#include <memory>

// A recorded clip's frames as they were recorded (no decoding, no encoding),
// paced at the clip's frame rate, to its end. Null when the clip cannot be
// read or its frames are not JPEG images; `why` says which.
std::unique_ptr<JpegSource> clipSource(const QString& path, const StopSignal& stop, QString& why);
