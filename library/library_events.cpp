// The library's listeners: ten sets of registrations, one per event, each called under the
// library lock with the event's text and information record.
#include <cstring>

#include "media_library.h"

CMediaLibrary::Listener CMediaLibrary::MakeListener(DWORD tagFilter, LibraryEventListener callback,
                                                    DWORD_PTR context) {
  Listener listener{};
  listener.tagFilter = tagFilter;
  listener.callback = callback;
  listener.context = context;
  // Registrations are ordered by their bytes, filter first.
  BYTE* key = listener.key.data();
  std::memcpy(key, &tagFilter, sizeof tagFilter);
  std::memcpy(key + sizeof tagFilter, &callback, sizeof callback);
  std::memcpy(key + sizeof tagFilter + sizeof callback, &context, sizeof context);
  return listener;
}

STDMETHODIMP CMediaLibrary::Advise(DWORD event, DWORD tagFilter, LibraryEventListener callback, DWORD_PTR context) {
  if (event >= LIBEVENT_COUNT || !callback) return E_FAIL;
  CLibraryLock lock(this);
  listeners_[event].insert(MakeListener(tagFilter, callback, context));
  return S_OK;
}

STDMETHODIMP CMediaLibrary::Unadvise(DWORD event, DWORD tagFilter, LibraryEventListener callback,
                                     DWORD_PTR context) {
  if (event >= LIBEVENT_COUNT || !callback) return E_FAIL;
  CLibraryLock lock(this);
  listeners_[event].erase(MakeListener(tagFilter, callback, context));
  return S_OK;
}

void CMediaLibrary::RaiseEvent(DWORD event, LPCWSTR text, const LIBEVENTINFO* info) {
  if (event >= LIBEVENT_COUNT) return;
  CLibraryLock lock(this);
  const DWORD tag = info ? info->tag : 0;
  // A listener may advise or unadvise from its callback: walk a copy, and skip a listener that
  // an earlier callback of this round took away (its context may be gone with it).
  const std::set<Listener> listeners = listeners_[event];
  for (const Listener& listener : listeners) {
    if (listener.tagFilter != 0 && listener.tagFilter != tag) continue;
    if (!listeners_[event].count(listener)) continue;
    listener.callback(event, listener.context, text ? text : u"", info);
  }
}

bool CMediaLibrary::WantsValueRemoved(DWORD tag) {
  CLibraryLock lock(this);
  for (const Listener& listener : listeners_[LIBEVENT_VALUE_REMOVED]) {
    if (listener.tagFilter == 0 || listener.tagFilter == tag) return true;
  }
  return false;
}

void CMediaLibrary::OnValueRemoved(DWORD tag, DWORD instance, LPCWSTR value) {
  LIBEVENTINFO info{};
  info.size = sizeof info;
  info.tag = tag;
  info.instance = instance;
  info.valueText = value;
  RaiseEvent(LIBEVENT_VALUE_REMOVED, u"", &info);
}
