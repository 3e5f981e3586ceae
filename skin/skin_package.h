// Skin packages and skin files: entries of ZIP packages listed and extracted through zarvex (one
// shared listing cache), the screen-size and platform variants a skin file declares, and the
// platform test that decides whether a variant is for this device.
#pragma once
#include <windows.h>

constexpr int kSkinPackageCapacity = 65;  // a package with this many entries is unreadable

// 1 when the package was listed with fewer than 65 entries; *count gets the number.
int ListSkinPackage(LPCWSTR package, int* count);
// The 1-based index of the first entry whose file-name part equals `name` (no case), with its
// full stored name (260 characters); 0 when none.
int FindSkinEntry(LPCWSTR package, LPCWSTR name, WCHAR* stored);
// 1 with the path of a readable file for the entry (260 characters): a temporary copy in the
// temporary folder (*temporary set; the caller deletes it), or the file of that name beside the
// package. 0 when neither exists.
int ExtractSkinEntry(LPCWSTR package, LPCWSTR name, WCHAR* path, BOOL* temporary);
// Forgets the cached listing (tests, and a package rewritten in place).
void ForgetSkinPackageListing();

struct SkinVariant {
  WCHAR baseName[260];
  SIZE size;
  WCHAR platform[260];
};
// A skin file's variant information without building the skin: 1 when found.
int ReadSkinVariant(LPCWSTR file, SkinVariant* variant);
// Whether a variant of that platform name is meant for this device.
BOOL SkinPlatformMatches(LPCWSTR platform);
BOOL IsSmartphoneDevice();
