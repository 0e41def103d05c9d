#include "detect/LightChange.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

namespace {

// The picture is cut into this many blocks (fewer on a tiny frame).
constexpr int kColumns = 16;
constexpr int kRows = 12;
constexpr int kChannels = 3;  // blue, green, red; the fourth byte carries nothing
// The light must move the blocks by this many levels on average to count at all:
// less is camera noise or a slow drift, which never alarms by itself.
constexpr double kLeastLightShift = 2.0;
// The fit is made again on the blocks it fits best, so a person in the picture does not bend it.
constexpr double kTrustedShare = 0.5;
// Below this spread of the blocks' brightness (levels squared) a gain cannot be told from an offset.
constexpr double kFlatVariance = 16.0;

// Means per byte of one colour of one block.
struct BlockColour {
    double before = 0;
    double after = 0;
    double absolute = 0;  // mean |after - before|
};
struct Block {
    std::array<BlockColour, kChannels> colours;
    double share = 1;  // of the block's pixels, weighted as they are watched
    const BlockColour& operator[](int channel) const { return colours[size_t(channel)]; }
};

// after = gain x before + offset, for one colour over the whole picture.
struct Fit {
    double gain = 1;
    double offset = 0;
    double shift(double before) const { return (gain - 1) * before + offset; }
};
using Model = std::array<Fit, kChannels>;

// The blocks that are watched at all, each pixel weighted by `weights` (255 without).
std::vector<Block> blockMeans(const QImage& before, const QImage& after, const QImage& weights)
{
    const int width = before.width();
    const int height = before.height();
    const int columns = std::min(kColumns, width);
    const int rows = std::min(kRows, height);
    struct Sums {
        uint64_t before = 0;
        uint64_t after = 0;
        uint64_t absolute = 0;
    };
    struct BlockSums {
        std::array<Sums, kChannels> colours;
        uint64_t weight = 0;
    };
    std::vector<BlockSums> sums(static_cast<size_t>(columns * rows));
    for (int y = 0; y < height; ++y) {
        const int row = y * rows / height;
        const uint8_t* beforeLine = before.constScanLine(y);
        const uint8_t* afterLine = after.constScanLine(y);
        const uint8_t* weightLine = weights.isNull() ? nullptr : weights.constScanLine(y);
        for (int column = 0; column < columns; ++column) {
            BlockSums& block = sums[static_cast<size_t>(row * columns + column)];
            for (int x = column * width / columns; x < (column + 1) * width / columns; ++x) {
                const uint64_t weight = weightLine ? weightLine[x] : 255;
                block.weight += weight;
                for (int channel = 0; channel < kChannels; ++channel) {
                    const int was = beforeLine[4 * x + channel];
                    const int is = afterLine[4 * x + channel];
                    block.colours[channel].before += weight * static_cast<uint64_t>(was);
                    block.colours[channel].after += weight * static_cast<uint64_t>(is);
                    block.colours[channel].absolute += weight * static_cast<uint64_t>(std::abs(is - was));
                }
            }
        }
    }
    std::vector<Block> blocks;
    for (size_t index = 0; index < sums.size(); ++index) {
        if (sums[index].weight == 0)
            continue;
        const int row = static_cast<int>(index) / columns;
        const int column = static_cast<int>(index) % columns;
        const double pixels = double((column + 1) * width / columns - column * width / columns)
                              * double((row + 1) * height / rows - row * height / rows);
        const auto weight = double(sums[index].weight);
        Block block;
        block.share = weight / (255 * pixels);
        for (int channel = 0; channel < kChannels; ++channel) {
            const Sums& colour = sums[index].colours[channel];
            block.colours[channel] = {double(colour.before) / weight, double(colour.after) / weight,
                                      double(colour.absolute) / weight};
        }
        blocks.push_back(block);
    }
    return blocks;
}

Fit fitColour(const std::vector<Block>& blocks, const std::vector<size_t>& trusted, int channel)
{
    double meanBefore = 0;
    double meanAfter = 0;
    for (const size_t index : trusted) {
        meanBefore += blocks[index][channel].before;
        meanAfter += blocks[index][channel].after;
    }
    meanBefore /= double(trusted.size());
    meanAfter /= double(trusted.size());
    double variance = 0;
    double covariance = 0;
    for (const size_t index : trusted) {
        const double was = blocks[index][channel].before - meanBefore;
        variance += was * was;
        covariance += was * (blocks[index][channel].after - meanAfter);
    }
    variance /= double(trusted.size());
    covariance /= double(trusted.size());
    if (variance < kFlatVariance)
        return {1, meanAfter - meanBefore};
    const double gain = covariance / variance;
    return {gain, meanAfter - gain * meanBefore};
}

Model fitModel(const std::vector<Block>& blocks, const std::vector<size_t>& trusted)
{
    Model model;
    for (int channel = 0; channel < kChannels; ++channel)
        model[channel] = fitColour(blocks, trusted, channel);
    return model;
}

// The part of one block's change the model leaves: the shift it does not
// predict plus whatever changed the other way inside the block (a light moves
// a block one way). It takes at most the light's own shift from a block.
double unexplained(const Block& block, const Model& model)
{
    double rest = 0;
    for (int channel = 0; channel < kChannels; ++channel) {
        const BlockColour& colour = block[channel];
        const double shift = colour.after - colour.before;
        const double twoWays = std::max(0.0, colour.absolute - std::abs(shift));
        rest += std::min(colour.absolute, std::abs(shift - model[channel].shift(colour.before)) + twoWays);
    }
    return rest;
}

}  // namespace

LightChange measureLightChange(const QImage& before, const QImage& after, const QImage& weights)
{
    if (before.isNull() || before.size() != after.size() || before.format() != QImage::Format_RGB32
        || after.format() != QImage::Format_RGB32)
        return {};
    const bool weighted = weights.size() == before.size() && weights.format() == QImage::Format_Grayscale8;
    const std::vector<Block> blocks = blockMeans(before, after, weighted ? weights : QImage());
    if (blocks.empty())
        return {};

    std::vector<size_t> trusted(blocks.size());
    std::iota(trusted.begin(), trusted.end(), size_t{0});
    Model model = fitModel(blocks, trusted);
    std::vector<double> rests(blocks.size());
    for (size_t index = 0; index < blocks.size(); ++index)
        rests[index] = unexplained(blocks[index], model);
    const auto keep = static_cast<std::ptrdiff_t>(std::max<double>(1, std::ceil(double(blocks.size()) * kTrustedShare)));
    std::nth_element(trusted.begin(), trusted.begin() + keep - 1, trusted.end(),
                     [&rests](size_t left, size_t right) { return rests[left] < rests[right]; });
    trusted.resize(static_cast<size_t>(keep));
    model = fitModel(blocks, trusted);

    double change = 0;
    double rest = 0;
    double lightShift = 0;
    double shares = 0;
    for (const Block& block : blocks) {
        rest += block.share * unexplained(block, model);
        shares += block.share;
        for (int channel = 0; channel < kChannels; ++channel) {
            change += block.share * block[channel].absolute;
            lightShift += block.share * std::abs(model[channel].shift(block[channel].before));
        }
    }
    if (change <= 0)
        return {};
    lightShift /= shares * kChannels;
    const double share = std::clamp(rest / change, 0.0, 1.0);
    return {lightShift >= kLeastLightShift, share};
}

LightLevel classifyTick(int32_t count, int16_t alarmCount, bool lightCut,
                        const std::function<LightChange()>& measureLight)
{
    const AlarmLevel whole = classifyAlarm(count, alarmCount);
    if (!lightCut || whole == AlarmLevel::Calm)
        return {whole, false};
    const LightChange light = measureLight();
    if (!light.even)
        return {whole, false};
    const auto rest = static_cast<int32_t>(std::nearbyint(count * light.unexplainedShare));
    const AlarmLevel level = classifyAlarm(rest, alarmCount);
    return {level, level == AlarmLevel::Calm};
}

QString lightChangeStatusText()
{
    return QCoreApplication::translate("LightChange", "Houndly: 明かりが変わっただけワン！");
}
