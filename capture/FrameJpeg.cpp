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

// The image decoded at the smallest scale that covers `box` (an invalid box: whole).
QImage decompress(QByteArrayView jpeg, QSize box, int flags, bool warningsTolerated)
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
    // Halves, quarters and eighths are the scales libjpeg-turbo decodes faster than the whole.
    tjscalingfactor chosen{1, 1};
    for (const int denominator : {2, 4, 8}) {
        const tjscalingfactor smaller{1, denominator};
        if (!box.isValid() || TJSCALED(width, smaller) < box.width() || TJSCALED(height, smaller) < box.height())
            break;
        chosen = smaller;
    }
    QImage picture(TJSCALED(width, chosen), TJSCALED(height, chosen), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    const int result = tjDecompress2(decompressor(), bytes, size, picture.bits(), picture.width(),
                                     static_cast<int>(picture.bytesPerLine()), picture.height(), kPixelFormat, flags);
    if (result != 0 && !(warningsTolerated && tjGetErrorCode(decompressor()) == TJERR_WARNING))
        return {};
    return picture;
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
                                   &size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
    QByteArray jpeg;
    if (failed == 0 && data)
        jpeg = QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    tjFree(data);
    return jpeg;
}

QImage decodeFrameJpeg(QByteArrayView jpeg)
{
    return decompress(jpeg, QSize(), 0, false);
}

QImage decodeFrameJpegForBox(QByteArrayView jpeg, QSize box)
{
    return decompress(jpeg, box, TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE, true);
}
