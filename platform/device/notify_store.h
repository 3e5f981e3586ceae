// The device's user-notification database ("DB_notify_events"): one record per registered
// notification, kept in the state folder and shared by every process of the device, each change
// made under a file lock. The user-notification calls and the database calls both read it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zb::device::notify {

struct Record {
  uint32_t oid = 0;  // also the notification's handle
  uint32_t type = 0;   // CNT_EVENT, CNT_TIME ...
  uint32_t event = 0;  // NOTIFICATION_EVENT_ ...
  std::u16string application;
  std::u16string arguments;
};

// Adds a record (its oid is given out here, never 0) and returns the oid; 0 when the store
// cannot be written or a text holds a line break or a tab.
uint32_t Add(const Record& record);
// Replaces the record with `record.oid`; false when there is none.
bool Replace(const Record& record);
bool Remove(uint32_t oid);
// Every record, in oid order.
std::vector<Record> All();

}  // namespace zb::device::notify
