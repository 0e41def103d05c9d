#include "detect/MaskSource.h"

#include <cmath>

MaskSource::Taken MaskSource::take(bool on, const QString& path)
{
    if (!on) {
        problem_ = told_ = MaskProblem::None;
        return {};
    }
    MaskRead read = readMaskFile(path);
    problem_ = read.problem;
    const bool tellNow = problem_ != told_ && problem_ != MaskProblem::None;
    told_ = problem_;
    return {read.weights, tellNow};
}

QString maskSummary(const DetectionMask* mask, bool on, MaskProblem problem)
{
    if (!on)
        return QString();
    if (!mask)
        return QStringLiteral("mask not used (%1)").arg(maskProblemText(problem));
    const auto percent = [](double share) { return QString::number(std::round(share * 1000) / 10); };
    QString summary = QStringLiteral("mask on, ignoring %1 % of the picture").arg(percent(mask->shares().ignored));
    if (mask->shares().partial > 0)
        summary += QStringLiteral(", %1 % counted in part").arg(percent(mask->shares().partial));
    return summary;
}
