// A second process for the kill test: opens the device's library, then writes batches of media
// rows, one transaction each, and after every commit writes the batch number as a line to stdout.
//
//   library_batch_writer DEVICE-PATH-OF-DATABASE ROWS-PER-BATCH
#include <cstdio>
#include <cstdlib>
#include <string>

#include "media_library.h"
#include "utf8_text.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::u16string path = Utf8ToWide(argv[1]);
  const int rows = std::atoi(argv[2]);
  CMediaLibrary* library = new CMediaLibrary(nullptr, nullptr);
  if (FAILED(library->Start(path.c_str(), 7))) return 1;
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  for (int batch = 1;; ++batch) {
    library->Lock();
    CSqlDatabase* db = library->Database();
    if (!db) return 1;
    library->ChangeMode(LIBMODE_SCAN, 0);
    CSqlStatement insert = db->CompileStatement(u"insert into media values (NULL, ?, ?, ?, 0, 0, datetime('now'));");
    for (int row = 0; row < rows; ++row) {
      const std::u16string source = u"\\Storage Card\\batch" + Utf8ToWide(std::to_string(batch)) + u"\\track" +
                                    Utf8ToWide(std::to_string(row)) + u".mp3";
      insert.BindText(1, source.c_str());
      insert.BindInt(2, batch);
      insert.BindInt(3, row);
      if (insert.Execute() != 1) return 1;
    }
    const bool committed = SUCCEEDED(library->ChangeMode(0, LIBMODE_SCAN));
    library->Unlock();
    if (!committed) return 1;
    std::printf("%d\n", batch);
  }
}
