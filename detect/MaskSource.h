#pragma once

#include "detect/DetectionMask.h"
#include "detect/MaskFile.h"

#include <QImage>
#include <QString>

// Which mask watching starts with: the file when the option is on and the file
// can be used. A file that cannot be used never stops watching; it is to be
// told once, until the file is used again or fails for another reason.
class MaskSource {
public:
    struct Taken {
        QImage weights;        // null: the whole picture
        bool tellNow = false;  // a problem not told before
    };
    Taken take(bool on, const QString& path);
    // Why the last take found no mask although the option is on.
    MaskProblem problem() const { return problem_; }

private:
    MaskProblem problem_ = MaskProblem::None;
    MaskProblem told_ = MaskProblem::None;
};

// The start line's words on the mask: "" when off, else how much it ignores or why it is not used.
QString maskSummary(const DetectionMask* mask, bool on, MaskProblem problem);
