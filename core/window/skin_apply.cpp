// Applying a skin to the main window: the file is chosen for the screen (the stored skin, its
// variant, any variant, any skin file, the built-in skin), read into a new skin model, fitted to
// the window and handed to the player core; the main window finishes the change on message 1330.
#include <string>
#include <vector>

#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/window/main_window_neighbours.h"
#include "core/window/main_window_protocol.h"
#include "core/window/main_window_state.h"
#include "core/window/program_state.h"
#include "core/window/trusted_buffers.h"
#include "settingsui/data_files.h"
#include "skin/image_loader.h"
#include "skin/skin.h"
#include "skin/skin_choice.h"
#include "skin/skin_file_types.h"
#include "skin/skin_fit.h"
#include "skin/skin_package.h"
#include "skin/skin_settings.h"

namespace {

constexpr int kBuiltInSkin = 140;
constexpr int kUiRefreshAll = 0;
constexpr int kUiSkinChanging = 25;

// The skin file applied last and the colour settings it was applied with.
struct AppliedSkin {
  std::u16string path;
  BOOL temporary = FALSE;
  DWORD adjustColors = 0;
  LONG hue = 0, saturation = 0;
};

AppliedSkin& Applied() {
  static AppliedSkin applied;
  return applied;
}

bool Exists(const std::u16string& path) {
  return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A file the choice may stop at: it exists and its platform is this device's.
bool Usable(const std::u16string& path) {
  if (!Exists(path)) return false;
  SkinVariant v{};
  ReadSkinVariant(path.c_str(), &v);
  return SkinPlatformMatches(v.platform) != FALSE;
}

std::vector<std::u16string> SearchSkinFiles(LPCWSTR masks) {
  std::vector<std::u16string> files;
  for (const DataFilePath* p = FindDataFiles(masks, FALSE, FALSE, FALSE); p && (*p)[0]; ++p) files.emplace_back(*p);
  return files;
}

std::u16string AllSkinMasks() {
  WCHAR masks[64] = {};
  BuildSkinFileMask(-1, masks);
  return masks;
}

std::u16string StoredSkin() {
  WCHAR stored[MAX_PATH] = {};
  if (CSettings* settings = GetSettings()) settings->LoadSkin(stored);
  return stored;
}

std::u16string DefaultSkinFile() {
  WCHAR path[MAX_PATH] = {};
  if (CSettings* settings = GetSettings()) settings->GetSkinPath(path);
  return path;
}

std::u16string BuiltInSkinCopy() {
  WCHAR path[MAX_PATH] = {};
  if (!ExtractResourceToTempFile(nullptr, MAKEINTRESOURCEW(kBuiltInSkin), u"SKIN", u"zsz", path)) return {};
  return path;
}

// The variant the search finds for the screen: of the stored skin, or of any skin when null. The
// skin applied now does not count as nothing found: whether anything changed is decided later.
std::u16string Variant(LPCWSTR stored, int width, int height) {
  WCHAR found[MAX_PATH] = {};
  if (!FindSkinVariantForScreen(stored, width, height, SearchSkinFiles(AllSkinMasks().c_str()), nullptr, found)) return {};
  return found;
}

// The skin file for this screen, in the order of preference; `temporary` for the built-in copy.
std::u16string ChooseSkinFile(int width, int height, BOOL* temporary) {
  *temporary = FALSE;
  const std::u16string stored = StoredSkin();
  if (Usable(stored)) return stored;
  std::u16string file = Variant(stored.c_str(), width, height);
  if (file.empty()) file = DefaultSkinFile();
  if (Usable(file)) return file;
  std::u16string any = Variant(nullptr, width, height);
  if (Usable(any)) return any;
  for (int row = 0; row < kSkinFileExtensionCount; ++row) {
    WCHAR mask[16] = {};
    BuildSkinFileMask(row, mask);
    for (const std::u16string& found : SearchSkinFiles(mask))
      if (Usable(found)) return found;
  }
  *temporary = TRUE;
  return BuiltInSkinCopy();
}

void CopySkinSettings() {
  SkinSettings& s = CurrentSkinSettings();
  if (CSettings* settings = GetSettings()) {
    s.adjustColors = settings->adjustColors != 0;
    s.adjustColorsHue = settings->adjustColorsHue;
    s.adjustColorsSat = settings->adjustColorsSat;
    s.useGDIFont = settings->useGDIFont != 0;
    s.showPlaylistOnWmpSkins = settings->showPlaylistOnWmpSkins != 0;
  }
}

bool SameColours(const AppliedSkin& a, const SkinSettings& s) {
  return a.adjustColors == static_cast<DWORD>(s.adjustColors) && a.hue == s.adjustColorsHue &&
         a.saturation == s.adjustColorsSat;
}

// The skin model of the file, else of the default skin, else of the built-in skin; null when
// none of them loads.
CSkin* LoadSkinModel(HWND window, const std::u16string& file, BOOL* temporary) {
  auto skin = std::make_unique<CSkin>(window);
  if (skin->Load(file.c_str())) return skin.release();
  if (skin->Load(DefaultSkinFile().c_str())) return skin.release();
  const std::u16string builtIn = BuiltInSkinCopy();
  if (!builtIn.empty() && skin->Load(builtIn.c_str())) {
    if (*temporary) DeleteFileW(file.c_str());
    Applied().path = builtIn;
    *temporary = Applied().temporary = TRUE;
    return skin.release();
  }
  if (!builtIn.empty()) DeleteFileW(builtIn.c_str());
  return nullptr;
}

// The window's client area, less the task bar where the skin asks for it.
SIZE SkinTarget(HWND window, CSkin* skin) {
  RECT client{}, work{}, frame{};
  GetClientRect(window, &client);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(window, &frame);
  const int taskbar = work.top;
  SIZE target{client.right - client.left, client.bottom - client.top};
  if (IsSmartphoneDevice()) return SIZE{work.right - work.left, work.bottom - work.top};
  if (taskbar > 0 && frame.top == taskbar) target.cy += taskbar;
  if (skin->GetPragma(4) || (skin->GetPragma(1) && skin->GetPragma(5))) target.cy -= taskbar;
  return target;
}

BOOL ApplySkin(BOOL show, LPCWSTR commandLine) {
  CPlayerCore* core = PeekPlayerCore();
  HWND window = Program().mainWindow;
  if (!core || !window) return FALSE;
  BOOL temporary = FALSE;
  const std::u16string file =
      ChooseSkinFile(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), &temporary);
  CopySkinSettings();
  AppliedSkin& applied = Applied();
  if (file == applied.path && SameColours(applied, CurrentSkinSettings())) return FALSE;
  if (applied.temporary) DeleteFileW(applied.path.c_str());  // a copy whose change never finished
  applied.path = file;
  applied.temporary = temporary;
  applied.adjustColors = CurrentSkinSettings().adjustColors;
  applied.hue = CurrentSkinSettings().adjustColorsHue;
  applied.saturation = CurrentSkinSettings().adjustColorsSat;
  core->ApplySkin(nullptr);

  CSkin* skin = LoadSkinModel(window, file, &temporary);
  if (!skin) {
    if (temporary) DeleteFileW(file.c_str());
    applied.temporary = FALSE;
    return FALSE;
  }
  if (skin->GetPragma(5))
    if (CSettings* settings = GetSettings()) settings->taskbar = 0;
  const SIZE target = SkinTarget(window, skin);
  FitSkinToSize(skin, target.cx, target.cy);
  core->ApplySkin(skin);
  core->SendUiCommand(kUiRefreshAll, nullptr);

  const bool silent = commandLine && IsSwitch(commandLine, u"/SILENT");
  if (show) {
    if (silent) {
      ShowWindow(window, SW_HIDE);
    } else {
      ShowWindow(window, SW_SHOW);
      SetForegroundWindow(window);
      SendMessageW(window, WM_ACTIVATE, WA_ACTIVE, 0);
    }
  }
  MainWindow().skinLoading = FALSE;
  core->SendUiCommand(kUiSkinChanging, nullptr);
  InvalidateRect(window, nullptr, TRUE);
  SetCursor(nullptr);
  LPCWSTR line = show && commandLine && !silent ? commandLine : nullptr;
  if (line) TrustBuffer(line, wcslen(line) + 1);
  PostMessageW(window, WM_ZB_SKIN_SHOWN, applied.temporary, reinterpret_cast<LPARAM>(line));
  return TRUE;
}

}  // namespace

BOOL ApplyDefaultSkin(HWND window, LPCWSTR commandLine) {
  if (ApplySkin(TRUE, commandLine)) return TRUE;
  // Not even the built-in skin loads: the plain window is shown, so that start-up still finishes.
  if (!commandLine || !IsSwitch(commandLine, u"/SILENT")) ShowWindow(window, SW_SHOW);
  if (commandLine) TrustBuffer(commandLine, wcslen(commandLine) + 1);
  return PostMessageW(window, WM_ZB_SKIN_SHOWN, 0, reinterpret_cast<LPARAM>(commandLine));
}

BOOL ApplyChosenSkin() { return ApplySkin(FALSE, nullptr); }

BOOL FindSkinForScreen(WCHAR* out, int width, int height) {
  const std::u16string stored = StoredSkin();
  return FindSkinVariantForScreen(stored.c_str(), width, height, SearchSkinFiles(AllSkinMasks().c_str()),
                                  Applied().path.c_str(), out);
}

void DeleteTemporarySkin() {
  AppliedSkin& applied = Applied();
  if (applied.temporary && !applied.path.empty()) DeleteFileW(applied.path.c_str());
  applied.temporary = FALSE;
}

LPCWSTR AppliedSkinPath() { return Applied().path.c_str(); }
