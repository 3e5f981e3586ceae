// Storing 20,000 generated items of a dozen tags each through the library (StoreEntry, in one
// scan batch as the Local Content scan stores them) beside plain prepared INSERTs of the same
// rows into the same schema with the sqlite3 library, in the same run; both report items/s.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media_item.h"
#include "media_library.h"
#include "tag_rows.h"
#include "testing/test_device.h"

namespace {

constexpr int kItems = 20000;
constexpr DWORD kPlayCount = 0x80021771;
constexpr GUID kType = {0xD21EF878, 0x87BC, 0x4277, {0x92, 0xEA, 0x58, 0x5E, 0x16, 0xC7, 0xAF, 0xD9}};

struct GeneratedItem {
  std::u16string source;
  std::u16string strings[4];  // artist, album, title, genre
  LONG ints[4];               // track, rating, length, size
  std::u16string date;
  float gain;
  LONG plays;
};
constexpr DWORD kStringTags[] = {TAG_ARTIST, TAG_ALBUM, TAG_SONG_TITLE, TAG_GENRE};
constexpr DWORD kIntTags[] = {TAG_TRACK_NUMBER, TAG_RATING, TAG_LENGTH, TAG_SIZE};

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

const std::vector<GeneratedItem>& Items() {
  static const std::vector<GeneratedItem> items = [] {
    std::vector<GeneratedItem> all;
    all.reserve(kItems);
    for (int i = 0; i < kItems; ++i) {
      GeneratedItem g;
      g.source = Wide("\\Storage Card\\Music\\" + std::to_string(i % 211) + "\\" + std::to_string(i) + ".mp3");
      g.strings[0] = Wide("Artist " + std::to_string(i % 211));
      g.strings[1] = Wide("Album " + std::to_string(i % 1499));
      g.strings[2] = Wide("Title " + std::to_string(i));
      g.strings[3] = Wide("Genre " + std::to_string(i % 23));
      g.ints[0] = i % 17 + 1;
      g.ints[1] = (i % 5) * 20;
      g.ints[2] = 120000 + i;
      g.ints[3] = 3000000 + i;
      g.date = Wide(std::to_string(1960 + i % 50));
      g.gain = -6.5f + static_cast<float>(i % 13);
      g.plays = i % 31;
      all.push_back(g);
    }
    return all;
  }();
  return items;
}

std::string SchemaScript() {
  std::ifstream in(LIBRARY_SCHEMA_SCRIPT);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void ItemsPerSecond(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kItems);
}

void BM_LibraryStoreEntry(benchmark::State& state) {
  const std::vector<GeneratedItem>& items = Items();
  for (auto _ : state) {
    state.PauseTiming();
    zb::testing::TestDevice device;
    auto* library = new CMediaLibrary(GetModuleHandleW(nullptr), nullptr);
    library->Start(u"\\metadata.db", 7);
    std::vector<CMediaItem*> made;
    made.reserve(items.size());
    for (const GeneratedItem& g : items) {
      CMediaItem* item = CreateMediaItem();
      item->SetSource(g.source.c_str());
      for (int t = 0; t < 4; ++t) item->SetString(kStringTags[t], g.strings[t].c_str());
      for (int t = 0; t < 4; ++t) item->SetInt(kIntTags[t], g.ints[t]);
      item->SetTagFromText(TAG_RELEASE_DATE, 0, g.date);
      item->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, g.gain);
      item->SetInstance(kPlayCount, 0, &g.plays, sizeof g.plays);
      item->SetGuid(TAG_MEDIA_TYPE, kType);
      made.push_back(item);
    }
    state.ResumeTiming();
    library->ChangeMode(LIBMODE_SCAN, 0);
    for (CMediaItem* item : made) library->StoreEntry(item);
    library->ChangeMode(0, LIBMODE_SCAN);
    state.PauseTiming();
    for (CMediaItem* item : made) item->Release();
    library->Close(FALSE);
    library->Release();
    state.ResumeTiming();
  }
  ItemsPerSecond(state);
}

void BM_PlainPreparedInserts(benchmark::State& state) {
  const std::vector<GeneratedItem>& items = Items();
  const std::string schema = SchemaScript();
  for (auto _ : state) {
    state.PauseTiming();
    zb::testing::TestDevice device;
    sqlite3* db = nullptr;
    sqlite3_open((device.root() / "plain.db").string().c_str(), &db);
    for (const char* pragma : {"PRAGMA page_size = 2048;", "PRAGMA synchronous = FULL;",
                               "PRAGMA auto_vacuum = INCREMENTAL;", "PRAGMA locking_mode = EXCLUSIVE;"}) {
      sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db, schema.c_str(), nullptr, nullptr, nullptr);
    auto prepare = [&](const char* sql) {
      sqlite3_stmt* s = nullptr;
      sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
      return s;
    };
    sqlite3_stmt* media = prepare("insert into media values (NULL, ?, 1, ?, 0, 0, datetime('now'));");
    sqlite3_stmt* findStr = prepare("select strid from str_data where slen=? and value=?;");
    sqlite3_stmt* addStr = prepare("insert into str_data (value, slen, refcnt) values (?, ?, 0);");
    sqlite3_stmt* strTag = prepare("insert into str_tags values (?, ?, 0, ?);");
    sqlite3_stmt* intTag = prepare("insert or replace into int_tags values (?, ?, 0, ?);");
    sqlite3_stmt* realTag = prepare("insert or replace into real_tags values (?, ?, 0, ?);");
    sqlite3_stmt* dateTag = prepare("insert or replace into date_tags values (?, ?, 0, ?, ?);");
    sqlite3_stmt* guidTag = prepare("insert or replace into guid_tags values (?, ?, 0, ?);");
    auto step = [](sqlite3_stmt* s) {
      sqlite3_step(s);
      sqlite3_reset(s);
    };
    state.ResumeTiming();
    sqlite3_exec(db, "begin transaction;", nullptr, nullptr, nullptr);
    for (const GeneratedItem& g : items) {
      sqlite3_bind_text16(media, 1, g.source.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_int(media, 2, g.ints[3]);
      step(media);
      const sqlite3_int64 mid = sqlite3_last_insert_rowid(db);
      for (int t = 0; t < 4; ++t) {
        const std::u16string& text = g.strings[t];
        sqlite3_bind_int(findStr, 1, static_cast<int>(text.size()));
        sqlite3_bind_text16(findStr, 2, text.c_str(), -1, SQLITE_STATIC);
        sqlite3_int64 strid = sqlite3_step(findStr) == SQLITE_ROW ? sqlite3_column_int64(findStr, 0) : 0;
        sqlite3_reset(findStr);
        if (!strid) {
          sqlite3_bind_text16(addStr, 1, text.c_str(), -1, SQLITE_STATIC);
          sqlite3_bind_int(addStr, 2, static_cast<int>(text.size()));
          step(addStr);
          strid = sqlite3_last_insert_rowid(db);
        }
        sqlite3_bind_int64(strTag, 1, mid);
        sqlite3_bind_int(strTag, 2, static_cast<int>(kStringTags[t]));
        sqlite3_bind_int64(strTag, 3, strid);
        step(strTag);
      }
      auto intRow = [&](DWORD tag, LONG value) {
        sqlite3_bind_int64(intTag, 1, mid);
        sqlite3_bind_int(intTag, 2, static_cast<int>(tag));
        sqlite3_bind_int(intTag, 3, value);
        step(intTag);
      };
      for (int t = 0; t < 4; ++t) intRow(kIntTags[t], g.ints[t]);
      intRow(kPlayCount, g.plays);
      sqlite3_bind_int64(realTag, 1, mid);
      sqlite3_bind_int(realTag, 2, static_cast<int>(TAG_REPLAYGAIN_TRACK_GAIN));
      sqlite3_bind_double(realTag, 3, g.gain);
      step(realTag);
      const std::u16string full = FullDateValue(g.date);
      sqlite3_bind_int64(dateTag, 1, mid);
      sqlite3_bind_int(dateTag, 2, static_cast<int>(TAG_RELEASE_DATE));
      sqlite3_bind_text16(dateTag, 3, full.c_str(), -1, SQLITE_STATIC);
      sqlite3_bind_text16(dateTag, 4, g.date.c_str(), -1, SQLITE_STATIC);
      step(dateTag);
      sqlite3_bind_int64(guidTag, 1, mid);
      sqlite3_bind_int(guidTag, 2, static_cast<int>(TAG_MEDIA_TYPE));
      sqlite3_bind_blob(guidTag, 3, &kType, sizeof kType, SQLITE_STATIC);
      step(guidTag);
    }
    sqlite3_exec(db, "commit transaction;", nullptr, nullptr, nullptr);
    state.PauseTiming();
    for (sqlite3_stmt* s : {media, findStr, addStr, strTag, intTag, realTag, dateTag, guidTag}) sqlite3_finalize(s);
    sqlite3_close(db);
    state.ResumeTiming();
  }
  ItemsPerSecond(state);
}

BENCHMARK(BM_LibraryStoreEntry)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PlainPreparedInserts)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
