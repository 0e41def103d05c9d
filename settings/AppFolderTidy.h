#pragma once

// Start-up care of the application folder: removes the settings temporaries a
// killed save left behind, and makes img/ and avi/ the user's alone (older
// versions made them readable by everyone).
void tidyAppFolder();
