#include "sound/QtAudioOutput.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

class SoundEffectClip : public AudioClip {
public:
    SoundEffectClip(const QString& path, const QAudioDevice& device) : effect_(device) {
        effect_.setSource(QUrl::fromLocalFile(path));
    }

    void start() override {
        effect_.stop();
        effect_.play();
    }
    void stop() override { effect_.stop(); }
    bool isPlaying() const override { return !failed() && effect_.isPlaying(); }
    bool failed() const override { return effect_.status() == QSoundEffect::Error; }

private:
    QSoundEffect effect_;
};

}  // namespace

std::unique_ptr<AudioClip> QtAudioOutput::open(const QString& path) {
    // Qt Multimedia needs the application object; before it there is no device.
    if (!QCoreApplication::instance()) return nullptr;
    // QSoundEffect reports "playing" even with nowhere to play, so a missing
    // device has to be caught here.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return nullptr;
    const QFileInfo file(path);
    if (!file.isFile() || file.suffix().compare("wav", Qt::CaseInsensitive) != 0) return nullptr;
    return std::make_unique<SoundEffectClip>(path, device);
}
