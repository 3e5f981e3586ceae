// The user's own folders on the host, found the way xdg-user-dir finds them, without running it:
// the default storage card is mounted from the music folder.
#pragma once
#include <filesystem>

namespace zb::device {

// XDG_MUSIC_DIR of $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config), else ~/Music. Empty
// when there is no home, or when the entry names the home itself (the XDG way to switch a
// folder off: mounting the whole home as a card would let the library scan everything).
std::filesystem::path UserMusicFolder();

}  // namespace zb::device
