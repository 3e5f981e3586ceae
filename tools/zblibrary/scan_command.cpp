// zblibrary scan (see scan_command.h). The library is made as the player core makes it, with the
// Local Content sink, and the built-in decoders read the tags.
#include "scan_command.h"

#include <cstdio>
#include <string>

#include "core/player/media_library_link.h"
#include "core/player/player_core_neighbours.h"
#include "core/settings/settings.h"
#include "library_location.h"
#include "local_content.h"
#include "media_library.h"
#include "utf8_text.h"

namespace {

void ShowProgress(int percent, LPCWSTR folder, void*) {
  // One line, rewritten in place; a terminal shows where the scan is.
  std::printf("\rscanning %3d%% %-60.60s", percent, WideToUtf8(folder ? folder : u"").c_str());
  std::fflush(stdout);
}

}  // namespace

int RunScanCommand(int argc, char** argv) {
  if (argc > 1) {
    std::fputs("usage: zblibrary scan [FOLDER]\n", stderr);
    return 2;
  }
  const std::u16string folder = argc == 1 ? Utf8ToWide(argv[0]) : u"";
  if (!folder.empty()) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      std::fprintf(stderr, "zblibrary: %s is not a folder of the device\n", argv[0]);
      return 1;
    }
  }
  CSettings* settings = GetSettings();
  if (!settings) return 1;
  RegisterBuiltInModules(GetModuleHandleW(nullptr), nullptr);
  IMediaLibraryLink* link = CreateCoreMediaLibrary(GetModuleHandleW(nullptr));
  if (!link) return 1;
  CMediaLibrary* library = link->Object();
  if (FAILED(OpenLibrary(library, settings, nullptr, nullptr, 0))) {
    std::fputs("zblibrary: the library cannot be opened (see the device's debug log)\n", stderr);
    link->Release();
    return 1;
  }
  const int found = RunLocalContentScan(folder.empty() ? nullptr : folder.c_str(), ShowProgress, nullptr);
  std::printf("\n");
  int status = 0;
  if (found < 0) {
    std::fputs("zblibrary: the scan could not start\n", stderr);
    status = 1;
  } else {
    CLibraryLock lock(library);
    CSqlDatabase* db = library->Database();
    std::printf("files: %d\nentries: %d\n", found, db ? db->ExecScalar(u"select count(*) from media where valid > 0;") : 0);
  }
  link->Release();
  return status;
}
