#include "capture/CameraFrame.h"

QImage CameraFrame::picture() const
{
    std::lock_guard lock(pictureMutex_);
    if (!decoded_) {
        picture_ = decode();
        if (!picture_.isNull() && picture_.format() != QImage::Format_RGB32)
            picture_ = picture_.convertToFormat(QImage::Format_RGB32);
        decoded_ = true;
    }
    return picture_;
}

PictureFrame::PictureFrame(QImage picture) : CameraFrame(picture.size()), picture_(std::move(picture)) {}
