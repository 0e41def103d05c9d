#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// mask.pgm: an 8-bit binary PGM of any size whose grey values weight the
// detector's differences (0 ignores a pixel, 255 counts it in full, values
// between in proportion), stretched to the frame.

enum class MaskProblem {
    None,
    Missing,
    Unreadable,    // a folder, no permission, a read error
    NotBinaryPgm,  // another magic number or a header that does not parse
    NotEightBit,   // a maximum value of 0 or above 255 (16-bit)
    BadSize,       // a width or height of 0 or past the largest side
    ShortData,     // fewer bytes than width x height
    BadValue,      // a value above the header's maximum
};

struct MaskRead {
    QImage weights;  // Format_Grayscale8, each value scaled to 0..255; null on a problem
    MaskProblem problem = MaskProblem::None;
};

// Sides above this are no mask anyone made for a camera, and would cost memory for nothing.
inline constexpr int kLargestMaskSide = 8192;

// mask.pgm in the application folder.
QString maskFilePath();

MaskRead readMaskFile(const QString& path);

// The file's bytes for a picture of weights (read as grey whatever its format).
QByteArray maskFileBytes(const QImage& weights);
// Replaces the file whole, readable by the user alone; false when it cannot
// (the old file then stays as it was).
bool writeMaskFile(const QString& path, const QImage& weights);

// Why the file is not used, for standard error and the history.
QString maskProblemText(MaskProblem problem);
// Status bar panel 1 when watching goes on without the mask.
QString maskProblemStatusText(MaskProblem problem);
