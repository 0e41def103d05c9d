#pragma once

// Start-up care of the application folder: removes what killed runs of the
// program left behind (the temporaries of its settings, time line, upload
// list, snapshots and clips, and an FTP script with its password), and makes
// img/ and avi/ the user's alone (older versions made them readable by everyone).
void tidyAppFolder();
