#pragma once

#include "capture/V4l2Node.h"

#include <QString>

#include <linux/videodev2.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A camera as the kernel would describe it, shared by every node opened on it.
struct FakeCamera {
    struct Control {
        v4l2_queryctrl query;
        int value;
        std::vector<const char*> menu;
    };

    std::string card = "Fake Camera";
    uint32_t deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    std::vector<v4l2_frmsize_discrete> sizes = {{640, 480}, {160, 120}, {320, 240}};
    std::optional<v4l2_frmsize_stepwise> range;  // instead of `sizes` when set
    v4l2_frmsize_discrete current = {320, 240};
    std::vector<Control> controls;
    std::atomic<bool> plugged{true};
    // While set, a read waits (a long exposure, a stalled device); each such read is counted.
    std::atomic<bool> stalled{false};
    std::atomic<int> stalledReads{0};
    std::mutex mutex;

    void addControl(uint32_t id, const char* name, uint32_t type, int maximum, int value, uint32_t flags = 0,
                    std::vector<const char*> menu = {})
    {
        Control& control = controls.emplace_back(Control{v4l2_queryctrl{}, value, std::move(menu)});
        control.query.id = id;
        std::strncpy(reinterpret_cast<char*>(control.query.name), name, sizeof control.query.name - 1);
        control.query.type = type;
        control.query.maximum = maximum;
        control.query.step = 1;
        control.query.flags = flags;
    }
};

// A node on a FakeCamera: answers the ioctls the V4L2 driver asks and streams
// plain frames of the requested size at about 100 frames a second.
class FakeV4l2Node : public V4l2Node {
public:
    FakeV4l2Node(std::shared_ptr<FakeCamera> camera, QString path) : camera_(std::move(camera)), path_(std::move(path)) {}

    QString path() const override { return path_; }
    bool open() override { return open_ = camera_->plugged; }
    void close() override { open_ = false, streamSize_ = QSize(); }
    int control(unsigned long request, void* argument) override
    {
        std::lock_guard lock(camera_->mutex);
        FakeCamera& camera = *camera_;
        const auto find = [&camera](uint32_t id, bool next = false) -> FakeCamera::Control* {
            for (FakeCamera::Control& entry : camera.controls)
                if (next ? entry.query.id > id : entry.query.id == id)
                    return &entry;
            return nullptr;
        };
        if (!open_ || !camera.plugged)
            return errno = ENODEV, -1;
        errno = EINVAL;  // every refusal below but a value out of range
        switch (request) {
        case VIDIOC_QUERYCAP: {
            auto* caps = static_cast<v4l2_capability*>(argument);
            *caps = {};
            std::strncpy(reinterpret_cast<char*>(caps->card), camera.card.c_str(), sizeof caps->card - 1);
            caps->capabilities = camera.deviceCaps | V4L2_CAP_DEVICE_CAPS;
            caps->device_caps = camera.deviceCaps;
            return 0;
        }
        case VIDIOC_ENUM_FRAMESIZES: {
            auto* size = static_cast<v4l2_frmsizeenum*>(argument);
            if (size->index >= (camera.range ? 1 : camera.sizes.size()))
                return -1;
            size->type = camera.range ? V4L2_FRMSIZE_TYPE_STEPWISE : V4L2_FRMSIZE_TYPE_DISCRETE;
            if (camera.range)
                size->stepwise = *camera.range;
            else
                size->discrete = camera.sizes[size->index];
            return 0;
        }
        case VIDIOC_G_FMT:
            static_cast<v4l2_format*>(argument)->fmt.pix.width = camera.current.width;
            static_cast<v4l2_format*>(argument)->fmt.pix.height = camera.current.height;
            return 0;
        case VIDIOC_QUERYCTRL: {
            auto* query = static_cast<v4l2_queryctrl*>(argument);
            FakeCamera::Control* entry = find(query->id & ~V4L2_CTRL_FLAG_NEXT_CTRL, query->id & V4L2_CTRL_FLAG_NEXT_CTRL);
            return entry ? (*query = entry->query, 0) : -1;
        }
        case VIDIOC_QUERYMENU: {
            auto* item = static_cast<v4l2_querymenu*>(argument);
            FakeCamera::Control* entry = find(item->id);
            if (!entry || item->index >= entry->menu.size())
                return -1;
            std::strncpy(reinterpret_cast<char*>(item->name), entry->menu[item->index], sizeof item->name - 1);
            return 0;
        }
        case VIDIOC_G_CTRL:
        case VIDIOC_S_CTRL: {
            auto* value = static_cast<v4l2_control*>(argument);
            FakeCamera::Control* entry = find(value->id);
            if (entry && request == VIDIOC_G_CTRL)
                value->value = entry->value;
            else if (entry && value->value >= entry->query.minimum && value->value <= entry->query.maximum)
                entry->value = value->value;
            else
                return errno = entry ? ERANGE : EINVAL, -1;
            return 0;
        }
        default:
            return errno = ENOTTY, -1;
        }
    }
    bool startStream(QSize size, uint32_t) override
    {
        streamSize_ = size;
        return camera_->plugged;
    }
    void stopStream() override { streamSize_ = QSize(); }
    std::shared_ptr<const CameraFrame> readFrame() override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // the device's own frame period
        if (camera_->stalled)
            for (++camera_->stalledReads; camera_->stalled;)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!camera_->plugged || streamSize_.isEmpty())
            return nullptr;
        QImage frame(streamSize_, QImage::Format_RGB32);
        frame.fill(qRgb(10, 20, 30));
        return std::make_shared<PictureFrame>(frame);
    }

private:
    std::shared_ptr<FakeCamera> camera_;
    QString path_;
    bool open_ = false;
    QSize streamSize_;
};
