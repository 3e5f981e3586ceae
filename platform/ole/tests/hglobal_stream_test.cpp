// Streams on global memory, driven by a table of operations and what each must answer: the
// position, the stream's size, the block's own size and the bytes in it. Then clones, CopyTo,
// Stat, taking the block back, and the block's ownership.
#include <gtest/gtest.h>
#include <cstring>
#include <objbase.h>
#include <optional>
#include <string>
#include <string_view>
#include <windows.h>

namespace {

enum class Op { Write, Read, Seek, SetSize };

struct Step {
  Op op;
  const char* text;  // what Write writes or Read must return
  LONGLONG value;    // Read's count, Seek's move or SetSize's size
  DWORD origin;
  HRESULT result;
  ULONGLONG position;                      // afterwards
  std::optional<std::string_view> contents;  // the block afterwards, when it changed
};

using namespace std::string_view_literals;

constexpr ULONGLONG kFar = 0x100000000ull;

const Step kSteps[] = {
    {Op::Write, "hello", 0, 0, S_OK, 5, "hello"},
    {Op::Seek, nullptr, 0, STREAM_SEEK_SET, S_OK, 0, "hello"},
    {Op::Read, "hel", 3, 0, S_OK, 3, "hello"},
    {Op::Read, "lo", 10, 0, S_OK, 5, "hello"},  // a short read at the end
    {Op::Read, "", 4, 0, S_OK, 5, "hello"},     // nothing left is not an error
    {Op::Seek, nullptr, -2, STREAM_SEEK_END, S_OK, 3, "hello"},
    {Op::Write, "PX", 0, 0, S_OK, 5, "helPX"},
    {Op::Write, "!", 0, 0, S_OK, 6, "helPX!"},
    {Op::Seek, nullptr, 2, STREAM_SEEK_CUR, S_OK, 8, "helPX!"},  // past the end is allowed
    {Op::Read, "", 1, 0, S_OK, 8, "helPX!"},
    {Op::Write, "Z", 0, 0, S_OK, 9, "helPX!\0\0Z"sv},  // the gap is zeros
    {Op::Seek, nullptr, -10, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 9, std::nullopt},
    {Op::Seek, nullptr, 0, 7, STG_E_INVALIDFUNCTION, 9, std::nullopt},
    {Op::Seek, nullptr, static_cast<LONGLONG>(kFar), STREAM_SEEK_SET, STG_E_INVALIDFUNCTION, 9, std::nullopt},
    {Op::SetSize, nullptr, 4, 0, S_OK, 9, "helP"},  // the position stays where it was
    {Op::Seek, nullptr, 0, STREAM_SEEK_END, S_OK, 4, "helP"},
    {Op::SetSize, nullptr, 6, 0, S_OK, 4, "helP\0\0"sv},
    {Op::SetSize, nullptr, static_cast<LONGLONG>(kFar), 0, STG_E_INVALIDFUNCTION, 4, std::nullopt},
    {Op::SetSize, nullptr, 0, 0, S_OK, 4, ""},
    {Op::Read, "", 3, 0, S_OK, 4, ""},
};

std::string BlockText(HGLOBAL memory) {
  SIZE_T size = GlobalSize(memory);
  std::string text(static_cast<const char*>(GlobalLock(memory)), size);
  GlobalUnlock(memory);
  return text;
}

TEST(HGlobalStreamTest, OperationsTable) {
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  HGLOBAL memory = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(stream, &memory), S_OK);
  EXPECT_EQ(GlobalSize(memory), 0u);
  std::string expected;  // the contents after the last step that named them
  for (size_t i = 0; i < std::size(kSteps); ++i) {
    const Step& s = kSteps[i];
    HRESULT hr = E_FAIL;
    switch (s.op) {
      case Op::Write: {
        ULONG written = 99;
        hr = stream->Write(s.text, static_cast<ULONG>(std::strlen(s.text)), &written);
        if (SUCCEEDED(hr)) {
          EXPECT_EQ(written, std::strlen(s.text)) << "step " << i;
        }
        break;
      }
      case Op::Read: {
        char buffer[32] = {};
        ULONG read = 99;
        hr = stream->Read(buffer, static_cast<ULONG>(s.value), &read);
        EXPECT_EQ(std::string(buffer, read), s.text) << "step " << i;
        break;
      }
      case Op::Seek: {
        LARGE_INTEGER move;
        move.QuadPart = s.value;
        ULARGE_INTEGER at{};
        at.QuadPart = 12345;
        hr = stream->Seek(move, s.origin, &at);
        if (SUCCEEDED(hr)) {
          EXPECT_EQ(at.QuadPart, s.position) << "step " << i;
        }
        break;
      }
      case Op::SetSize: {
        ULARGE_INTEGER size;
        size.QuadPart = static_cast<ULONGLONG>(s.value);
        hr = stream->SetSize(size);
        break;
      }
    }
    EXPECT_EQ(hr, s.result) << "step " << i;
    // The position, seen without moving it.
    LARGE_INTEGER none{};
    ULARGE_INTEGER at{};
    ASSERT_EQ(stream->Seek(none, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at.QuadPart, s.position) << "step " << i;
    if (s.contents) expected = *s.contents;
    ASSERT_EQ(GetHGlobalFromStream(stream, &memory), S_OK);
    EXPECT_EQ(BlockText(memory), expected) << "step " << i;
    STATSTG stat;
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, expected.size()) << "step " << i;
  }
  EXPECT_EQ(stream->Release(), 0u);
}

TEST(HGlobalStreamTest, ClonesShareTheDataButNotThePosition) {
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  ASSERT_EQ(stream->Write("abcdef", 6, nullptr), S_OK);
  IStream* clone = nullptr;
  ASSERT_EQ(stream->Clone(&clone), S_OK);
  LARGE_INTEGER start{};
  ASSERT_EQ(clone->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(stream->Write("gh", 2, nullptr), S_OK);  // grows the shared block
  char buffer[16] = {};
  ULONG read = 0;
  ASSERT_EQ(clone->Read(buffer, sizeof(buffer), &read), S_OK);
  EXPECT_EQ(std::string(buffer, read), "abcdefgh");
  HGLOBAL a = nullptr, b = nullptr;
  GetHGlobalFromStream(stream, &a);
  GetHGlobalFromStream(clone, &b);
  EXPECT_EQ(a, b);
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(GlobalSize(b), 8u) << "the block lives while a clone does";
  EXPECT_EQ(clone->Release(), 0u);
}

TEST(HGlobalStreamTest, CopyToMovesFromThePositionOn) {
  IStream* from = nullptr;
  IStream* to = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &from), S_OK);
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &to), S_OK);
  std::string big(200000, 'x');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 13);
  ASSERT_EQ(from->Write(big.data(), static_cast<ULONG>(big.size()), nullptr), S_OK);
  LARGE_INTEGER move;
  move.QuadPart = 100;
  ASSERT_EQ(from->Seek(move, STREAM_SEEK_SET, nullptr), S_OK);
  ULARGE_INTEGER want, read, written;
  want.QuadPart = 150000;
  ASSERT_EQ(from->CopyTo(to, want, &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 150000u);
  EXPECT_EQ(written.QuadPart, 150000u);
  want.QuadPart = ~0ull;  // everything that is left
  ASSERT_EQ(from->CopyTo(to, want, &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, big.size() - 150100);
  HGLOBAL memory = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(to, &memory), S_OK);
  EXPECT_EQ(BlockText(memory), big.substr(100));
  EXPECT_EQ(from->CopyTo(nullptr, want, &read, &written), STG_E_INVALIDPOINTER);
  from->Release();
  to->Release();
}

TEST(HGlobalStreamTest, CallersBlockIsReadAndKeptOrFreedAsAsked) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(memory), "data", 4);
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(memory, FALSE, &stream), S_OK);
  char buffer[8] = {};
  ULONG read = 0;
  ASSERT_EQ(stream->Read(buffer, 8, &read), S_OK);
  EXPECT_EQ(std::string(buffer, read), "data");
  EXPECT_EQ(stream->Release(), 0u);
  EXPECT_EQ(GlobalSize(memory), 4u) << "not the stream's to free";

  ASSERT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  EXPECT_EQ(stream->Release(), 0u);
  SetLastError(NO_ERROR);
  EXPECT_EQ(GlobalSize(memory), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << "freed with the stream";
}

TEST(HGlobalStreamTest, RefusalsAndWhatIsNotOffered) {
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
  IStream* stream = reinterpret_cast<IStream*>(1);
  EXPECT_EQ(CreateStreamOnHGlobal(reinterpret_cast<HGLOBAL>(0x7777), TRUE, &stream), E_INVALIDARG);
  EXPECT_EQ(stream, nullptr);
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
  EXPECT_EQ(stream->Read(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
  EXPECT_EQ(stream->Write(nullptr, 1, nullptr), STG_E_INVALIDPOINTER);
  ULARGE_INTEGER any{};
  EXPECT_EQ(stream->LockRegion(any, any, 0), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->UnlockRegion(any, any, 0), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(stream->Commit(STGC_DEFAULT), S_OK);
  EXPECT_EQ(stream->Revert(), S_OK);
  STATSTG stat;
  EXPECT_EQ(stream->Stat(&stat, 5), STG_E_INVALIDFLAG);
  ASSERT_EQ(stream->Stat(&stat, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(stat.type, static_cast<DWORD>(STGTY_STREAM));
  EXPECT_EQ(stat.pwcsName, nullptr);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(stream->QueryInterface(IID_ISequentialStream, reinterpret_cast<void**>(&unknown)), S_OK);
  unknown->Release();
  EXPECT_EQ(stream->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&unknown)), E_NOINTERFACE);
  HGLOBAL memory = nullptr;
  EXPECT_EQ(GetHGlobalFromStream(nullptr, &memory), E_INVALIDARG);
  EXPECT_EQ(GetHGlobalFromStream(stream, nullptr), E_INVALIDARG);
  stream->Release();
}

}  // namespace
