#pragma once

// True makes the next detector tick take a new reference frame without
// comparing. Set by the alarm, by editing the alarm count and by the video
// format and source commands; only the detector clears it.
extern bool SkipCompare;
