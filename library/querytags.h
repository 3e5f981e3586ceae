// The query item's vocabulary: the parameter tags (numbers 30001 to 30013) that ride beside a
// query's conditions, the flag word, the validity modes and the callbacks. Included by the
// program and by plug-ins that query the library.
#pragma once
#include <unknwn.h>
#include <windows.h>

#include <cstring>

#include "mediaitem.h"

// Integer instances: 1 value tag, 2 flags, 3 validity mode, 4 item limit, 5 maximum total length,
// 6 maximum total size, 7 second tag of compound texts.
#define QTAG_PARAMS 0x80027531u
#define QPARAM_VALUE_TAG 1
#define QPARAM_FLAGS 2
#define QPARAM_VALIDITY 3
#define QPARAM_LIMIT 4
#define QPARAM_MAX_LENGTH 5
#define QPARAM_MAX_SIZE 6
#define QPARAM_SECOND_TAG 7
// QTAG_OPERATOR and QTAG_MISSING: see tagids.h.
#define QTAG_MARKED_TAGS 0x80027533u   // on library items: tag ids taken out of conditions
#define QTAG_VALUE_PIECES 0x80017535u  // string instances 0-5: literal pieces of compound texts
#define QTAG_GROUPS 0x8005753Au        // blob instances: arrays of 32-bit condition tag ids (OR)
#define QTAG_EXTRA_COLUMN 0x8002753Bu  // instance 0: string tag preloaded with QFLAG_PRELOAD

// Callbacks and their context words are addresses, so they travel pointer-sized: each instance
// holds the address in the first bytes of a 16-byte GUID value (SetQueryPointer below).
#define QTAG_PREFILTER TAG_MULTI_ID(30006, TAG_TYPE_GUID)
#define QTAG_PREFILTER_CONTEXT TAG_MULTI_ID(30007, TAG_TYPE_GUID)
#define QTAG_POSTFILTER TAG_MULTI_ID(30008, TAG_TYPE_GUID)
#define QTAG_POSTFILTER_CONTEXT TAG_MULTI_ID(30009, TAG_TYPE_GUID)
#define QTAG_CANCEL_CALLBACK TAG_MULTI_ID(30012, TAG_TYPE_GUID)  // instance 1
#define QTAG_CANCEL_CONTEXT TAG_MULTI_ID(30013, TAG_TYPE_GUID)   // instance 1

// Flag word (QPARAM_FLAGS).
#define QFLAG_MARKED 0x1             // apply QTAG_MARKED_TAGS
#define QFLAG_RANDOM 0x2             // QueryMedia: random order
#define QFLAG_INVERT 0x4             // every candidate that does not match
#define QFLAG_EMPTY_SECOND_MISSING 0x8  // QueryValues: an empty second text counts as missing
#define QFLAG_WITH_MISSING 0x10      // QueryValues: an empty text for items lacking the tag
#define QFLAG_PRELOAD 0x20           // QueryMedia: preload QTAG_EXTRA_COLUMN
#define QFLAG_DATE_YEAR 0x40         // QueryValues on a date tag: group by these parts
#define QFLAG_DATE_MONTH 0x80
#define QFLAG_DATE_DAY 0x100
#define QFLAG_DATE_HOUR 0x200
#define QFLAG_DATE_MINUTE 0x400
#define QFLAG_DATE_SECOND 0x800

// Validity modes (QPARAM_VALIDITY): the least `valid` of a candidate entry.
#define QVALID_ALL 1        // 0 and up: also entries found missing this run
#define QVALID_PRESENT 2    // 1 and up (the default)
#define QVALID_SCAN_WAIT 3  // the scan's mark; E_PENDING while no scan generation is ready
#define QVALID_SCAN_READY 4
#define QVALID_SCAN 5       // the scan's mark
#define QVALID_ANY 6        // -100000 and up

// The operator code's negation bit.
#define QOP_NOT 0x10000

// Pre-filter: 1 no opinion; negative cancels the query; otherwise the row is taken into the
// result when *answer is non-zero and dropped when it is zero.
typedef int (*QueryPreFilter)(IMediaItem* item, DWORD_PTR context, DWORD* answer);
// Post-filter: *keep is 1 on entry; 0 with *keep cleared drops the row; negative cancels.
typedef int (*QueryPostFilter)(IMediaItem* item, DWORD_PTR context, DWORD* keep);
// Cancel callback, polled from a watcher thread as (1, context, 0, 0, &answer, &answerSize):
// non-zero means ask again later; zero with *answer non-zero cancels the query.
typedef int (*QueryCancelCallback)(DWORD code, DWORD_PTR context, DWORD_PTR reserved1, DWORD_PTR reserved2,
                                   DWORD* answer, DWORD* answerSize);

// Stores an address (a callback or a context) as instance `instance` of a pointer tag.
inline HRESULT SetQueryPointer(IMediaItem* query, DWORD tag, DWORD instance, const void* address) {
  if (!query) return E_POINTER;
  BYTE bytes[sizeof(GUID)] = {};
  static_assert(sizeof(address) <= sizeof(GUID), "an address must fit a GUID value");
  std::memcpy(bytes, &address, sizeof(address));
  return query->SetInstance(tag, instance, bytes, sizeof(bytes));
}

template <typename Function>
HRESULT SetQueryCallback(IMediaItem* query, DWORD tag, DWORD instance, Function function) {
  return SetQueryPointer(query, tag, instance, reinterpret_cast<const void*>(function));
}

// The address stored by SetQueryPointer; false (and null) when the instance is absent.
inline bool GetQueryPointer(IMediaItem* query, DWORD tag, DWORD instance, void** address) {
  *address = nullptr;
  BYTE bytes[sizeof(GUID)] = {};
  DWORD size = sizeof(bytes);
  if (!query || FAILED(query->GetInstance(tag, instance, bytes, &size)) || size != sizeof(bytes)) return false;
  std::memcpy(address, bytes, sizeof(*address));
  return true;
}
