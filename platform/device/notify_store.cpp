// The notification database's file: a line per record, "oid\ttype\tevent\tapplication\targuments"
// in UTF-8, read and rewritten whole under flock. Lines that do not parse are dropped on the next
// write, so a damaged file costs those records and nothing else.
#include "device/notify_store.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <unistd.h>

#include "device/device.h"
#include "device/text.h"

namespace zb::device::notify {
namespace {

std::filesystem::path StorePath() { return StateFolder() / "notify_events.txt"; }

// Holds the store's lock for one read-modify-write.
class Locked {
 public:
  Locked() : fd_(::open(StorePath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~Locked() {
    if (fd_ >= 0) {
      ::flock(fd_, LOCK_UN);
      ::close(fd_);
    }
  }
  bool ok() const { return fd_ >= 0; }

  // The oid given out last; oids are never given out twice, so a stale handle reaches nothing.
  uint32_t lastOid = 0;

  std::vector<Record> Read() {
    std::string all;
    char buffer[4096];
    ::lseek(fd_, 0, SEEK_SET);
    for (ssize_t n; (n = ::read(fd_, buffer, sizeof buffer)) > 0;) all.append(buffer, static_cast<size_t>(n));
    std::vector<Record> records;
    size_t start = 0;
    while (start < all.size()) {
      size_t end = all.find('\n', start);
      if (end == std::string::npos) end = all.size();
      const std::string line = all.substr(start, end - start);
      if (line.rfind("#last ", 0) == 0) {
        lastOid = static_cast<uint32_t>(std::strtoul(line.c_str() + 6, nullptr, 10));
      } else if (auto r = Parse(line)) {
        records.push_back(*r);
      }
      start = end + 1;
    }
    return records;
  }

  bool Write(const std::vector<Record>& records) const {
    std::string all = "#last " + std::to_string(lastOid) + "\n";
    for (const Record& r : records) {
      all += std::to_string(r.oid) + '\t' + std::to_string(r.type) + '\t' + std::to_string(r.event) + '\t' +
             ToUtf8(r.application) + '\t' + ToUtf8(r.arguments) + '\n';
    }
    if (::ftruncate(fd_, 0) != 0) return false;
    ::lseek(fd_, 0, SEEK_SET);
    return ::write(fd_, all.data(), all.size()) == static_cast<ssize_t>(all.size());
  }

 private:
  static std::optional<Record> Parse(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
      size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    if (fields.size() != 5) return std::nullopt;
    Record r;
    try {
      r.oid = static_cast<uint32_t>(std::stoul(fields[0]));
      r.type = static_cast<uint32_t>(std::stoul(fields[1]));
      r.event = static_cast<uint32_t>(std::stoul(fields[2]));
    } catch (...) {
      return std::nullopt;
    }
    if (!r.oid) return std::nullopt;
    r.application = FromUtf8(fields[3]);
    r.arguments = FromUtf8(fields[4]);
    return r;
  }

  int fd_;
};

bool Storable(const std::u16string& text) { return text.find_first_of(u"\t\r\n") == std::u16string::npos; }

}  // namespace

uint32_t Add(const Record& record) {
  if (!Storable(record.application) || !Storable(record.arguments)) return 0;
  Locked store;
  if (!store.ok()) return 0;
  std::vector<Record> records = store.Read();
  uint32_t oid = std::max<uint32_t>(0x10000, store.lastOid + 1);  // clear of small numbers
  for (const Record& r : records) oid = std::max(oid, r.oid + 1);
  store.lastOid = oid;
  Record added = record;
  added.oid = oid;
  records.push_back(added);
  return store.Write(records) ? oid : 0;
}

bool Replace(const Record& record) {
  if (!Storable(record.application) || !Storable(record.arguments)) return false;
  Locked store;
  if (!store.ok()) return false;
  std::vector<Record> records = store.Read();
  auto it = std::find_if(records.begin(), records.end(), [&](const Record& r) { return r.oid == record.oid; });
  if (it == records.end()) return false;
  *it = record;
  return store.Write(records);
}

bool Remove(uint32_t oid) {
  Locked store;
  if (!store.ok()) return false;
  std::vector<Record> records = store.Read();
  auto it = std::find_if(records.begin(), records.end(), [&](const Record& r) { return r.oid == oid; });
  if (it == records.end()) return false;
  records.erase(it);
  return store.Write(records);
}

std::vector<Record> All() {
  Locked store;
  if (!store.ok()) return {};
  std::vector<Record> records = store.Read();
  std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.oid < b.oid; });
  return records;
}

}  // namespace zb::device::notify
