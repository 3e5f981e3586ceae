// What the player core calls in its neighbours: the built-in modules, the skin, the
// user-interface commands, the playlist and the saving of action bindings.
#pragma once
#include <windows.h>

class CPlayerCore;

// The built-in decoders (MP3, Ogg Vorbis, WMA, Windows Media, WAVE), the file and network
// sources and the waveOut output, registered in that order.
void RegisterBuiltInModules(HINSTANCE instance, HWND window);
// The skin's stream-information display; -666 keeps a shown value.
void ShowStreamInfo(int bitrate, int sampleRate, int channelMode);
// A user-interface command to the skin and its windows.
int RunUserInterfaceCommand(int command, void* value);
// The skin's DSP displays follow the DSP choice.
void RefreshSkinDsp();
// The playlist re-reads the current item's information.
void RefreshPlaylistCurrentItem();
// The settings store which library and name each plug-in action in the button map means.
void SaveActionBindings(CPlayerCore* core);
