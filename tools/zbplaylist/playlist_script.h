// CPlaylistScript: runs a script of playlist operations on the current device, one command a
// line, and keeps the trace of what the views received with each command's result. zbplaylist
// prints it; the playlist tests compare it line by line.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "playlist.h"
#include "script_core.h"
#include "trace_sink.h"

class CPlaylistScript {
 public:
  // Installs the trace as the process's view sink until destroyed.
  CPlaylistScript();
  ~CPlaylistScript();
  CPlaylistScript(const CPlaylistScript&) = delete;
  CPlaylistScript& operator=(const CPlaylistScript&) = delete;

  // Runs the lines in order; false at the first bad line, with the reason in Error().
  bool Run(std::string_view script);
  const std::string& Output() const { return output_; }
  const std::string& Error() const { return error_; }
  // Entries, current index and history as "list" prints them.
  std::string Listing() const;

  CPlaylist& Playlist() { return *playlist_; }
  CScriptCore& Core() { return core_; }

  using Args = std::vector<std::u16string>;

 private:
  struct Command;
  static const Command kCommands[];

  bool RunLine(const std::string& line);
  void Result(LONGLONG value);

  void View(const Args& args);
  void Unview(const Args& args);
  void Dead(const Args& args);
  void Insert(const Args& args);
  void Add(const Args& args);
  void Folder(const Args& args);
  void Remove(const Args& args);
  void Move(const Args& args);
  void Reorder(const Args& args);
  void Info(const Args& args);
  void Current(const Args& args);
  void Batch(const Args& args);
  void Clear(const Args& args);
  void Title(const Args& args);
  void Fill(const Args& args);
  void Switch(const Args& args);
  void Advance(const Args& args);
  void Next(const Args& args);
  void Previous(const Args& args);
  void Peek(const Args& args);
  void ClearHistory(const Args& args);
  void Seed(const Args& args);
  void MakeFile(const Args& args);
  void MakeFolder(const Args& args);
  void Read(const Args& args);
  void Tag(const Args& args);
  void Types(const Args& args);
  void Request(const Args& args);
  void Validate(const Args& args);
  void Mark(const Args& args);
  void List(const Args& args);

  int Number(const std::u16string& text) const;

  std::string output_;
  std::string error_;
  CScriptCore core_;
  CTraceSink sink_;
  std::unique_ptr<CPlaylist> playlist_;
};
