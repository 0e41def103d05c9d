#include "sound/SoundCommands.h"

#include "sound/SpeakerModule.h"

#include <QCoreApplication>

#include <map>
#include <optional>

namespace {

struct Command {
    QString verb;    // lower case
    QString device;
    QString rest;    // lower case, spaces simplified
};

std::optional<Command> parse(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype verbEnd = trimmed.indexOf(' ');
    if (verbEnd < 0) return std::nullopt;
    Command command{trimmed.left(verbEnd).toLower(), {}, {}};
    const QString afterVerb = trimmed.mid(verbEnd).trimmed();
    qsizetype restStart = 0;
    if (afterVerb.startsWith('"')) {
        const qsizetype close = afterVerb.indexOf('"', 1);
        if (close < 0) return std::nullopt;
        command.device = afterVerb.mid(1, close - 1);
        restStart = close + 1;
    } else {
        const qsizetype space = afterVerb.indexOf(' ');
        command.device = afterVerb.left(space);
        restStart = space < 0 ? afterVerb.size() : space;
    }
    command.rest = afterVerb.mid(restStart).simplified().toLower();
    return command;
}

// An open device: its clip, and whether its position is at the beginning
// (a clip that has been played stands at its end until sought back).
struct Device {
    std::unique_ptr<AudioClip> clip;
    bool atStart = true;
};

struct DeviceTable {
    std::unique_ptr<AudioOutput> output;
    bool outputChosen = false;  // a failed load of the speakers is not tried again
    std::map<QString, Device> devices;
    bool closeRegistered = false;
};

DeviceTable& table() {
    static DeviceTable instance;
    return instance;
}

// Qt's audio objects must go before the application object does.
void closeAllDevices() {
    table().devices.clear();
    table().closeRegistered = false;
}

Device* openDevice(const QString& name) {
    DeviceTable& t = table();
    if (const auto found = t.devices.find(name); found != t.devices.end()) return &found->second;
    if (!t.outputChosen) {
        t.output = loadSpeakers();
        t.outputChosen = true;
    }
    if (!t.output) return nullptr;
    std::unique_ptr<AudioClip> clip = t.output->open(name);
    if (!clip) return nullptr;
    if (!t.closeRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(closeAllDevices);
        t.closeRegistered = true;
    }
    return &t.devices.emplace(name, Device{std::move(clip)}).first->second;
}

SoundReply run(const Command& command) {
    if (command.device.isEmpty()) return {SoundError::InvalidDeviceName, {}};
    const bool known = (command.verb == "play" && command.rest.isEmpty()) ||
                       (command.verb == "close" && command.rest.isEmpty()) ||
                       (command.verb == "status" && command.rest == "mode") ||
                       (command.verb == "seek" && command.rest == "to start");
    if (!known) return {SoundError::UnrecognizedCommand, {}};

    if (command.verb == "close") {
        return table().devices.erase(command.device) ? SoundReply{} : SoundReply{SoundError::DeviceNotOpen, {}};
    }
    Device* device = openDevice(command.device);
    if (!device || device->clip->failed()) return {SoundError::CannotOpenDevice, {}};
    AudioClip& clip = *device->clip;
    if (command.verb == "status") return {SoundError::None, clip.isPlaying() ? "playing" : "stopped"};
    if (command.verb == "seek") {
        clip.stop();
        device->atStart = true;
    } else if (!clip.isPlaying() && device->atStart) {
        clip.start();
        device->atStart = false;
    }
    return {};
}

}  // namespace

SoundReply mciSendString(const QString& command) {
    const std::optional<Command> parsed = parse(command);
    if (!parsed) return {SoundError::UnrecognizedCommand, {}};
    return run(*parsed);
}

void useAudioOutput(std::unique_ptr<AudioOutput> output) {
    table().devices.clear();
    table().outputChosen = output != nullptr;
    table().output = std::move(output);
}
