#pragma once

#include "capture/CameraFrame.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <memory>
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
// frame it is due, so the reader paces sources that do not pace themselves
// (0: a live source, published as it comes).
struct DriverFrame {
    std::shared_ptr<const CameraFrame> frame;
    std::chrono::microseconds interval{0};
};

// The operations every capture source offers.
//
// Threads: open(), close() and readFrame() run on the capture window's reader
// thread (open() also once on the window's thread before the reader starts);
// interrupt() on any thread; everything else on the window's thread, possibly
// while a read or an open is in progress. So a driver guards what both sides
// touch with a lock of its own that it never holds across a blocking read or
// open: controls, sizes and formats never wait for a frame.
class CaptureDriver {
public:
    static constexpr std::chrono::milliseconds kReopenDelay{300};

    virtual ~CaptureDriver() = default;

    // Takes hold of the source; false when it is absent or unusable.
    virtual bool open() = 0;
    // Lets go of the source. open() may be called again later (a camera that comes back).
    virtual void close() = 0;
    // Makes a blocking open() or readFrame() in progress return soon: the reader is stopping.
    virtual void interrupt() {}
    // True for a source that is kept and retried when it does not answer at
    // start-up, as one lost later would be (a network camera).
    virtual bool keptWhenAbsent() const { return false; }
    // How long to wait before opening a lost source again.
    virtual std::chrono::milliseconds reopenDelay() const { return kReopenDelay; }

    // Frame sizes the source offers, smallest first.
    virtual std::vector<QSize> frameSizes() const = 0;
    virtual QSize frameSize() const = 0;
    // Only sizes from frameSizes() are accepted; the next frames read have the new size.
    virtual bool setFrameSize(QSize size) = 0;

    virtual std::vector<CaptureControl> controls() const = 0;
    virtual bool setControl(uint32_t id, int value) = 0;

    // The next frame; nullopt when the source is lost (unplugged, unreadable).
    virtual std::optional<DriverFrame> readFrame() = 0;
};
