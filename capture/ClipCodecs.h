#pragma once

#include <QString>

#include <vector>

// Codec and quality for recorded clips, chosen in the compression dialog.
struct ClipCompression {
    QString codec = QStringLiteral("mjpeg");  // FFmpeg encoder name
    int quality = 75;                         // 1 (smallest) .. 100 (best)

    friend bool operator==(const ClipCompression&, const ClipCompression&) = default;
};

struct ClipCodec {
    QString encoder;  // FFmpeg encoder name
    QString title;    // shown in the compression dialog
};

// The codecs an AVI clip can use that this FFmpeg build can encode; MJPEG first.
std::vector<ClipCodec> availableClipCodecs();
