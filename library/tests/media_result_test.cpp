// CMediaResult: a sorted set of distinct texts (case ignored, first spelling kept) walked with
// position handles that are freed at the end, and refused when stale or foreign.
#include <gtest/gtest.h>

#include <vector>

#include "helpers.h"
#include "media_result.h"

using namespace testing_helpers;

namespace {

std::vector<std::u16string> Walk(IMediaResult* result) {
  std::vector<std::u16string> out;
  MEDIARESULTPOS pos = nullptr;
  BSTR text = nullptr;
  for (HRESULT hr = result->GetFirst(&pos, &text); SUCCEEDED(hr); hr = result->GetNext(&pos, &text))
    out.push_back(Take(text));
  EXPECT_EQ(pos, nullptr);
  return out;
}

TEST(MediaResult, DistinctTextsInCaseBlindOrder) {
  Ref<CMediaResult> result(CreateMediaResult());
  for (const char16_t* t : {u"Rock", u"rock", u"Jazz", u"blues", u"ROCK"}) result->AddText(t);
  DWORD count = 0;
  ASSERT_EQ(result->GetCount(&count), S_OK);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(Walk(result.get()), (std::vector<std::u16string>{u"blues", u"Jazz", u"Rock"}));
  EXPECT_EQ(result->GetCount(nullptr), E_FAIL);
}

TEST(MediaResult, EmptySetAndBadArguments) {
  Ref<CMediaResult> result(CreateMediaResult());
  MEDIARESULTPOS pos = reinterpret_cast<MEDIARESULTPOS>(1);
  BSTR text = reinterpret_cast<BSTR>(1);
  EXPECT_EQ(result->GetFirst(&pos, &text), E_FAIL);
  EXPECT_EQ(pos, nullptr);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(result->GetFirst(nullptr, &text), E_FAIL);
  EXPECT_EQ(result->GetNext(nullptr, &text), E_FAIL);
  pos = nullptr;
  EXPECT_EQ(result->GetNext(&pos, &text), E_FAIL);
}

TEST(MediaResult, StaleAndForeignHandlesAreRefused) {
  Ref<CMediaResult> result(CreateMediaResult());
  result->AddText(u"a");
  result->AddText(u"b");
  MEDIARESULTPOS pos = nullptr;
  BSTR text = nullptr;
  ASSERT_EQ(result->GetFirst(&pos, &text), S_OK);
  Take(text);
  MEDIARESULTPOS stale = pos;
  ASSERT_EQ(result->GetNext(&pos, &text), S_OK);  // frees the old handle
  EXPECT_EQ(Take(text), u"b");
  EXPECT_EQ(result->GetNext(&stale, &text), E_FAIL);
  MEDIARESULTPOS foreign = reinterpret_cast<MEDIARESULTPOS>(uintptr_t{0x5A5A});
  EXPECT_EQ(result->GetNext(&foreign, &text), E_FAIL);
  EXPECT_EQ(result->GetNext(&pos, &text), E_FAIL);  // the end frees the last handle
  EXPECT_EQ(pos, nullptr);
}

TEST(MediaResult, AbandonedHandlesGoWithTheSet) {
  Ref<CMediaResult> result(CreateMediaResult());
  result->AddText(u"a");
  MEDIARESULTPOS pos = nullptr;
  BSTR text = nullptr;
  ASSERT_EQ(result->GetFirst(&pos, &text), S_OK);
  Take(text);
  ASSERT_EQ(result->GetFirst(&pos, &text), S_OK);  // a second walk, the first never finished
  Take(text);
  // The handles still out go with the set (the sanitizer build's leak checker watches this).
}

TEST(MediaResult, Identity) {
  Ref<CMediaResult> result(CreateMediaResult());
  void* out = nullptr;
  ASSERT_EQ(result->QueryInterface(IID_IMediaResult, &out), S_OK);
  static_cast<IUnknown*>(out)->Release();
  EXPECT_EQ(result->QueryInterface(IID_IMediaList, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
}

}  // namespace
