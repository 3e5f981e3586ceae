// Name resolution: gethostbyname into the calling thread's own record (the device keeps one
// per thread, valid until the thread's next call), getaddrinfo into the platform's addrinfo
// layout, and the host's name.
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <windows.h>
#include <ws2tcpip.h>

#include "winsock/host_socket.h"
#include "winsock/socket_table.h"

using namespace zb::ws;

namespace {

struct HostRecord {
  std::string name;
  std::vector<std::array<char, 4>> addresses;
  std::vector<char*> addressList;
  char* aliases[1] = {nullptr};
  hostent entry{};
};

// One getaddrinfo entry in one block: the record, its address, then the canonical name.
addrinfo* NewEntry(const Resolved& r, const std::string* canonical) {
  size_t nameBytes = canonical ? canonical->size() + 1 : 0;
  size_t size = sizeof(addrinfo) + sizeof(r.address.bytes) + nameBytes;
  auto* block = static_cast<unsigned char*>(std::calloc(1, size));
  if (!block) return nullptr;
  auto* a = reinterpret_cast<addrinfo*>(block);
  a->ai_family = r.family;
  a->ai_socktype = r.socktype;
  a->ai_protocol = r.protocol;
  a->ai_addrlen = static_cast<size_t>(r.address.length);
  a->ai_addr = reinterpret_cast<sockaddr*>(block + sizeof(addrinfo));
  std::memcpy(a->ai_addr, r.address.bytes, sizeof(r.address.bytes));
  if (canonical) {
    a->ai_canonname = reinterpret_cast<char*>(block + sizeof(addrinfo) + sizeof(r.address.bytes));
    std::memcpy(a->ai_canonname, canonical->c_str(), nameBytes);
  }
  return a;
}

}  // namespace

extern "C" struct hostent* gethostbyname(const char* name) {
  if (!Started()) return Failed(WSANOTINITIALISED), nullptr;
  std::string wanted = name ? name : "";
  if (wanted.empty()) {
    if (int e = HostName(&wanted)) return Failed(e), nullptr;
  }
  std::vector<Resolved> found;
  std::string canonical;
  if (int e = HostResolve(wanted.c_str(), nullptr, AI_CANONNAME, AF_INET, SOCK_STREAM, 0, &found, &canonical)) {
    return Failed(e), nullptr;
  }
  thread_local HostRecord record;
  record = HostRecord{};
  record.name = canonical.empty() ? wanted : canonical;
  for (const Resolved& r : found) {
    std::array<char, 4> a;
    std::memcpy(a.data(), r.address.bytes + 4, 4);  // sin_addr
    bool seen = false;
    for (const auto& b : record.addresses) seen = seen || b == a;
    if (!seen) record.addresses.push_back(a);
  }
  for (auto& a : record.addresses) record.addressList.push_back(a.data());
  record.addressList.push_back(nullptr);
  record.entry.h_name = record.name.data();
  record.entry.h_aliases = record.aliases;
  record.entry.h_addrtype = AF_INET;
  record.entry.h_length = 4;
  record.entry.h_addr_list = record.addressList.data();
  return &record.entry;
}

int gethostname(char* name, int length) {
  if (!Started()) return Failed(WSANOTINITIALISED);
  if (!name) return Failed(WSAEFAULT);
  std::string host;
  if (int e = HostName(&host)) return Failed(e);
  if (length <= static_cast<int>(host.size())) return Failed(WSAEFAULT);
  std::memcpy(name, host.c_str(), host.size() + 1);
  return 0;
}

extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints, struct addrinfo** result) {
  auto fail = [](int code) {
    WSASetLastError(code);
    return code;
  };
  if (!result) return fail(WSAEINVAL);
  *result = nullptr;
  if (!Started()) return fail(WSANOTINITIALISED);
  if (!node && !service) return fail(EAI_NONAME);
  addrinfo none{};
  const addrinfo& h = hints ? *hints : none;
  std::vector<Resolved> found;
  std::string canonical;
  if (int e = HostResolve(node, service, h.ai_flags, h.ai_family, h.ai_socktype, h.ai_protocol, &found, &canonical)) {
    return fail(e);
  }
  addrinfo* head = nullptr;
  addrinfo** tail = &head;
  for (size_t i = 0; i < found.size(); ++i) {
    bool named = i == 0 && (h.ai_flags & AI_CANONNAME) && !canonical.empty();
    addrinfo* entry = NewEntry(found[i], named ? &canonical : nullptr);
    if (!entry) {
      freeaddrinfo(head);
      return fail(EAI_MEMORY);
    }
    *tail = entry;
    tail = &entry->ai_next;
  }
  *result = head;
  return 0;
}

extern "C" void freeaddrinfo(struct addrinfo* list) {
  while (list) {
    addrinfo* next = list->ai_next;
    std::free(list);
    list = next;
  }
}
