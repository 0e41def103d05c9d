#pragma once

// libavdevice is loaded only by what reads a device (a V4L2 camera, a clip's
// sound), so a program watching the demo, a file or a stream never maps it nor
// what it pulls in (libavfilter, SDL, the sound servers' libraries). True once
// its devices are registered with libavformat; false, told once on standard
// error, when it cannot be loaded.
bool registerAvDevices();
