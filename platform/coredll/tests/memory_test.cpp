// Memory: zero-filled local blocks, movable global blocks that keep their handle and contents
// while they grow, virtual memory reserved then committed, and bad handles failing cleanly.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

TEST(LocalMemory, ZeroInitFillsWithZerosAndFreeReturnsNull) {
  auto* p = static_cast<BYTE*>(LocalAlloc(LMEM_ZEROINIT, 4096));
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(p[i], 0) << i;
  EXPECT_EQ(LocalSize(p), 4096u);
  EXPECT_EQ(LocalFree(p), nullptr);
}

TEST(LocalMemory, FreeingAnUnknownBlockFailsAndReturnsIt) {
  int onStack = 0;
  EXPECT_EQ(LocalFree(&onStack), &onStack);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  HLOCAL p = LocalAlloc(LPTR, 8);
  ASSERT_EQ(LocalFree(p), nullptr);
  EXPECT_EQ(LocalFree(p), p);  // freed twice: refused, not corrupting the heap
  EXPECT_EQ(LocalAlloc(0x1000, 8), nullptr);
}

TEST(LocalMemory, FixedBlockGrowsOnlyWhenAllowedToMove) {
  auto* p = static_cast<char*>(LocalAlloc(LMEM_FIXED, 16));
  std::memcpy(p, "fixed block 0123", 16);
  EXPECT_EQ(LocalReAlloc(p, 1 << 20, 0), nullptr);
  EXPECT_EQ(std::memcmp(p, "fixed block 0123", 16), 0);  // untouched by the refusal
  EXPECT_EQ(LocalReAlloc(p, 8, 0), p);
  EXPECT_EQ(LocalSize(p), 8u);
  auto* q = static_cast<char*>(LocalReAlloc(p, 1 << 20, LMEM_MOVEABLE | LMEM_ZEROINIT));
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(std::memcmp(q, "fixed bl", 8), 0);
  EXPECT_EQ(q[(1 << 20) - 1], 0);
  LocalFree(q);
}

TEST(GlobalMemory, MovableBlockKeepsItsHandleAndBytesWhileItGrows) {
  HGLOBAL h = GlobalAlloc(GHND, 10);
  ASSERT_NE(h, nullptr);
  auto* p = static_cast<char*>(GlobalLock(h));
  ASSERT_NE(p, nullptr);
  EXPECT_NE(static_cast<void*>(p), h);
  std::memcpy(p, "streamdata", 10);
  EXPECT_EQ(GlobalHandle(p), h);
  EXPECT_FALSE(GlobalUnlock(h));  // lock count back to zero
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  ASSERT_EQ(GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
  EXPECT_EQ(GlobalSize(h), static_cast<SIZE_T>(1 << 20));
  p = static_cast<char*>(GlobalLock(h));
  EXPECT_EQ(std::memcmp(p, "streamdata", 10), 0);
  EXPECT_EQ(p[(1 << 20) - 1], 0);
  EXPECT_TRUE(GlobalLock(h) != nullptr);
  EXPECT_TRUE(GlobalUnlock(h));   // still locked once
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_FALSE(GlobalUnlock(h));  // not locked any more
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
  EXPECT_EQ(GlobalFree(h), nullptr);
  EXPECT_EQ(GlobalLock(h), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(VirtualMemory, ReserveThenCommitThenDecommitThenRelease) {
  const SIZE_T size = 1 << 20;
  auto* base = static_cast<BYTE*>(VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS));
  ASSERT_NE(base, nullptr);
  BYTE* page = base + 8192;
  ASSERT_EQ(VirtualAlloc(page, 4096, MEM_COMMIT, PAGE_READWRITE), page);
  EXPECT_EQ(page[0], 0);
  std::memset(page, 0xAB, 4096);
  ASSERT_EQ(VirtualAlloc(page, 4096, MEM_COMMIT, PAGE_READWRITE), page);  // again: contents kept
  EXPECT_EQ(page[4095], 0xAB);
  ASSERT_TRUE(VirtualFree(page, 4096, MEM_DECOMMIT));
  ASSERT_EQ(VirtualAlloc(page, 4096, MEM_COMMIT, PAGE_READWRITE), page);
  EXPECT_EQ(page[0], 0);  // decommitted pages come back zeroed
  EXPECT_FALSE(VirtualFree(page, 0, MEM_RELEASE));  // not the base
  EXPECT_TRUE(VirtualFree(base, 0, MEM_RELEASE));
  EXPECT_FALSE(VirtualFree(base, 0, MEM_RELEASE));  // already gone
}

TEST(VirtualMemory, ReserveAndCommitInOneCall) {
  auto* p = static_cast<int*>(VirtualAlloc(nullptr, 100, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(p, nullptr);
  p[10] = 5;
  EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
}

TEST(VirtualMemory, BadRequestsFail) {
  int outside = 0;
  EXPECT_EQ(VirtualAlloc(&outside, 4096, MEM_COMMIT, PAGE_READWRITE), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
  EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_RESERVE, PAGE_READWRITE), nullptr);
  EXPECT_EQ(VirtualAlloc(nullptr, 4096, MEM_RESERVE, 0x40), nullptr);  // executable: not offered
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(VirtualFree(&outside, 0, MEM_RELEASE));
  EXPECT_FALSE(VirtualFree(&outside, 4096, MEM_DECOMMIT));
}

}  // namespace
