#include "capture/ClipAudioInput.h"

#include "capture/AvDevices.h"
#include "capture/FfmpegLog.h"

extern "C" {
#include <libavformat/avformat.h>
}

std::unique_ptr<ClipAudioInput> ClipAudioInput::openDefault()
{
    installFfmpegLog();
    if (!registerAvDevices())
        return nullptr;
    for (const char* formatName : {"pulse", "alsa"}) {
        const AVInputFormat* format = av_find_input_format(formatName);
        if (!format)
            continue;
        std::unique_ptr<ClipAudioInput> input(new ClipAudioInput);
        input->input_ = avformat_alloc_context();
        input->input_->interrupt_callback = {&ClipAudioInput::interrupted, input.get()};
        if (avformat_open_input(&input->input_, "default", format, nullptr) < 0)
            continue;  // avformat_open_input frees the context on failure
        if (avformat_find_stream_info(input->input_, nullptr) < 0)
            continue;
        input->stream_ = av_find_best_stream(input->input_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (input->stream_ >= 0)
            return input;
    }
    return nullptr;
}

ClipAudioInput::~ClipAudioInput()
{
    avformat_close_input(&input_);
}

const AVCodecParameters* ClipAudioInput::parameters() const
{
    return input_->streams[stream_]->codecpar;
}

AVRational ClipAudioInput::timeBase() const
{
    return input_->streams[stream_]->time_base;
}

bool ClipAudioInput::read(AVPacket* packet)
{
    while (av_read_frame(input_, packet) >= 0) {
        if (packet->stream_index == stream_)
            return true;
        av_packet_unref(packet);
    }
    return false;
}

void ClipAudioInput::interrupt()
{
    interrupted_ = true;
}

int ClipAudioInput::interrupted(void* self)
{
    return static_cast<ClipAudioInput*>(self)->interrupted_ ? 1 : 0;
}
