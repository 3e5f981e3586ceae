// CMediaLibrary: the player's one media library object. It owns the database connection, the
// library lock, the mode word that groups writes into transactions, the purge worker, the error
// policy and log, and the event listeners; the player core creates, starts and closes it.
#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "com_object.h"
#include "medialibrary.h"
#include "sql_database.h"
#include "sql_functions.h"

struct DecModule;
struct IStream;
class CLibraryItem;
class CTagValue;

// Tag storage's prepared statements: slots 1 to 40, most of them empty.
constexpr int kTagStatementSlots = 40;

// Mode bits (ChangeMode).
#define LIBMODE_HOLD 0x01
#define LIBMODE_TEMP_TAGS 0x02
#define LIBMODE_SUSPENDED 0x04
#define LIBMODE_PLAYLIST 0x08
#define LIBMODE_SCAN 0x10
#define LIBMODE_BULK 0x20
#define LIBMODE_BUSY 0x10000000

// Service entries live under this source prefix; OpenItem refuses it.
constexpr WCHAR kServiceItemPrefix[] = u"zblc.svc.";

// What the library asks of the Local Content scan: its pass number and the mark that scanned
// entries get, and three notifications.
interface ILibraryScanSink : public IUnknown {
  STDMETHOD_(DWORD, GetScanPass)() PURE;
  STDMETHOD_(LONG, GetMark)() PURE;
  STDMETHOD_(void, Reserved)() PURE;
  STDMETHOD_(void, OnLibraryOpened)() PURE;
  STDMETHOD_(void, OnLibraryAvailable)() PURE;
  STDMETHOD_(void, OnLibraryUnavailable)() PURE;
};

// MoveLibrary's progress report: percent 0 to 100.
using LibraryMoveProgress = void (*)(int percent, void* context);

class CMediaLibrary : public CComObject<IMediaLibrary>, private ISqlErrorSink, private ISqlFunctionHost {
  // The query engine reads the scan's mark and silences the error log for reads it cuts short.
  friend class CQueryRun;

 public:
  // The instance holds the schema scripts; the scan sink (may be null) is referenced.
  CMediaLibrary(HMODULE instance, ILibraryScanSink* scanSink);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  // IMediaLibrary
  STDMETHODIMP GetStatus(MEDIALIBRARYSTATUS* status) override;
  STDMETHODIMP ItemExists(LPCWSTR source) override;
  STDMETHODIMP OpenItem(LPCWSTR source, DWORD form, DWORD disposition, IMediaItem** item) override;
  STDMETHODIMP StoreItem(IMediaItem* item) override;
  STDMETHODIMP DeleteItems(LPCWSTR pattern) override;
  STDMETHODIMP OpenServiceItem(LPCWSTR name, IMediaItem** item, BOOL* created) override;
  STDMETHODIMP DeleteServiceItem(LPCWSTR name) override;
  STDMETHODIMP CreateItem(IMediaItem** item) override;
  STDMETHODIMP QueryValues(IMediaItem* query, IMediaResult** result) override;
  STDMETHODIMP QueryMedia(IMediaItem* query, IMediaList** result) override;
  STDMETHODIMP Advise(DWORD event, DWORD tagFilter, LibraryEventListener callback, DWORD_PTR context) override;
  STDMETHODIMP Unadvise(DWORD event, DWORD tagFilter, LibraryEventListener callback, DWORD_PTR context) override;

  // The library lock (recursive). The owner thread's last Unlock carries out a pending close.
  void Lock();
  void Unlock();

  // Opens the database at `path` (a device path) and starts the worker; S_OK when it opened.
  HRESULT Start(LPCWSTR path, int dataVersion);
  // Stops the worker and ends every batch; compacts when asked and allowed. The connection
  // closes when the object goes.
  void Close(BOOL compact);
  void Reopen();
  // Moves the database file to `newPath` and reopens it there; 1 on success.
  int MoveLibrary(LPCWSTR newPath, LibraryMoveProgress progress, void* context);
  // Sets and clears mode bits; E_FAIL when a batch that ended could not be committed.
  HRESULT ChangeMode(DWORD set, DWORD clear);
  bool IsBusy();
  void SetMemoryLimit(DWORD bytes);
  void SetCompactAtExit(bool compact) { compactAtExit_ = compact; }
  void SetLogFile(LPCWSTR path);
  void AddKeptTag(DWORD tag);
  void RemoveKeptTag(DWORD tag);
  void AddOverridingTag(DWORD tag);

  HRESULT FindItem(LPCWSTR source, IMediaItem** item, DWORD flag);
  HRESULT LoadItem(LPCWSTR source, IMediaItem* item);
  HRESULT NeedsUpdate(LPCWSTR source, const DecModule* decoder, DWORD mode, const WIN32_FIND_DATAW* fileInfo,
                      BOOL* needed);
  HRESULT InvalidateAll(BOOL force);
  HRESULT MarkValid(LPCWSTR source, BOOL isFolder);
  HRESULT MarkInvalid(LPCWSTR source, BOOL isFolder);
  HRESULT AgeEntries();
  void RaiseEvent(DWORD event, LPCWSTR text, const LIBEVENTINFO* info);

  // Tag storage (tag_storage_*.cpp). `item` names the entry in the events when given.
  HRESULT StoreEntry(IMediaItem* item);
  HRESULT LoadEntry(DWORD mid, IMediaItem* item);
  // The value of one tag of the entry; an empty value (id 0) when absent or of another type.
  CTagValue GetTagValue(DWORD mid, DWORD tag, DWORD instance);
  // S_OK when the value was written; E_FAIL when it could not be (no connection, writes
  // suspended, a failed statement, a blob without bytes).
  HRESULT SetTagValue(DWORD mid, const CTagValue& value, BOOL notify, IMediaItem* item);
  HRESULT DeleteTag(DWORD mid, DWORD tag, DWORD instance, IMediaItem* item);
  HRESULT DeleteEntryTags(DWORD mid, IMediaItem* item);
  HRESULT CountTags(DWORD mid, DWORD* count);
  HRESULT CreateBlobTag(DWORD mid, DWORD tag, DWORD instance, IStream** stream, DWORD size, IMediaItem* item);
  HRESULT OpenBlobTag(DWORD mid, DWORD tag, DWORD instance, IStream** stream);
  // A stream on blob row `blobId` (0: a new row of `size` bytes); the blob id, 0 on failure.
  LONG OpenBlobStream(LONG blobId, IStream** stream, DWORD size, DWORD mid, DWORD tag, DWORD instance);
  // The same; `bind` runs on a new row before the stream opens it (changing the row afterwards
  // would cut the stream off); its failure fails the open.
  LONG OpenBlobStream(LONG blobId, IStream** stream, DWORD size, DWORD mid, DWORD tag, DWORD instance,
                      const std::function<bool(LONG)>& bind);
  // The stream's end: a written blob gets its size and checksum, the transaction it held ends.
  void CloseBlobStream(LONG blobId, bool written, DWORD size, DWORD crc, DWORD mid, DWORD tag, DWORD instance);
  // The blob row holding exactly these bytes, inserted when there is none; 0 when none can be had.
  LONG FindOrInsertBlob(const void* bytes, DWORD size, DWORD crc);
  // Reads row `blobId` whole; false when there is no such row.
  bool ReadBlobRow(LONG blobId, std::vector<BYTE>* bytes);

  // The live item registry (live_items.cpp).
  IMediaItem* OpenBoundItem(DWORD mid, LPCWSTR source, DWORD flag);
  IMediaItem* OpenBoundItemWithText(DWORD mid, LPCWSTR source, DWORD tag, LPCWSTR text, DWORD flag);
  bool RegisterItem(CLibraryItem* item);
  void UnregisterItem(CLibraryItem* item);
  void NotifyItemsOfRow(DWORD mid, IMediaItem* except);
  // The item of a row a query listed earlier (CListedRows), made now whether or not the database
  // is still open, as the query would have made it then; `text` (or null) is preset for `tag`.
  IMediaItem* OpenListedItem(DWORD mid, LPCWSTR source, DWORD tag, LPCWSTR text);
  // How many times rows were changed under live items: a listed row's preset text holds only
  // while this stays the same.
  LONG RowChanges() const { return rowChanges_.load(); }
  std::u16string GetSourceByMid(DWORD mid);

  // The database path in use (a device path), and the connection: use both under the lock.
  const std::u16string& DatabasePath() const { return path_; }
  CSqlDatabase* Database() { return db_.get(); }
  DWORD Mode() const { return mode_; }
  bool WriteSuspended() const { return writeSuspended_; }

 protected:
  ~CMediaLibrary() override;

 private:
  struct Listener {
    std::array<BYTE, sizeof(DWORD) + sizeof(LibraryEventListener) + sizeof(DWORD_PTR)> key;
    DWORD tagFilter;
    LibraryEventListener callback;
    DWORD_PTR context;
    bool operator<(const Listener& other) const { return key < other.key; }
  };
  static Listener MakeListener(DWORD tagFilter, LibraryEventListener callback, DWORD_PTR context);

  // ISqlErrorSink: the library's error policy and log.
  void ReportError(int code, LPCWSTR message, LPCWSTR sqlText) override;
  void ReportErrorA(int code, const char* message, const char* sqlText) override;
  void WriteLog(int code, std::u16string_view message, std::u16string_view sqlText);
  // ISqlFunctionHost
  void OnBlobRemoved(LONG blobId, const void* bytes, DWORD size, DWORD crc) override;
  bool WantsValueRemoved(DWORD tag) override;
  void OnValueRemoved(DWORD tag, DWORD instance, LPCWSTR value) override;

  bool OpenDatabase(bool maintenance);
  void PrepareStatements();
  void FinalizeStatements();
  CSqlStatement* Statement(int slot);
  // The statement of one changing SQL text, compiled once per connection.
  CSqlStatement* Cached(const std::u16string& sql);
  HRESULT WriteValue(DWORD mid, const CTagValue& value);
  void RaiseTagEvent(DWORD mid, IMediaItem* item, DWORD kind, DWORD tag, DWORD instance, DWORD blobSize);
  bool Listens(DWORD event, DWORD tag);
  HRESULT AskDecoderForUpdate(const DecModule* decoder, LPCWSTR source, DWORD mode, const WIN32_FIND_DATAW* fileInfo,
                              BOOL* needed);
  // One changing statement, bound by `bind`, in a transaction: the rows changed or negative.
  int ExecChange(LPCWSTR sql, const std::function<void(CSqlStatement&)>& bind);
  HRESULT SetMark(LPCWSTR source, BOOL isFolder, bool valid);
  LONG ScanMark();
  DWORD ScanPass();
  void EndBatches(DWORD* ended);
  HRESULT ApplyModeBit(DWORD bit, bool on, DWORD newMode);

  // The purge worker and the analysis thread.
  static DWORD WINAPI WorkerMain(LPVOID self);
  static DWORD WINAPI AnalysisMain(LPVOID self);
  DWORD PurgePass(DWORD timeout);
  bool StartAnalysis();
  void StopWorker();
  void JoinAnalysis();

  bool pendingClose_ = false;
  bool closed_ = false;
  bool opening_ = false;  // the open's recovery deals with failures, not the error policy
  LONG lockDepth_ = 0;
  DWORD ownerThread_ = 0;
  CRITICAL_SECTION lock_;
  std::u16string path_;
  int dataVersion_ = 7;
  LONG invalidations_ = 0;
  std::unique_ptr<CSqlDatabase> db_;
  bool writeSuspended_ = false;
  ILibraryScanSink* scanSink_;
  DWORD mode_ = 0;
  bool loggingOn_ = true;
  bool compactAtExit_ = false;
  HANDLE log_ = INVALID_HANDLE_VALUE;
  std::set<DWORD> keptTags_;
  std::set<DWORD> overridingTags_;
  CRITICAL_SECTION registryLock_;
  // Hashed: a query's list opens and releases one item per row, in any mid order.
  std::unordered_multimap<DWORD, CLibraryItem*> liveItems_;  // under registryLock_
  std::atomic<LONG> rowChanges_{0};
  std::array<CSqlStatement, kTagStatementSlots> statements_;
  std::map<std::u16string, CSqlStatement> cached_;
  HMODULE instance_;
  HANDLE stopEvent_;
  HANDLE worker_ = nullptr;
  HANDLE wakeEvent_;
  std::vector<HANDLE> analysis_;  // analysis threads not yet joined
  std::set<Listener> listeners_[LIBEVENT_COUNT];
};

// Holds the library lock for a scope.
class CLibraryLock {
 public:
  explicit CLibraryLock(CMediaLibrary* library) : library_(library) { library_->Lock(); }
  ~CLibraryLock() { library_->Unlock(); }
  CLibraryLock(const CLibraryLock&) = delete;
  CLibraryLock& operator=(const CLibraryLock&) = delete;

 private:
  CMediaLibrary* library_;
};
