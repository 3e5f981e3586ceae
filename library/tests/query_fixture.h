// What the query engine's tests share: a library of a few hundred items made by a seeded
// generator and stored through the library's own store path, query items built tag by tag, and
// plain SQL over the stored tables that says which sources a query should return.
#pragma once
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "helpers.h"
#include "library_fixture.h"
#include "media_item.h"
#include "querytags.h"

namespace libtest {

using testing_helpers::Ref;

constexpr GUID kTypeA = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
constexpr GUID kTypeB = {0xAAAAAAAA, 0xBBBB, 0xCCCC, {8, 7, 6, 5, 4, 3, 2, 1}};
constexpr BYTE kBlobA[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
constexpr BYTE kBlobB[] = {9, 9, 9, 9};

inline std::string Id(DWORD tag) { return std::to_string(static_cast<int>(tag)); }

class QueryTest : public LibraryTest {
 protected:
  static constexpr int kItems = 300;
  static constexpr const char16_t* kArtists[] = {u"Abba", u"Beatles", u"Can", u"Doors", u"Eels", u"Faust",
                                                 u"Genesis", u"Hole", u"Iggy Pop", u"Jam"};
  static constexpr const char16_t* kGenres[] = {u"Rock", u"Jazz", u"Pop", u"Folk", u"Blues", u"Soul"};
  static constexpr const char16_t* kWords[] = {u"Beat", u"Live", u"Night", u"Rock", u"Jazz", u"Road", u"Sun"};

  void SetUp() override {
    LibraryTest::SetUp();
    OpenLibrary();
    Generate();
  }

  // Each tag present most of the time, values from small pools so that conditions hit groups.
  void Generate() {
    std::mt19937 random(20071016);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto often = [&](int percent) { return pick(100) < percent; };
    library_->ChangeMode(LIBMODE_SCAN, 0);
    for (int i = 0; i < kItems; ++i) {
      Ref<CMediaItem> item(CreateMediaItem());
      const std::u16string source = Source(i);
      item->SetSource(source.c_str());
      if (often(90)) item->SetString(TAG_ARTIST, kArtists[pick(10)]);
      if (often(90)) item->SetString(TAG_ALBUM, (u"Album " + std::u16string(1, u'A' + pick(12))).c_str());
      const std::u16string title = std::u16string(kWords[pick(7)]) + u" " + kWords[pick(7)] + u" " + Wide(i);
      item->SetString(TAG_SONG_TITLE, title.c_str());
      if (often(80)) item->SetString(TAG_GENRE, kGenres[pick(6)]);
      if (often(90)) item->SetInt(TAG_TRACK_NUMBER, 1 + pick(20));
      if (often(85)) item->SetInt(TAG_RATING, pick(6) * 20);
      item->SetInt(TAG_LENGTH, often(5) ? -1 : 60000 + pick(300) * 1000);
      item->SetInt(TAG_SIZE, 1000000 + pick(5000) * 1000);
      if (often(80)) item->SetFloat(TAG_REPLAYGAIN_TRACK_GAIN, -6.5f + static_cast<float>(pick(14)) * 0.5f);
      if (often(85)) {
        // Whole years, years with a month, and full dates (every time field above 0).
        const int year = 1990 + pick(12), month = 1 + pick(12);
        char text[32];
        switch (pick(3)) {
          case 0: std::snprintf(text, sizeof text, "%d", year); break;
          case 1: std::snprintf(text, sizeof text, "%d-%02d", year, month); break;
          default:
            std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", year, month, 1 + pick(28), 1 + pick(23),
                          1 + pick(59), 1 + pick(59));
        }
        item->SetTagFromText(TAG_RELEASE_DATE, 0, Wide(text));
      }
      if (often(70)) item->SetGuid(TAG_MEDIA_TYPE, often(50) ? kTypeA : kTypeB);
      for (DWORD n = 0, plays = static_cast<DWORD>(pick(3)); n < plays; ++n) {
        const LONG count = pick(10);
        item->SetInstance(TAG_PLAY_COUNT, n, &count, sizeof count);
      }
      for (DWORD n = 0, genres = static_cast<DWORD>(pick(3)); n < genres; ++n) {
        const std::u16string genre = kGenres[pick(6)];
        item->SetInstance(TAG_GENRE_COLLECTION, n, genre.c_str(), static_cast<DWORD>((genre.size() + 1) * 2));
      }
      if (often(30)) {
        if (often(50)) item->SetBytes(TAG_MCDI, kBlobA, sizeof kBlobA);
        else item->SetBytes(TAG_MCDI, kBlobB, sizeof kBlobB);
      }
      ASSERT_EQ(library_->StoreItem(item.get()), S_OK);
    }
    library_->ChangeMode(0, LIBMODE_SCAN);
    // Every seventh entry went missing; every eleventh is marked out of Artist conditions.
    for (int i = 0; i < kItems; i += 7) library_->MarkInvalid(Source(i).c_str(), FALSE);
    for (int i = 3; i < kItems; i += 11) {
      Exec("insert into int_tags select mid, " + Id(QTAG_MARKED_TAGS) + ", 0, " + Id(TAG_ARTIST) +
           " from media where source='" + testing_helpers::Narrow(Source(i)) + "';");
    }
  }

  // Shared by the tables of cases, which build queries and expectations outside the fixture.
 public:
  static std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }
  static std::u16string Wide(int n) { return Wide(std::to_string(n)); }
  static std::u16string Source(int i) { return u"\\Music\\" + Wide(i) + u".mp3"; }

  // A query item and setters for its parts.
  static Ref<IMediaItem> NewQuery() {
    return Ref<IMediaItem>(CreateMediaItem());
  }
  static void Param(IMediaItem* q, DWORD instance, LONG value) {
    ASSERT_EQ(q->SetInstance(QTAG_PARAMS, instance, &value, sizeof value), S_OK);
  }
  static void Op(IMediaItem* q, DWORD tag, LONG code) {
    ASSERT_EQ(q->SetInstance(QTAG_OPERATOR, tag, &code, sizeof code), S_OK);
  }
  static void Missing(IMediaItem* q, DWORD instance, DWORD tag) {
    const LONG value = static_cast<LONG>(tag);
    ASSERT_EQ(q->SetInstance(QTAG_MISSING, instance, &value, sizeof value), S_OK);
  }
  static void Group(IMediaItem* q, DWORD instance, std::vector<DWORD> tags) {
    ASSERT_EQ(q->SetInstance(QTAG_GROUPS, instance, tags.data(), static_cast<DWORD>(tags.size() * sizeof(DWORD))), S_OK);
  }

  static std::set<std::u16string> Sources(IMediaList* list) {
    std::set<std::u16string> sources;
    DWORD count = 0;
    list->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
      Ref<IMediaItem> item;
      list->GetItem(static_cast<LONG>(i), item.out());
      BSTR source = nullptr;
      item->GetSource(&source);
      sources.insert(testing_helpers::Take(source));
    }
    return sources;
  }

  static std::set<std::u16string> Texts(IMediaResult* result) {
    std::set<std::u16string> texts;
    MEDIARESULTPOS position = nullptr;
    BSTR text = nullptr;
    for (HRESULT hr = result->GetFirst(&position, &text); hr == S_OK; hr = result->GetNext(&position, &text))
      texts.insert(testing_helpers::Take(text));
    return texts;
  }

  // The texts of the first column of every row of plain SQL run on the library's connection.
  std::vector<std::u16string> Column(const std::string& sql) {
    CLibraryLock lock(library_);
    std::vector<std::u16string> out;
    const std::u16string wide = Wide(sql);
    CSqlQuery query = library_->Database()->ExecQuery(wide.c_str());
    for (; !query.Eof(); query.NextRow()) out.push_back(query.GetText(0, u""));
    return out;
  }
  std::set<std::u16string> ColumnSet(const std::string& sql) {
    const auto rows = Column(sql);
    return {rows.begin(), rows.end()};
  }
  // Sources of the present entries (valid >= 1) for which `where` holds over media m.
  std::set<std::u16string> Expected(const std::string& where, int minValid = 1) {
    return ColumnSet("select source from media m where valid >= " + std::to_string(minValid) + " and (" + where + ");");
  }

  // Tests over one entry m, written straight over the stored tables.
  static std::string Str(DWORD tag, const std::string& test, const std::string& more = "") {
    return "exists (select 1 from str_tags t join str_data d on d.strid=t.strid where t.mid=m.mid and t.tag=" + Id(tag) +
           more + " and (" + test + "))";
  }
  static std::string Num(const char* table, DWORD tag, const std::string& test, const std::string& more = "") {
    return std::string("exists (select 1 from ") + table + " t where t.mid=m.mid and t.tag=" + Id(tag) + more +
           " and (" + test + "))";
  }
};

}  // namespace libtest
