#include "web/MjpegStream.h"

#include "web/LiveJpeg.h"
#include "web/StopSignal.h"

#include <microhttpd.h>

#include <cstring>

namespace {

constexpr char kBoundary[] = "houndlyframe";
// How often a wait for a camera frame looks whether the server stops.
constexpr std::chrono::milliseconds kFrameWait{100};

class LiveSource final : public JpegSource {
public:
    LiveSource(LiveJpeg& live, int framesPerSecond, const StopSignal& stop)
        : live_(live), period_(std::chrono::microseconds(1'000'000 / framesPerSecond)), stop_(stop)
    {
    }

    std::optional<JpegPart> next() override
    {
        if (sent_ != nullptr && stop_.waitUntil(due_))
            return std::nullopt;
        for (;;) {
            if (stop_.stopped())
                return std::nullopt;
            std::shared_ptr<const LiveJpegFrame> frame = live_.newest();
            if (frame != nullptr && (sent_ == nullptr || frame->stamp != sent_->stamp)) {
                // The pace holds without drifting; a frame that came late moves it on by at most a period.
                const auto now = std::chrono::steady_clock::now();
                due_ = (sent_ == nullptr ? now : std::max(due_, now - period_)) + period_;
                sent_ = frame;
                return JpegPart{frame, QByteArrayView(frame->bytes)};
            }
            live_.waitForFrameAfter(sent_ == nullptr ? FrameStamp{} : sent_->stamp, kFrameWait);
        }
    }

private:
    LiveJpeg& live_;
    const std::chrono::steady_clock::duration period_;
    const StopSignal& stop_;
    std::shared_ptr<const LiveJpegFrame> sent_;
    std::chrono::steady_clock::time_point due_{};
};

// The stream of one connection: the part being sent and where it stands.
struct Stream {
    std::unique_ptr<JpegSource> source;
    QByteArray head;
    JpegPart part;
    qsizetype sent = 0;  // of head + part + CRLF

    qsizetype partSize() const { return head.size() + part.bytes.size() + 2; }

    // Copies what is left of the part, as far as it fits.
    size_t copy(char* buffer, size_t room)
    {
        size_t written = 0;
        const auto take = [&](const char* data, qsizetype size, qsizetype start) {
            if (sent < start || sent >= start + size || written == room)
                return;
            const size_t count = std::min(size_t(start + size - sent), room - written);
            std::memcpy(buffer + written, data + (sent - start), count);
            written += count;
            sent += qsizetype(count);
        };
        take(head.constData(), head.size(), 0);
        take(part.bytes.data(), part.bytes.size(), head.size());
        take("\r\n", 2, head.size() + part.bytes.size());
        return written;
    }
};

ssize_t readStream(void* cls, uint64_t, char* buffer, size_t room)
{
    auto* stream = static_cast<Stream*>(cls);
    if (stream->sent == stream->partSize()) {
        std::optional<JpegPart> part = stream->source->next();
        if (!part)
            return MHD_CONTENT_READER_END_OF_STREAM;
        stream->part = std::move(*part);
        stream->head = QByteArray("--") + kBoundary + "\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                       QByteArray::number(stream->part.bytes.size()) + "\r\n\r\n";
        stream->sent = 0;
    }
    return ssize_t(stream->copy(buffer, room));
}

void freeStream(void* cls)
{
    delete static_cast<Stream*>(cls);
}

}  // namespace

std::unique_ptr<JpegSource> liveSource(LiveJpeg& live, int framesPerSecond, const StopSignal& stop)
{
    return std::make_unique<LiveSource>(live, framesPerSecond, stop);
}

MHD_Response* mjpegResponse(std::unique_ptr<JpegSource> source)
{
    auto* stream = new Stream;
    stream->source = std::move(source);
    stream->sent = stream->partSize();  // nothing to send yet
    // Blocks of one part's head and a piece of its picture; the connection's memory bounds what waits to go out.
    MHD_Response* response = MHD_create_response_from_callback(MHD_SIZE_UNKNOWN, 16 * 1024, &readStream, stream, &freeStream);
    if (response == nullptr) {
        delete stream;
        return nullptr;
    }
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE,
                            (QByteArray("multipart/x-mixed-replace;boundary=") + kBoundary).constData());
    return response;
}
