// CPlaylist: the ordered list of things to play, its current entry and the play history that
// shuffle walks. Every change is told to the registered view windows (playlist_messages.h) while
// it happens; all of it runs on the user-interface thread.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "medialist.h"
#include "playlist_core.h"
#include "playlist_file_format.h"
#include "playlist_item.h"
#include "playlist_messages.h"
#include "shuffle_draw.h"

struct FeedItem;

class CPlaylist {
 public:
  explicit CPlaylist(IPlaylistCore* core);
  ~CPlaylist();
  CPlaylist(const CPlaylist&) = delete;
  CPlaylist& operator=(const CPlaylist&) = delete;

  IPlaylistCore* GetCore() const { return core_; }

  // Entries.
  void Clear();
  // Index -1, or beyond the count, appends. Returns the index used, or -1 for an empty path.
  int InsertItem(LPCWSTR path, int index, LPCWSTR title, int length);
  // A playlist file is read into the list (LoadFile); anything else is appended.
  int AddPath(LPCWSTR path);
  // The media files of a folder (level 0: that folder alone; 1: with its subfolders), sorted by
  // path; the index of the first entry added, or -1.
  int AddFolder(LPCWSTR folder, int level, int insertAt, LPCWSTR filter, DWORD minimumSize);
  void RemoveItem(int index);
  // Without shift the two entries change places; with shift the entry travels to `to`.
  void MoveItems(int from, int to, BOOL shift);
  // Modes 1-3 sort by display name, file name, path; 4 reverses; 5 shuffles; 6-8 sort by tags.
  void Reorder(int mode, int first, int last);

  // The current entry.
  void SetCurrentIndex(int index);
  int GetCurrentIndex() const { return current_; }
  int GetCurrentPath(std::u16string& path) const;
  int CopyCurrentPath(LPWSTR buffer, int size) const;

  // Entry information.
  int GetCount() const { return static_cast<int>(items_.size()); }
  std::u16string GetItemPath(int index) const;
  std::u16string GetItemDisplayName(int index) const;
  int GetItemLength(int index) const;
  int GetItemStatus(int index) const;
  int CountPendingItems() const;
  // Index -1 is the current entry.
  void SetItemInfo(int index, LPCWSTR path, LPCWSTR title, int length);
  void ValidateItem(int index);
  void RequestItemInfo(int index, int flag);
  void MarkItemResult(int index, BOOL giveUp);

  // Next-item choice (shuffle, repeat, history).
  int ChooseNext(IPlaylistCore* core, BOOL manual, int& current, int& position, BOOL& changed);
  int Next(BOOL manual);
  int PeekAhead(int steps, LPWSTR buffer, int size);
  int Previous();
  void ClearHistory();
  void TrimHistory(int& position, float fraction, int current);
  void PruneHistory(int& position);
  const std::vector<int>& GetHistory() const { return history_; }
  int GetHistoryPosition() const { return position_; }

  // Views.
  void AddView(HWND view);
  void RemoveView(HWND view);
  LRESULT Notify(UINT message, WPARAM wParam, LPARAM lParam);
  void SetBatching(BOOL on);
  LRESULT FillView(HWND view);
  int GetTopIndex();
  int GetVisibleCount();
  void ScrollTo(int top, int count);
  void SendCommand(int code);
  const std::u16string& GetTitle() const { return title_; }
  void SetTitle(LPCWSTR title);

  // The media library's view of the list.
  HRESULT AppendMediaList(IMediaList* list);
  HRESULT ExportToMediaList(IPlaylistCore* core, IMediaList** list);

  // Playlist files (playlist_file_reader.cpp): the entries of the file at `path` are appended;
  // `sourceName` is the name its text was found under (the URL of a download), null for the path.
  // The index of the first entry added, or -1.
  int LoadFile(LPCWSTR path, LPCWSTR sourceName);
  // One line of a line format (PLAYLIST_FORMAT_*) in a buffer of kPlaylistLineChars, rewritten in
  // place: 1 an entry's resolved path, -1 a title (possibly empty) with *length, 0 nothing.
  static int ParseTextLine(LPCWSTR base, LPWSTR line, int format, int* length);
  // A playlist file, or a URL the core downloads, read in place of the entry at `insertAt` (-1:
  // appended). 1 when entries were read, else 0.
  int LoadFromPathOrUrl(LPCWSTR path, int insertAt, IPlaylistCore* core);
  // Writes the entries to `path` in the layout its ending names (WritePlaylistFile); 1 when written.
  int SaveFile(LPCWSTR path);
  // Binding (playlist_binding.cpp): a savable playlist file the list is written back to, the
  // Local Content key "-", or nothing (empty). The title follows the name.
  void SetFileName(LPCWSTR name);
  const std::u16string& GetFileName() const { return fileName_; }
  // Writes the entries back to the bound playlist file when they changed since.
  void SaveBoundFile();
  // The main playlist across runs (playlist_state.cpp): "\current.dat" beside the program and the
  // switches, binding, title and current entry in the settings key. SaveState returns the result
  // of closing the key.
  LONG SaveState();
  void RestoreState();

  // The entries of a parsed feed document, its title becoming the playlist's; the first index or -1.
  int AppendFeedItems(LPCWSTR title, const std::vector<FeedItem>& items);

 private:
  bool IsValid(int index) const { return index >= 0 && index < GetCount(); }
  void SendCurrent() { Notify(PLM_CURRENT, static_cast<WPARAM>(current_), 0); }
  void HistoryChanged() { draw_.Invalidate(); }
  // At the end of a shuffle round: prune, and with repeat trim the history for the next round.
  void EndRound(BOOL repeat, int& position, int current);
  void SortRange(int mode, int first, int last);
  void AddFolderFiles(const std::u16string& folder, int level, int insertAt, const std::u16string& filter,
                      DWORD minimumSize, int& first, int& added);
  // Steps of the playlist reader.
  int ReadPlaylistFile(LPCWSTR path, LPCWSTR sourceName);
  int ReadTextLines(const std::u16string& text, LPCWSTR base, int format);
  int ReadPltFile(LPCWSTR path);
  bool ReadFeed(const std::u16string& text, LPCWSTR source, int& first);
  int DownloadAndRead(LPCWSTR url, IPlaylistCore* core);
  void ReplaceEntryWithRead(int index, int firstRead);

  IPlaylistCore* core_;
  BOOL batching_ = FALSE;
  std::vector<int> held_;  // PLM_ITEMCHANGED indices held back while batching
  std::vector<PlaylistItem> items_;
  int current_ = -1;
  std::vector<int> history_;  // entry indices in play order
  int position_ = 0;  // history slots played; slot position-1 is the current entry
  std::vector<HWND> views_;
  std::u16string title_;
  std::u16string fileName_;
  bool boundChanged_ = false;  // entries changed since the bound file was read or written
  CShuffleDraw draw_;
};

// Names a playlist is bound to.
void GetLocalContentKey(std::u16string& out);
bool IsLocalContentKey(LPCWSTR name);
// "Local Content" for the Local Content key, else empty.
std::u16string GetSpecialPlaylistName(LPCWSTR name);
// A name beginning with "\" that is no ".pspl" query.
bool IsSavablePlaylistPath(LPCWSTR name);
// The program's folder + "\" + name, through the device's own idea of that folder.
std::u16string ProgramFilePath(LPCWSTR name);

// The shuffle's random source: rand, seeded from the tick count at its first use.
int GetShuffleRandom();
