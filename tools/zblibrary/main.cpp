// zblibrary: opens the device's media library the way the player does and reports on it, or
// moves it to another folder, so the library can be tried by hand.
//
//   zblibrary info            the database (and its host path), its state, schema, page
//                             settings, counts, integrity
//   zblibrary move FOLDER     moves the database into FOLDER (a device path) and keeps it there
//   zblibrary query COND...   the sources that match the conditions (see query_command.cpp)
//   zblibrary scan [FOLDER]   scans the folder (the whole device) into the library
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "core/settings/settings.h"
#include "device/paths.h"
#include "library_location.h"
#include "media_library.h"
#include "query_command.h"
#include "scan_command.h"
#include "utf8_text.h"

namespace {

// The usage on `to`; asked for (--help) it goes to standard output and is no failure.
int Usage(std::FILE* to = stderr, int status = 2) {
  std::fputs("usage: zblibrary info | zblibrary move FOLDER | zblibrary query CONDITION... | zblibrary scan [FOLDER]\n", to);
  return status;
}

std::string Text(const std::u16string& text) { return WideToUtf8(text); }

// The first column of the first row as text ("" without a row).
std::u16string Scalar(CSqlDatabase& db, LPCWSTR sql) {
  CSqlQuery query = db.ExecQuery(sql);
  LPCWSTR text = query.Eof() ? nullptr : query.GetText(0);
  return text ? std::u16string(text) : std::u16string();
}

struct CountRow {
  const char* label;
  const char16_t* sql;
};

constexpr CountRow kCounts[] = {
    {"entries", u"select count(*) from media;"},
    {"  present", u"select count(*) from media where valid > 0;"},
    {"  missing", u"select count(*) from media where valid <= 0;"},
    {"integer tags", u"select count(*) from int_tags;"},
    {"real tags", u"select count(*) from real_tags;"},
    {"GUID tags", u"select count(*) from guid_tags;"},
    {"date tags", u"select count(*) from date_tags;"},
    {"string tags", u"select count(*) from str_tags;"},
    {"blob tags", u"select count(*) from blob_tags;"},
    {"strings", u"select count(*) from str_data;"},
    {"blobs", u"select count(*) from blob_data;"},
};

constexpr const char* kAutoVacuum[] = {"none", "full", "incremental"};

int Info(CMediaLibrary* library) {
  MEDIALIBRARYSTATUS status{sizeof status, 0, 0, 0};
  library->GetStatus(&status);
  std::printf("database: %s\n", Text(library->DatabasePath()).c_str());
  // Where that is on this machine, for a person who wants to look at the file.
  const std::optional<std::filesystem::path> host = zb::device::ToHost(library->DatabasePath());
  std::printf("host path: %s\n", host ? host->c_str() : "(outside the device)");
  std::printf("open: %s\nwrite suspended: %s\nbusy: %s\n", status.open ? "yes" : "no",
              status.suspended ? "yes" : "no", status.busy ? "yes" : "no");
  CLibraryLock lock(library);
  CSqlDatabase* db = library->Database();
  if (!db) {
    std::fputs("zblibrary: the library has no database (see the device's debug log)\n", stderr);
    return 1;
  }
  std::printf("schema: %s\ndata version: %s\n",
              Text(Scalar(*db, u"select value from config where name='schema';")).c_str(),
              Text(Scalar(*db, u"select value from config where name='version';")).c_str());
  const int autoVacuum = db->ExecScalar(u"PRAGMA auto_vacuum;");
  std::printf("page size: %d\nauto vacuum: %s\nfree pages: %d\n", db->ExecScalar(u"PRAGMA page_size;"),
              autoVacuum >= 0 && autoVacuum <= 2 ? kAutoVacuum[autoVacuum] : "?",
              db->ExecScalar(u"PRAGMA freelist_count;"));
  for (const CountRow& row : kCounts) std::printf("%s: %d\n", row.label, db->ExecScalar(row.sql));
  const std::u16string integrity = Scalar(*db, u"PRAGMA integrity_check;");
  std::printf("integrity: %s\n", Text(integrity).c_str());
  return integrity == u"ok" ? 0 : 1;
}

void PrintProgress(int percent, void*) { std::printf("moving: %d%%\n", percent); }

int Move(CMediaLibrary* library, CSettings* settings, const std::u16string& folder) {
  std::u16string target = folder;
  if (!target.empty() && target.back() == u'\\') target.pop_back();
  if (target.size() >= MAX_PATH) return Usage();
  CSettings wanted;
  std::memcpy(wanted.metadataLocation, target.c_str(), (target.size() + 1) * sizeof(WCHAR));
  const std::u16string path = GetLibraryDatabasePath(wanted);
  if (!library->MoveLibrary(path.c_str(), PrintProgress, nullptr)) {
    std::fprintf(stderr, "zblibrary: the library could not be moved to %s; it stays at %s\n", Text(path).c_str(),
                 Text(library->DatabasePath()).c_str());
    return 1;
  }
  std::memcpy(settings->metadataLocation, wanted.metadataLocation, sizeof settings->metadataLocation);
  settings->Save();
  std::printf("database: %s\n", Text(library->DatabasePath()).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) return Usage(stdout, 0);
  const bool info = argc == 2 && std::strcmp(argv[1], "info") == 0;
  const bool move = argc == 3 && std::strcmp(argv[1], "move") == 0;
  const bool query = argc >= 2 && std::strcmp(argv[1], "query") == 0;
  const bool scan = argc >= 2 && std::strcmp(argv[1], "scan") == 0;
  if (!info && !move && !query && !scan) return Usage();
  CSettings* settings = GetSettings();
  if (!settings) return 1;
  const std::u16string path = GetLibraryDatabasePath(*settings);
  const std::u16string folder = path.substr(0, path.rfind(u'\\'));
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    // The player would ask whether to use its own folder instead; here the answer is left to you.
    std::fprintf(stderr, "zblibrary: the library folder %s does not exist\n", Text(folder).c_str());
    return 1;
  }
  if (scan) return RunScanCommand(argc - 2, argv + 2);
  CMediaLibrary* library = new CMediaLibrary(GetModuleHandleW(nullptr), nullptr);
  OpenLibrary(library, settings, nullptr, nullptr, 0);
  const int status = info    ? Info(library)
                     : query ? RunQueryCommand(library, argc - 2, argv + 2)
                             : Move(library, settings, Utf8ToWide(argv[2]));
  library->Close(FALSE);
  library->Release();
  return status;
}
