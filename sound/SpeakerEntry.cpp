// The entry point of the speakers module.
#include "sound/QtAudioOutput.h"
#include "sound/SpeakerModule.h"

extern "C" AudioOutput* houndlyNewSpeakers()
{
    return new QtAudioOutput;
}
