// What the tag storage tests share: a library opened with the kept and overriding tags that the
// player's start-up gives it, storing and loading items, and the sqlite3 shell's view of the
// database file once the library has let go of it.
#pragma once
#include "helpers.h"
#include "library_fixture.h"
#include "media_item.h"

namespace libtest {

constexpr DWORD kFileLastPlayed = 0x000407D9;
constexpr DWORD kPlayCount = 0x80021771;
constexpr DWORD kAutoRating = 0x000203EB;
constexpr DWORD kPrivateRating = 0x000203F7;
constexpr DWORD kRating = 0x000203EA;
constexpr DWORD kKeepList = 0x80027FFD;
constexpr DWORD kOverrideList = 0x80027FFE;

class TagStorageTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    Open();
  }
  void Open() {
    OpenLibrary();
    for (DWORD tag : {kFileLastPlayed, kPlayCount, kAutoRating, kPrivateRating, kRating}) library_->AddKeptTag(tag);
    for (DWORD tag : {kPrivateRating, kRating}) library_->AddOverridingTag(tag);
  }

  HRESULT Store(const testing_helpers::Ref<CMediaItem>& item) { return library_->StoreItem(item.get()); }

  testing_helpers::Ref<CMediaItem> Load(const char16_t* source) {
    testing_helpers::Ref<CMediaItem> item(CreateMediaItem());
    EXPECT_EQ(library_->LoadItem(source, item.get()), S_OK) << testing_helpers::Narrow(source);
    return item;
  }

  DWORD MidOf(const char16_t* source) {
    return static_cast<DWORD>(Scalar(u"select mid from media where source='" + std::u16string(source) + u"';"));
  }

  // The shell's answer once the library is closed (the library keeps the file to itself).
  std::string ShellAfterClose(const std::string& sql) {
    CloseLibrary();
    return ShellValue(HostDb(), sql);
  }

  // Every reference count equals the rows that use it; no tag row without its entry; no data row
  // without a use; no temporary source left. The shell prints one 0 per rule that holds.
  static constexpr const char* kConsistency =
      "select count(*) from str_data d where refcnt != (select count(*) from str_tags t where t.strid=d.strid);"
      "select count(*) from blob_data d where refcnt != (select count(*) from blob_tags t where t.blobid=d.blobid);"
      "select count(*) from str_data where refcnt <= 0;"
      "select count(*) from blob_data where refcnt <= 0;"
      "select (select count(*) from int_tags where mid not in (select mid from media)) +"
      " (select count(*) from real_tags where mid not in (select mid from media)) +"
      " (select count(*) from date_tags where mid not in (select mid from media)) +"
      " (select count(*) from guid_tags where mid not in (select mid from media)) +"
      " (select count(*) from str_tags where mid not in (select mid from media)) +"
      " (select count(*) from blob_tags where mid not in (select mid from media));"
      "select count(*) from str_tags where strid not in (select strid from str_data);"
      "select count(*) from blob_tags where blobid not in (select blobid from blob_data);"
      "select count(*) from media where source like '%~TEMP~%';";
  static constexpr const char* kConsistent = "0\n0\n0\n0\n0\n0\n0\n0";
};

}  // namespace libtest
