// The library's files and its opening at start-up (see library_location.h).
#include "library_location.h"

#include "core/settings/settings.h"
#include "media_library.h"
#include "settingsui/special_folders.h"
#include "tagids.h"

namespace {

constexpr DWORD kFullLimit = 0x800000;       // 8 MB
constexpr DWORD kRoomForFullLimit = 0xB00000;  // 11 MB
constexpr DWORD kLeftToOthers = 0x300000;    // 3 MB
constexpr DWORD kSmallestLimit = 0x80000;    // 512 KB

constexpr DWORD kFileLastPlayedDate = 0x000407D9;
constexpr DWORD kPlayCount = 0x80021771;
constexpr DWORD kAutoRating = 0x000203EB;
constexpr DWORD kPrivateRating = 0x000203F7;
constexpr DWORD kRating = 0x000203EA;
constexpr DWORD kKeptTags[] = {kFileLastPlayedDate, kPlayCount, kAutoRating, kPrivateRating, kRating};
constexpr DWORD kOverridingTags[] = {kPrivateRating, kRating};
constexpr DWORD kCoreEvents[] = {LIBEVENT_TAGS_CHANGED, LIBEVENT_SUSPENDED, LIBEVENT_CLOSED};

// The program's folder without its trailing "\".
std::u16string ProgramFolder() {
  WCHAR folder[MAX_PATH] = {};
  GetSpecialFolderPath(kProgramFolderId, folder);
  std::u16string text(folder);
  if (!text.empty() && text.back() == u'\\') text.pop_back();
  return text;
}

std::u16string LibraryFolder(const CSettings& settings) {
  std::u16string folder(settings.metadataLocation);
  if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  return folder;
}

bool FolderExists(const std::u16string& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Asks whether to open the library in the program's folder instead; true for Yes.
bool AskForProgramFolder(HWND owner, const std::u16string& folder) {
  const std::u16string text = u"The library cannot be opened from the specified folder (" + folder +
                              u") and will remain unavailable until the folder comes back. Would you like to "
                              u"open the library in the Zonbrel install folder?";
  return MessageBoxW(owner, text.c_str(), u"Library", MB_YESNO | MB_SETFOREGROUND) == IDYES;
}

}  // namespace

std::u16string GetLibraryDatabasePath(const CSettings& settings) {
  const std::u16string folder = LibraryFolder(settings);
  return (folder.empty() ? ProgramFolder() : folder) + u"\\metadata.db";
}

std::u16string GetLibraryCachePath(const CSettings& settings) {
  const std::u16string folder = LibraryFolder(settings);
  return (!folder.empty() && FolderExists(folder) ? folder : ProgramFolder()) + u"\\metadata2.dat";
}

std::u16string GetInfoCachePath() { return ProgramFolder() + u"\\infocache.dat"; }

DWORD LibraryMemoryLimit(DWORD availablePhysical) {
  if (availablePhysical >= kRoomForFullLimit) return kFullLimit;
  const DWORD left = availablePhysical > kLeftToOthers ? availablePhysical - kLeftToOthers : 0;
  return left > kSmallestLimit ? left : kSmallestLimit;
}

HRESULT OpenLibrary(CMediaLibrary* library, CSettings* settings, HWND owner, LibraryEventListener listener,
                    DWORD_PTR context) {
  if (!library || !settings) return E_POINTER;
  const std::u16string cache = GetLibraryCachePath(*settings);
  DeleteFileW(cache.c_str());
  DeleteFileW((cache.substr(0, cache.rfind(u'\\')) + u"\\metadata1.dat").c_str());
  DeleteFileW(GetInfoCachePath().c_str());

  MEMORYSTATUS memory{};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatus(&memory);
  library->SetMemoryLimit(LibraryMemoryLimit(memory.dwAvailPhys));

  library->SetCompactAtExit(settings->compactLibraryAtClose != 0);
  library->SetLogFile(settings->logfileLocation);
  for (DWORD tag : kKeptTags) library->AddKeptTag(tag);
  for (DWORD tag : kOverridingTags) library->AddOverridingTag(tag);

  std::u16string path = GetLibraryDatabasePath(*settings);
  const std::u16string folder = path.substr(0, path.rfind(u'\\'));
  if ((folder.empty() || !FolderExists(folder)) && AskForProgramFolder(owner, folder)) {
    settings->metadataLocation[0] = 0;
    path = GetLibraryDatabasePath(*settings);
  }

  if (listener) {
    for (DWORD event : kCoreEvents) library->Advise(event, 0, listener, context);
  }
  return library->Start(path.c_str(), kLibraryDataVersion);
}
