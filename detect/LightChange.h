#pragma once

#include "detect/AlarmLevel.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>

// How much of the change between two frames an even change of the light
// explains: the picture cut into blocks, each block's colour fitted as
// gain x before + offset, one gain and offset per colour for the whole picture.
struct LightChange {
    bool even = false;            // the light moved the whole picture by a noticeable amount
    double unexplainedShare = 1;  // 0..1: the part of the change left when the light's part is taken out
};

// Both frames RGB32 of the same size; anything else is not an even change.
// `weights`, when given, one per pixel (Format_Grayscale8, the frames' size):
// the pixels are judged in proportion, those of weight 0 not at all.
LightChange measureLightChange(const QImage& before, const QImage& after, const QImage& weights = QImage());

struct LightLevel {
    AlarmLevel level = AlarmLevel::Calm;
    bool lightOnly = false;  // calm only because the light explains the change
};
// The level a tick reports. With lightCut off, exactly classifyAlarm. With it
// on, a count above calm has its light measured: for an even change the level
// is that of the count's unexplained part, so a person must still raise the
// alarm on their own.
LightLevel classifyTick(int32_t count, int16_t alarmCount, bool lightCut,
                        const std::function<LightChange()>& measureLight);

// Status bar panel 1 on a tick that the light rule calmed.
QString lightChangeStatusText();
