#pragma once

#include <QString>

// What ffprobe and a full decode by ffmpeg say about a clip.
struct ClipFacts {
    bool probed = false;
    QString container;
    QString codec;
    int width = 0;
    int height = 0;
    QString frameRate;  // "30/1"
    double durationSeconds = 0;
    int frames = 0;
    bool hasAudio = false;
    bool decodes = false;  // every packet decodes without an error message
};

ClipFacts probeClip(const QString& path);
