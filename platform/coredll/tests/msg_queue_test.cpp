// Message queues: records come back with the exact sizes written, in order; a small buffer
// leaves the record queued; full, broken and wrong-end cases fail with the platform's errors.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "testing/test_device.h"

namespace {

class QueueTest : public ::testing::Test {
 protected:
  HANDLE Open(LPCWSTR name, bool read, DWORD maxMessages = 0, DWORD maxSize = 64, DWORD flags = 0) {
    MSGQUEUEOPTIONS options{sizeof options, flags, maxMessages, maxSize, read};
    return CreateMsgQueue(name, &options);
  }
  zb::testing::TestDevice device_;
};

std::vector<BYTE> Pattern(DWORD size) {
  std::vector<BYTE> bytes(size);
  for (DWORD i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + size);
  return bytes;
}

TEST_F(QueueTest, RecordsKeepTheirExactSizesAndOrder) {
  HANDLE reader = Open(u"Q/sizes", true);
  HANDLE writer = Open(u"Q/sizes", false);
  ASSERT_NE(reader, nullptr);
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  constexpr DWORD kSizes[] = {1, 64, 0, 17, 44, 3};
  for (DWORD size : kSizes) {
    auto record = Pattern(size);
    ASSERT_TRUE(WriteMsgQueue(writer, record.data(), size, 0, 0)) << size;
  }
  EXPECT_EQ(WaitForSingleObject(reader, 0), WAIT_OBJECT_0);
  for (DWORD size : kSizes) {
    BYTE buffer[128] = {};
    DWORD read = 12345, flags = 99;
    ASSERT_TRUE(ReadMsgQueue(reader, buffer, sizeof buffer, &read, 0, &flags));
    EXPECT_EQ(read, size);
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + read), Pattern(size));
    EXPECT_EQ(flags, 0u);
  }
  EXPECT_EQ(WaitForSingleObject(reader, 0), WAIT_TIMEOUT);
  CloseMsgQueue(writer);
  CloseMsgQueue(reader);
}

TEST_F(QueueTest, AlertFlagTravelsWithItsRecord) {
  HANDLE reader = Open(u"Q/flags", true);
  HANDLE writer = Open(u"Q/flags", false);
  BYTE b = 5;
  ASSERT_TRUE(WriteMsgQueue(writer, &b, 1, 0, MSGQUEUE_MSGALERT));
  DWORD read = 0, flags = 0;
  ASSERT_TRUE(ReadMsgQueue(reader, &b, 1, &read, 0, &flags));
  EXPECT_EQ(flags, static_cast<DWORD>(MSGQUEUE_MSGALERT));
  CloseMsgQueue(writer);
  CloseMsgQueue(reader);
}

TEST_F(QueueTest, TooSmallBufferLeavesTheRecordForABiggerOne) {
  HANDLE reader = Open(u"Q/small", true);
  HANDLE writer = Open(u"Q/small", false);
  auto record = Pattern(40);
  ASSERT_TRUE(WriteMsgQueue(writer, record.data(), 40, 0, 0));
  BYTE buffer[64];
  DWORD read = 7;
  EXPECT_FALSE(ReadMsgQueue(reader, buffer, 39, &read, 0, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(read, 0u);
  ASSERT_TRUE(ReadMsgQueue(reader, buffer, 64, &read, 0, nullptr));
  EXPECT_EQ(read, 40u);
  EXPECT_EQ(std::vector<BYTE>(buffer, buffer + 40), record);
  CloseMsgQueue(writer);
  CloseMsgQueue(reader);
}

TEST_F(QueueTest, FullQueueTimesOutAndTheWriteEndSignalsRoom) {
  HANDLE reader = Open(u"Q/full", true, 2, 8);
  HANDLE writer = Open(u"Q/full", false, 2, 8);
  BYTE b[8] = {};
  ASSERT_TRUE(WriteMsgQueue(writer, b, 8, 0, 0));
  EXPECT_EQ(WaitForSingleObject(writer, 0), WAIT_OBJECT_0);
  ASSERT_TRUE(WriteMsgQueue(writer, b, 8, 0, 0));
  EXPECT_EQ(WaitForSingleObject(writer, 0), WAIT_TIMEOUT);
  EXPECT_FALSE(WriteMsgQueue(writer, b, 8, 20, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
  DWORD read = 0;
  ASSERT_TRUE(ReadMsgQueue(reader, b, 8, &read, 0, nullptr));
  EXPECT_EQ(WaitForSingleObject(writer, 0), WAIT_OBJECT_0);
  MSGQUEUEINFO info{};
  info.dwSize = sizeof info;
  ASSERT_TRUE(GetMsgQueueInfo(reader, &info));
  EXPECT_EQ(info.dwCurrentMessages, 1u);
  EXPECT_EQ(info.dwMaxMessages, 2u);
  EXPECT_EQ(info.cbMaxMessage, 8u);
  EXPECT_EQ(info.wNumReaders, 1);
  EXPECT_EQ(info.wNumWriters, 1);
  CloseMsgQueue(writer);
  CloseMsgQueue(reader);
}

TEST_F(QueueTest, ReadOfAnEmptyQueueTimesOut) {
  HANDLE reader = Open(u"Q/empty", true);
  HANDLE writer = Open(u"Q/empty", false);
  BYTE b[4];
  DWORD read = 0;
  EXPECT_FALSE(ReadMsgQueue(reader, b, 4, &read, 20, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
  CloseMsgQueue(writer);
  CloseMsgQueue(reader);
}

struct ErrorCase {
  const char* name;
  bool readerPresent, writerPresent, allowBroken;
  bool useReader;  // operate on the read end (else the write end)
  bool write;      // the operation
  DWORD size;
  DWORD expectError;  // 0: succeeds
};

constexpr ErrorCase kErrors[] = {
    {"WriteLargerThanTheRecordSize", true, true, false, false, true, 65, ERROR_INSUFFICIENT_BUFFER},
    {"WriteWithoutAReader", false, true, false, false, true, 4, ERROR_PIPE_NOT_CONNECTED},
    {"WriteWithoutAReaderAllowedBroken", false, true, true, false, true, 4, 0},
    {"ReadWithoutAWriter", true, false, false, true, false, 4, ERROR_PIPE_NOT_CONNECTED},
    {"WriteOnTheReadEnd", true, true, false, true, true, 4, ERROR_ACCESS_DENIED},
    {"ReadOnTheWriteEnd", true, true, false, false, false, 4, ERROR_ACCESS_DENIED},
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class QueueErrorTest : public QueueTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(QueueErrorTest, FailsWithThePlatformsError) {
  const ErrorCase& c = GetParam();
  DWORD flags = c.allowBroken ? MSGQUEUE_ALLOW_BROKEN : 0;
  HANDLE reader = c.readerPresent ? Open(u"Q/err", true, 0, 64, flags) : nullptr;
  HANDLE writer = c.writerPresent ? Open(u"Q/err", false, 0, 64, flags) : nullptr;
  HANDLE end = c.useReader ? reader : writer;
  ASSERT_NE(end, nullptr);
  BYTE buffer[128] = {};
  DWORD read = 0;
  SetLastError(0);
  BOOL ok = c.write ? WriteMsgQueue(end, buffer, c.size, 0, 0) : ReadMsgQueue(end, buffer, c.size, &read, 0, nullptr);
  EXPECT_EQ(ok, c.expectError == 0);
  if (c.expectError) {
    EXPECT_EQ(GetLastError(), c.expectError);
  }
  if (reader) CloseMsgQueue(reader);
  if (writer) CloseMsgQueue(writer);
}

INSTANTIATE_TEST_SUITE_P(Queues, QueueErrorTest, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueueTest, BadOptionsAndHandlesAreRefused) {
  MSGQUEUEOPTIONS options{sizeof options, 0, 0, 0, TRUE};
  EXPECT_EQ(CreateMsgQueue(nullptr, &options), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CreateMsgQueue(nullptr, nullptr), nullptr);
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  BYTE b = 0;
  EXPECT_FALSE(WriteMsgQueue(event, &b, 1, 0, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseMsgQueue(event));
  CloseHandle(event);
}

}  // namespace
