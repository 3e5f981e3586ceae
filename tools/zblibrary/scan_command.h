// zblibrary scan: runs the Local Content scan of a folder (the whole device by default) into the
// library, as the player does at start, with a progress line, and says what it found.
#pragma once

// argv holds what follows "scan"; the exit code (2 for a usage error).
int RunScanCommand(int argc, char** argv);
