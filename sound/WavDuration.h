#pragma once

#include <QString>

#include <chrono>
#include <optional>

// Playing time of a RIFF WAVE file, from its "fmt " byte rate and its "data"
// size; nullopt when the file is missing or not a readable WAVE file.
std::optional<std::chrono::milliseconds> wavDuration(const QString& path);
