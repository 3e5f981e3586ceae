// Blob values in the library: the checksum, sharing a row only when the bytes are equal (two
// different blobs of one size and checksum get a row each), blobs written through streams with
// their size and checksum taken from the final bytes, the stream's clamps and seeks, and a value
// whose row was deleted that still reads back and is stored again.
#include <gtest/gtest.h>

#include <cstring>
#include <unordered_map>
#include <vector>

#include "blob_checksum.h"
#include "blob_handles.h"
#include "tag_storage_fixture.h"
#include "tag_value.h"

namespace {

using namespace libtest;
using testing_helpers::NewItem;
using testing_helpers::Ref;

TEST(BlobChecksum, IsTheReflectedCrcFromZeroWithoutInversion) {
  EXPECT_EQ(BlobChecksum("abc", 3), 0xCA6598D0u);
  EXPECT_EQ(BlobChecksum("", 0), 0u);
  EXPECT_EQ(BlobChecksum("c", 1, BlobChecksum("ab", 2)), 0xCA6598D0u) << "it runs on";
}

// Two different 8-byte blocks with one checksum, found by a bounded birthday search.
std::pair<std::string, std::string> Collision() {
  std::unordered_map<DWORD, std::string> seen;
  unsigned long long x = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 2000000; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    std::string block(reinterpret_cast<const char*>(&x), 8);
    const DWORD crc = BlobChecksum(block.data(), 8);
    auto [it, fresh] = seen.emplace(crc, block);
    if (!fresh && it->second != block) return {it->second, block};
  }
  return {};
}

std::string BytesOf(IMediaItem* item, DWORD tag) {
  DWORD size = 0;
  if (FAILED(item->GetBytes(tag, nullptr, &size))) return "<none>";
  std::string bytes(size, '\0');
  if (FAILED(item->GetBytes(tag, bytes.data(), &size))) return "<unreadable>";
  return bytes;
}

class BlobStorageTest : public TagStorageTest {
 protected:
  void StoreBlob(const char16_t* source, const std::string& bytes) {
    Ref<CMediaItem> item = NewItem(source);
    ASSERT_EQ(item->SetBytes(TAG_MCDI, bytes.data(), static_cast<DWORD>(bytes.size())), S_OK);
    ASSERT_EQ(Store(item), S_OK);
  }
};

TEST_F(BlobStorageTest, EqualBytesShareARowDifferentBytesNeverDoEvenWithOneChecksum) {
  const auto [a, b] = Collision();
  ASSERT_FALSE(a.empty()) << "no collision found";
  ASSERT_EQ(BlobChecksum(a.data(), 8), BlobChecksum(b.data(), 8));
  StoreBlob(u"\\a.mp3", a);
  StoreBlob(u"\\b.mp3", b);
  StoreBlob(u"\\c.mp3", a);
  EXPECT_EQ(BytesOf(Load(u"\\a.mp3").get(), TAG_MCDI), a);
  EXPECT_EQ(BytesOf(Load(u"\\b.mp3").get(), TAG_MCDI), b) << "b keeps its own bytes";
  EXPECT_EQ(BytesOf(Load(u"\\c.mp3").get(), TAG_MCDI), a);
  CloseLibrary();
  EXPECT_EQ(ShellValue(HostDb(), "select count(*) || ' rows, ' || count(distinct bcrc) || ' checksum' from blob_data;"),
            "2 rows, 1 checksum");
  EXPECT_EQ(ShellValue(HostDb(), "select refcnt from blob_data order by blobid;"), "2\n1");
  EXPECT_EQ(ShellValue(HostDb(), kConsistency), kConsistent);
}

TEST_F(BlobStorageTest, AStreamBlobTakesSizeAndChecksumFromItsFinalBytes) {
  Exec("insert into media values (5, '\\s.mp3', 1, 0, 0, 0, 0);");
  IStream* first = nullptr;
  IStream* second = nullptr;
  ASSERT_EQ(library_->CreateBlobTag(5, TAG_MCDI, 0, &first, 8, nullptr), S_OK);
  // A second new blob while the first is open: both start with size and checksum 0.
  ASSERT_EQ(library_->CreateBlobTag(5, TAG_ARTWORK_DATA, 1, &second, 3, nullptr), S_OK);
  ULONG done = 0;
  // Out of order, and one part written twice: only the final bytes count.
  LARGE_INTEGER at{};
  at.QuadPart = 4;
  ASSERT_EQ(first->Seek(at, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(first->Write("xxxx", 4, &done), S_OK);
  ASSERT_EQ(first->Seek(at, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(first->Write("efgh", 4, &done), S_OK);
  at.QuadPart = 0;
  ASSERT_EQ(first->Seek(at, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(first->Write("abcd", 4, &done), S_OK);
  EXPECT_EQ(second->Write("abc", 3, &done), S_OK);
  first->Release();
  second->Release();
  const std::string expected = std::to_string(static_cast<LONG>(BlobChecksum("abcdefgh", 8)));
  CloseLibrary();
  EXPECT_EQ(ShellValue(HostDb(), "select bsize || ' ' || bcrc || ' ' || value from blob_data order by blobid;"),
            "8 " + expected + " abcdefgh\n3 " + std::to_string(static_cast<LONG>(0xCA6598D0u)) + " abc");
  EXPECT_EQ(ShellValue(HostDb(), kConsistency), kConsistent);
}

TEST_F(BlobStorageTest, AStreamClampsToTheBlobAndSeeksWithinIt) {
  Exec("insert into media values (5, '\\s.mp3', 1, 0, 0, 0, 0);");
  IStream* stream = nullptr;
  ASSERT_EQ(library_->CreateBlobTag(5, TAG_MCDI, 0, &stream, 4, nullptr), S_OK);
  ULONG done = 0;
  EXPECT_EQ(stream->Write("0123456789", 10, &done), S_OK);
  EXPECT_EQ(done, 4u) << "a blob never grows";
  ULARGE_INTEGER position{};
  LARGE_INTEGER move{};
  move.QuadPart = -1;
  EXPECT_EQ(stream->Seek(move, STREAM_SEEK_SET, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 0u);
  move.QuadPart = 9;
  EXPECT_EQ(stream->Seek(move, STREAM_SEEK_SET, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 0u) << "beyond the end the position stays";
  move.QuadPart = -1;
  EXPECT_EQ(stream->Seek(move, STREAM_SEEK_END, &position), S_OK);
  EXPECT_EQ(position.QuadPart, 3u);
  EXPECT_EQ(stream->Seek(move, 3, &position), E_INVALIDARG);
  STATSTG stat;
  EXPECT_EQ(stream->Stat(&stat, 1), E_INVALIDARG);
  EXPECT_EQ(stream->Stat(nullptr, 0), E_POINTER);
  ASSERT_EQ(stream->Stat(&stat, 0), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 4u);
  ULARGE_INTEGER any{};
  EXPECT_EQ(stream->SetSize(any), E_NOTIMPL);
  EXPECT_EQ(stream->Commit(0), E_NOTIMPL);
  IStream* clone = nullptr;
  EXPECT_EQ(stream->Clone(&clone), E_NOTIMPL);
  stream->Release();

  ASSERT_EQ(library_->OpenBlobTag(5, TAG_MCDI, 0, &stream), S_OK);
  char bytes[8] = {};
  EXPECT_EQ(stream->Read(bytes, 8, &done), S_OK);
  EXPECT_EQ(std::string(bytes, done), "0123");
  EXPECT_EQ(stream->Write("zz", 2, &done), STG_E_ACCESSDENIED) << "a stored blob is read, not rewritten";
  stream->Release();
  EXPECT_EQ(library_->OpenBlobTag(5, TAG_ARTIST, 0, &stream), E_INVALIDARG);
  EXPECT_EQ(library_->CreateBlobTag(5, TAG_MCDI, 0, nullptr, 4, nullptr), E_FAIL);
  EXPECT_EQ(library_->OpenBlobTag(5, TAG_ARTWORK_DATA, 7, &stream), E_FAIL) << "no such blob";
}

TEST_F(BlobStorageTest, AValueWhoseRowWasDeletedKeepsItsBytesAndIsStoredAgain) {
  StoreBlob(u"\\a.mp3", "PICTURE!");
  Ref<CMediaItem> held = Load(u"\\a.mp3");
  ASSERT_EQ(library_->DeleteItems(u"\\a.mp3"), S_OK);
  EXPECT_EQ(Scalar(u"select count(*) from blob_data;"), 0) << "the row went with its last use";
  EXPECT_EQ(BytesOf(held.get(), TAG_MCDI), "PICTURE!") << "the value kept a private copy";
  char small[4];
  DWORD size = sizeof small;
  EXPECT_EQ(held->GetBytes(TAG_MCDI, small, &size), E_FAIL) << "no part passed off as the value";

  Ref<CMediaItem> copy = NewItem(u"\\b.mp3");
  copy->CopyFrom(held.get(), 0, -1, FALSE);
  ASSERT_EQ(Store(copy), S_OK);
  EXPECT_EQ(Scalar(u"select count(*) from blob_data;"), 1) << "put back as a new row";
  EXPECT_EQ(BytesOf(Load(u"\\b.mp3").get(), TAG_MCDI), "PICTURE!");
  EXPECT_EQ(ShellAfterClose(kConsistency), kConsistent);
}

TEST_F(BlobStorageTest, ValuesOutliveTheirLibrary) {
  StoreBlob(u"\\a.mp3", "ARTWORK");
  Ref<CMediaItem> held = Load(u"\\a.mp3");
  CloseLibrary();
  EXPECT_EQ(BytesOf(held.get(), TAG_MCDI), "ARTWORK");
  Open();
  Ref<CMediaItem> copy = NewItem(u"\\b.mp3");
  copy->CopyFrom(held.get(), 0, -1, FALSE);
  ASSERT_EQ(Store(copy), S_OK);
  EXPECT_EQ(Scalar(u"select count(*) from blob_data;"), 1) << "the same bytes: the row that was there";
  EXPECT_EQ(BytesOf(Load(u"\\b.mp3").get(), TAG_MCDI), "ARTWORK");
}

}  // namespace
