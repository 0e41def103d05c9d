#pragma once

#include <QIcon>
#include <QPixmap>

// The program's own pictures, drawn at run time so no image files are needed.

// The logo of the command panel: a watch dog's head, 120 x 134 pixels.
QPixmap logoPicture();
// The window icon and the about box icon.
QIcon applicationIcon();
// The picture of the sound button: a loudspeaker.
QIcon soundButtonIcon();
// The pictures of the start/stop switch: a green eye (watch) and a red square (stop).
QIcon watchButtonIcon();
QIcon stopButtonIcon();
// The warning mark of status panel 5: a yellow circle with an exclamation mark.
QPixmap warningPicture(int size);
