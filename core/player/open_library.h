// The start-up continuation the main window runs once after its creation, with the player core
// just made: the registered modules start, an empty item is opened, the bookmarks are read and
// the playlist's current item is shown without playing.
#pragma once

class CPlayerCore;

void OpenLibrary(CPlayerCore* core);
