// The device: a host folder that stands for the device's whole file system ("\"), with the
// layer's own state (profile, registry, debug log) kept out of sight in its ".zonbrel" folder.
#pragma once
#include <filesystem>
#include <string_view>

namespace zb::device {

// The device folder: $ZONBREL_DEVICE, else $XDG_DATA_HOME/zonbrel/device, else
// ~/.local/share/zonbrel/device. Created, with its state folder, on first use.
std::filesystem::path Root();

// Where the layer keeps the device's own state (Root()/.zonbrel). Not reachable by device paths.
std::filesystem::path StateFolder();

// Switches this process to another device folder and drops everything cached about the old
// one. For tests and tools; product code never calls it.
void UseRoot(const std::filesystem::path& root);

// Counts UseRoot calls, so caches elsewhere in the layer can tell that the device changed.
unsigned Generation();

// Appends one line to the device's debug log (StateFolder()/debug.log) and, when
// ZONBREL_DEBUG is "stderr" or "1", to stderr as well. The line is written as given.
void DebugLog(std::string_view utf8);

}  // namespace zb::device
