// PlaylistProbe: a decoder record that decodes nothing. The player tries it on files that may be
// playlists in disguise; its Play answers "expand as a playlist" for a small local file whose text
// begins like XML or like an INI section.
#pragma once
#include "core/interface/dec_module.h"

extern DecModule PlaylistProbe;
