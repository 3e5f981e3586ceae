// The scan of the program's folder for plug-in libraries: "\dec_*.dll", "\dsp_*.dll",
// "\gen_*.dll" and "\vis_*.dll", in that order. Each library's records are taken by index
// until none or one of a version the player does not accept; a library that gave none is freed.
#pragma once
#include <windows.h>

#include <string>

#include "core/interface/player_callback.h"

// Registers the accepted records with the main window and their library's handle, writing the
// player callback where a record asks for it; then writes it into every registered decoder
// (after the decoder pass) and every registered stream source (at the end).
void ScanPlugins(HINSTANCE program, HWND window, PlayerCallbackFn callback);

// The program's folder as GetModuleFileNameW gives it for `program`, without the last "\".
std::u16string ProgramFolderOf(HINSTANCE program);
