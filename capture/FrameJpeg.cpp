#include "capture/FrameJpeg.h"

#include <QtGlobal>

#include <turbojpeg.h>

#include <memory>

namespace {

// Format_RGB32 is one 32-bit word a pixel, 0xffRRGGBB, so its bytes depend on the machine.
constexpr int kPixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;

struct TurboJpegDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TurboJpeg = std::unique_ptr<void, TurboJpegDeleter>;

// One compressor and one decompressor per thread, made on first use.
void* compressor()
{
    thread_local TurboJpeg handle(tjInitCompress());
    return handle.get();
}

void* decompressor()
{
    thread_local TurboJpeg handle(tjInitDecompress());
    return handle.get();
}

}  // namespace

QByteArray encodeFrameJpeg(const QImage& picture, int quality)
{
    if (picture.isNull() || picture.format() != QImage::Format_RGB32 || !compressor())
        return {};
    unsigned char* data = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(compressor(), picture.constBits(), picture.width(),
                                   static_cast<int>(picture.bytesPerLine()), picture.height(), kPixelFormat, &data,
                                   &size, TJSAMP_420, quality, 0);
    QByteArray jpeg;
    if (failed == 0 && data)
        jpeg = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    tjFree(data);
    return jpeg;
}

QImage decodeFrameJpeg(QByteArrayView jpeg)
{
    if (jpeg.isEmpty() || !decompressor())
        return {};
    auto* bytes = reinterpret_cast<const unsigned char*>(jpeg.data());
    const auto size = static_cast<unsigned long>(jpeg.size());
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(decompressor(), bytes, size, &width, &height, &subsampling, &colourspace) != 0
        || width <= 0 || height <= 0)
        return {};
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    if (tjDecompress2(decompressor(), bytes, size, picture.bits(), width, static_cast<int>(picture.bytesPerLine()),
                      height, kPixelFormat, 0)
        != 0)
        return {};
    return picture;
}
