#pragma once

#include <QByteArrayView>

#include <chrono>
#include <memory>
#include <optional>

class LiveJpeg;
class StopSignal;
struct LiveJpegFrame;
struct MHD_Response;

// One JPEG of a stream and whatever keeps its bytes alive.
struct JpegPart {
    std::shared_ptr<const void> owner;
    QByteArrayView bytes;
};

// Where a stream's pictures come from. next() runs on the connection's own
// thread and may wait: for the picture's time, for a new picture. It ends
// (nothing) at the end of the pictures or when the server stops.
class JpegSource {
public:
    virtual ~JpegSource() = default;
    virtual std::optional<JpegPart> next() = 0;
};

// The live picture at `framesPerSecond`: a viewer gets the newest frame when
// its time comes, so one that reads slowly only misses frames.
std::unique_ptr<JpegSource> liveSource(LiveJpeg& live, int framesPerSecond, const StopSignal& stop);

// multipart/x-mixed-replace of the source's JPEGs, sent as they come.
MHD_Response* mjpegResponse(std::unique_ptr<JpegSource> source);
