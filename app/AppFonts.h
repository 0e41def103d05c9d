#pragma once

// Makes the whole program use a Japanese-capable proportional Gothic face;
// says on standard error when the system has no Japanese font at all.
void useJapaneseFonts();
