#pragma once

#include <QImage>

#include <cstdlib>

// Mean absolute difference per byte of two frames of the same size.
inline double meanByteDifference(const QImage& a, const QImage& b)
{
    const uchar* pa = a.constBits();
    const uchar* pb = b.constBits();
    const qsizetype count = a.sizeInBytes();
    long long sum = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += std::abs(pa[i] - pb[i]);
    return static_cast<double>(sum) / static_cast<double>(count);
}
