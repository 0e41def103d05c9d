#include "capture/ClipRecorder.h"
