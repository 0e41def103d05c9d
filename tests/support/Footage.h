#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

// Camera footage made by ffmpeg: a still, textured room with a bright window
// and a little camera noise, stored as an MJPEG AVI, with optional events.
struct Footage {
    QSize size{160, 120};
    int framesPerSecond = 5;
    int seconds = 6;
    // An ffmpeg filter over the whole picture, e.g. "eq=brightness=0.157:enable='gte(t,3)'".
    QString light;
    // When a walker (a test picture a quarter wide, three quarters high) starts
    // to cross from the left, taking 4 seconds; below 0: nobody.
    double walkerFrom = -1;
    // Ever-changing "leaves" over the top left corner (half the width, a sixth
    // of the height), above where the walker goes.
    bool leaves = false;
};

// The frame number of numberedPicture: ten black or white stripes across the
// top eighth, the highest bit first.
int footageNumber(const QImage& frame);
// A flat grey picture carrying `number` (0..1023).
QImage numberedPicture(int number, QSize size);

// The mean absolute difference per byte of two pictures of one size and format.
double meanByteDifference(const QImage& a, const QImage& b);

// Writes the footage to `path`; false (and a test failure) when ffmpeg cannot.
bool makeFootage(const QString& path, const Footage& footage);

// Every frame of a video at `size`, as RGB32 pictures decoded by ffmpeg.
std::vector<QImage> decodeFrames(const QString& path, QSize size);
