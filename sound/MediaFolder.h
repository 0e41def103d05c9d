#pragma once

#include <QString>

// The folder of alarm sounds, ending in "/": $WINDIR/media/ when WINDIR is set
// and not empty, otherwise the media/ folder beside the executable (the sounds
// shipped with the program). Needs the application object for the latter.
QString mediaFolder();
