#include "capture/ClipCodecs.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

std::vector<ClipCodec> availableClipCodecs()
{
    static const ClipCodec candidates[] = {
        {QStringLiteral("mjpeg"), QStringLiteral("Motion JPEG")},
        {QStringLiteral("mpeg4"), QStringLiteral("MPEG-4 Part 2")},
        {QStringLiteral("libx264"), QStringLiteral("H.264 (x264)")},
        {QStringLiteral("ffv1"), QStringLiteral("FFV1 (lossless)")},
    };
    std::vector<ClipCodec> result;
    for (const ClipCodec& codec : candidates) {
        if (avcodec_find_encoder_by_name(codec.encoder.toLatin1().constData()))
            result.push_back(codec);
    }
    return result;
}
