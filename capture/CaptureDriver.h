#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

// One adjustable setting of a capture device, shown in the video source dialog.
struct CaptureControl {
    enum class Kind { Integer, Boolean, Menu };
    uint32_t id = 0;
    QString name;
    Kind kind = Kind::Integer;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
    int value = 0;
    // Menu controls only: the label of each value from minimum to maximum ("" = not offered).
    QStringList menuItems;
};

// A frame as a driver delivers it. `interval` is how long after the previous
// frame it is due, so the reader paces sources that do not pace themselves.
struct DriverFrame {
    QImage image;  // Format_RGB32
    std::chrono::microseconds interval{0};
};

// The operations every capture source offers. The capture window calls
// readFrame() on its reader thread and everything else on the window's thread,
// never both at once (the window serialises them).
class CaptureDriver {
public:
    virtual ~CaptureDriver() = default;

    // Name shown in the driver list.
    virtual QString name() const = 0;
    // Takes hold of the source; false when it is absent or unusable.
    virtual bool open() = 0;
    // Lets go of the source. open() may be called again later (a camera that comes back).
    virtual void close() = 0;

    // Frame sizes the source offers, smallest first.
    virtual std::vector<QSize> frameSizes() const = 0;
    virtual QSize frameSize() const = 0;
    // Only sizes from frameSizes() are accepted.
    virtual bool setFrameSize(QSize size) = 0;

    virtual std::vector<CaptureControl> controls() const = 0;
    virtual bool setControl(uint32_t id, int value) = 0;

    // The next frame; nullopt when the source is lost (unplugged, unreadable).
    virtual std::optional<DriverFrame> readFrame() = 0;
};
