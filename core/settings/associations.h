// File associations and MIME types: the player registers itself as the shell's handler for the
// extensions the user chose (kept in the settings' `associations`), keeps each extension's
// previous handler in "ZonbrelOldDefault" so it can be put back, and adds the MIME content
// types of the formats it streams. All keys are under HKEY_CLASSES_ROOT.
#pragma once
#include <windows.h>

class CSettings;

constexpr WCHAR kOldDefaultValue[] = u"ZonbrelOldDefault";
constexpr DWORD kSkinAssociationsBit = 0x4000;

// Records the choice for one extension (with or without its ".") in `associations` and makes
// the registry follow it; ".asx" takes ".wmwebasx" along.
void SetExtension(CSettings* settings, const WCHAR* extension, BOOL on);
// SetExtension for each extension of the table, on when its bit is in `mask`.
void ApplyAssociations(CSettings* settings, DWORD mask);
void ApplyDefaultAssociations(CSettings* settings);
void ApplySkinAssociations(CSettings* settings);
// Turns on every extension listed in `associations` again.
void ReapplyAssociations(CSettings* settings);

// The registry work for one extension (with its "."): 1, or in query mode whether the player
// holds the extension.
int Associate(const WCHAR* extension, BOOL on, BOOL queryOnly);
BOOL IsAssociated(const WCHAR* extensionWithoutDot);

void RegisterMimeTypes();
void SetMimeExtension(const WCHAR* type, const WCHAR* extension);

// Copies all values and subkeys of `source` into destinationRoot\destinationName; 0 or a
// registry error.
LONG CopyRegistryKey(HKEY source, HKEY destinationRoot, const WCHAR* destinationName);
