// The typical queries of the player over 100,000 generated entries: all artists, the albums of
// one artist, a keyword search in titles and the whole title list sorted, each through the query
// engine beside one hand-written SELECT that gives the same rows, on the same database in the
// same run. Each reports its row count so that both sides can be seen to agree, and the ratios
// of the engine's times to the SELECTs' come last.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "media_item.h"
#include "media_library.h"
#include "querytags.h"
#include "testing/test_device.h"

namespace {

constexpr int kEntries = 100000;
constexpr int kArtists = 2000;
constexpr int kAlbums = 10000;

// The library on a device of its own, filled once with plain SQL (the store path is measured by
// library_store_bench); closed when the program ends.
struct Library {
  zb::testing::TestDevice device;
  CMediaLibrary* library = new CMediaLibrary(GetModuleHandleW(nullptr), nullptr);

  Library() {
    library->Start(u"\\metadata.db", 7);
    CLibraryLock lock(library);
    CSqlDatabase* db = library->Database();
    const std::string n = "with recursive n(i) as (select 1 union all select i+1 from n where i < " +
                          std::to_string(kEntries) + ") ";
    const std::string words = "case i % 7 when 0 then 'Night' when 1 then 'Road' when 2 then 'Sun' when 3 then 'Rain' "
                              "when 4 then 'Heart' when 5 then 'Fire' else 'Blue' end";
    db->Exec("begin transaction;");
    db->Exec((n + "insert into media select i, '\\Storage Card\\Music\\' || (i % 211) || '\\' || i || '.mp3', 1, 0, 0, "
                  "0, 0 from n;").c_str());
    db->Exec((n + "insert into str_data select i, 'Artist ' || i, length('Artist ' || i), 0 from n where i <= " +
              std::to_string(kArtists) + ";").c_str());
    db->Exec((n + "insert into str_data select " + std::to_string(kArtists) + " + i, 'Album ' || i, length('Album ' || i), "
                  "0 from n where i <= " + std::to_string(kAlbums) + ";").c_str());
    db->Exec((n + "insert into str_data select " + std::to_string(kArtists + kAlbums) + " + i, " + words +
              " || ' ' || (i * 7919 % 100003), 0, 0 from n;").c_str());
    db->Exec("update str_data set slen = length(value);");
    db->Exec((n + "insert into str_tags select i, " + std::to_string(TAG_ARTIST) + ", 0, 1 + i % " +
              std::to_string(kArtists) + " from n;").c_str());
    db->Exec((n + "insert into str_tags select i, " + std::to_string(TAG_ALBUM) + ", 0, " + std::to_string(kArtists) +
              " + 1 + (i % " + std::to_string(kArtists) + ") * 5 + (i / " + std::to_string(kArtists) + ") % 5 from n;")
                 .c_str());
    db->Exec((n + "insert into str_tags select i, " + std::to_string(TAG_SONG_TITLE) + ", 0, " +
              std::to_string(kArtists + kAlbums) + " + i from n;").c_str());
    db->Exec((n + "insert into int_tags select i, " + std::to_string(TAG_RATING) + ", 0, (i % 6) * 20 from n;").c_str());
    db->Exec("commit transaction;");
    db->Exec("analyze;");
  }
  ~Library() {
    library->Close(FALSE);
    library->Release();
  }
};

CMediaLibrary* TheLibrary() {
  static Library library;
  return library.library;
}

// Rows of a hand-written SELECT on the library's own connection, every column read as a program
// would read it.
size_t Select(CMediaLibrary* library, const char16_t* sql) {
  CLibraryLock lock(library);
  size_t rows = 0;
  for (CSqlQuery query = library->Database()->ExecQuery(sql); !query.Eof(); query.NextRow()) {
    for (int c = 0; c < query.ColumnCount(); ++c) benchmark::DoNotOptimize(query.GetText(c));
    ++rows;
  }
  return rows;
}

CMediaItem* NewQuery() { return CreateMediaItem(); }
void Param(IMediaItem* q, DWORD instance, LONG value) { q->SetInstance(QTAG_PARAMS, instance, &value, sizeof value); }

DWORD Values(CMediaLibrary* library, IMediaItem* query) {
  IMediaResult* result = nullptr;
  DWORD count = 0;
  if (SUCCEEDED(library->QueryValues(query, &result))) {
    result->GetCount(&count);
    result->Release();
  }
  return count;
}

DWORD Media(CMediaLibrary* library, IMediaItem* query, bool sortByTitle) {
  IMediaList* list = nullptr;
  DWORD count = 0;
  if (SUCCEEDED(library->QueryMedia(query, &list))) {
    if (sortByTitle) {
      const DWORD tags[] = {TAG_SONG_TITLE}, ascending[] = {1};
      list->Sort(tags, ascending, 1);
    }
    list->GetCount(&count);
    list->Release();
  }
  return count;
}

void Report(benchmark::State& state, size_t rows) { state.counters["rows"] = static_cast<double>(rows); }

void BM_Engine_AllArtists(benchmark::State& state) {
  CMediaLibrary* library = TheLibrary();
  DWORD rows = 0;
  for (auto _ : state) {
    CMediaItem* query = NewQuery();
    Param(query, QPARAM_VALUE_TAG, static_cast<LONG>(TAG_ARTIST));
    rows = Values(library, query);
    query->Release();
  }
  Report(state, rows);
}

void BM_Select_AllArtists(benchmark::State& state) {
  const std::u16string sql = u"select d.value from media m join str_tags t on t.mid=m.mid join str_data d on "
                             u"d.strid=t.strid where m.valid >= 1 and t.tag=65541 group by d.strid;";
  size_t rows = 0;
  for (auto _ : state) rows = Select(TheLibrary(), sql.c_str());
  Report(state, rows);
}

void BM_Engine_AlbumsOfAnArtist(benchmark::State& state) {
  CMediaLibrary* library = TheLibrary();
  DWORD rows = 0;
  for (auto _ : state) {
    CMediaItem* query = NewQuery();
    Param(query, QPARAM_VALUE_TAG, static_cast<LONG>(TAG_ALBUM));
    query->SetString(TAG_ARTIST, u"Artist 1234");
    rows = Values(library, query);
    query->Release();
  }
  Report(state, rows);
}

void BM_Select_AlbumsOfAnArtist(benchmark::State& state) {
  const std::u16string sql =
      u"select d.value from media m join str_tags t on t.mid=m.mid join str_data d on d.strid=t.strid where m.valid >= 1 "
      u"and t.tag=65542 and m.mid in (select a.mid from str_tags a join str_data ad on ad.strid=a.strid where "
      u"a.tag=65541 and ad.value = 'Artist 1234' collate nocase) group by d.strid;";
  size_t rows = 0;
  for (auto _ : state) rows = Select(TheLibrary(), sql.c_str());
  Report(state, rows);
}

void BM_Engine_KeywordSearch(benchmark::State& state) {
  CMediaLibrary* library = TheLibrary();
  DWORD rows = 0;
  for (auto _ : state) {
    CMediaItem* query = NewQuery();
    query->SetString(TAG_SONG_TITLE, u"night");
    const LONG search = 9;
    query->SetInstance(QTAG_OPERATOR, TAG_SONG_TITLE, &search, sizeof search);
    rows = Media(library, query, false);
    query->Release();
  }
  Report(state, rows);
}

void BM_Select_KeywordSearch(benchmark::State& state) {
  const std::u16string sql = u"select m.mid, m.source from media m join str_tags t on t.mid=m.mid join str_data d on "
                             u"d.strid=t.strid where m.valid >= 1 and t.tag=65543 and instr(lower(d.value), 'night') > 0;";
  size_t rows = 0;
  for (auto _ : state) rows = Select(TheLibrary(), sql.c_str());
  Report(state, rows);
}

void BM_Engine_SortedTitles(benchmark::State& state) {
  CMediaLibrary* library = TheLibrary();
  DWORD rows = 0;
  for (auto _ : state) {
    CMediaItem* query = NewQuery();
    Param(query, QPARAM_FLAGS, QFLAG_PRELOAD);
    const LONG title = static_cast<LONG>(TAG_SONG_TITLE);
    query->SetInstance(QTAG_EXTRA_COLUMN, 0, &title, sizeof title);
    rows = Media(library, query, true);
    query->Release();
  }
  Report(state, rows);
}

void BM_Select_SortedTitles(benchmark::State& state) {
  const std::u16string sql = u"select m.mid, m.source, d.value from media m left join str_tags t on t.mid=m.mid and "
                             u"t.tag=65543 left join str_data d on d.strid=t.strid where m.valid >= 1 order by d.value "
                             u"collate nocase;";
  size_t rows = 0;
  for (auto _ : state) rows = Select(TheLibrary(), sql.c_str());
  Report(state, rows);
}

BENCHMARK(BM_Engine_AllArtists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Select_AllArtists)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Engine_AlbumsOfAnArtist)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Select_AlbumsOfAnArtist)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Engine_KeywordSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Select_KeywordSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Engine_SortedTitles)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Select_SortedTitles)->Unit(benchmark::kMillisecond)->Iterations(3);

// The usual table, then each query's time through the engine over its SELECT's (the median of
// the repetitions, CPU and real time).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      Times& times = times_[run.run_name.function_name];
      times.cpu.push_back(run.GetAdjustedCPUTime());
      times.real.push_back(run.GetAdjustedRealTime());
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    static constexpr struct {
      const char* query;
      const char* name;
    } kQueries[] = {{"AllArtists", "all artists"},
                    {"AlbumsOfAnArtist", "albums of an artist"},
                    {"KeywordSearch", "keyword search"},
                    {"SortedTitles", "sorted title list"}};
    std::ostream& out = GetOutputStream();
    out << "Engine over hand-written SELECT (CPU, real):\n";
    for (const auto& q : kQueries) {
      auto engine = times_.find(std::string("BM_Engine_") + q.query);
      auto select = times_.find(std::string("BM_Select_") + q.query);
      if (engine == times_.end() || select == times_.end()) continue;
      char line[128];
      std::snprintf(line, sizeof line, "  %-20s %5.2fx %5.2fx\n", q.name,
                    Median(engine->second.cpu) / Median(select->second.cpu),
                    Median(engine->second.real) / Median(select->second.real));
      out << line;
    }
  }

 private:
  struct Times {
    std::vector<double> cpu, real;
  };
  static double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  }
  std::map<std::string, Times> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
