#pragma once

// Makes the whole program use a Japanese-capable proportional Gothic face.
void useJapaneseFonts();
