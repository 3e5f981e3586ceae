// The script language: one command a line with its arguments (double quotes keep spaces, "-"
// stands for "none"), '#' starts a comment. Each command is echoed, followed by what the views
// received while it ran and its result.
#include "playlist_script.h"

#include <cstdlib>

#include "script_text.h"
#include "tagnames.h"

namespace {

struct ScriptError {
  std::string message;
};

// Splits at spaces; "..." is one argument without its quotes, and may be empty.
std::vector<std::u16string> SplitArguments(const std::u16string& line) {
  std::vector<std::u16string> args;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == u' ' || line[i] == u'\t') {
      ++i;
      continue;
    }
    std::u16string arg;
    if (line[i] == u'"') {
      const size_t end = line.find(u'"', i + 1);
      arg = line.substr(i + 1, end == std::u16string::npos ? std::u16string::npos : end - i - 1);
      i = end == std::u16string::npos ? line.size() : end + 1;
    } else {
      const size_t end = line.find_first_of(u" \t", i);
      arg = line.substr(i, end == std::u16string::npos ? std::u16string::npos : end - i);
      i = end == std::u16string::npos ? line.size() : end;
    }
    args.push_back(arg);
  }
  return args;
}

LPCWSTR OrNull(const std::u16string& text) { return text == u"-" ? nullptr : text.c_str(); }

bool OnOff(const std::u16string& text) {
  if (text == u"on") return true;
  if (text == u"off") return false;
  throw ScriptError{"expected on or off, not '" + ToUtf8(text) + "'"};
}

}  // namespace

// Arguments counted after the command's own name.
struct CPlaylistScript::Command {
  const char* name;
  size_t minArgs;
  size_t maxArgs;
  const char* usage;
  void (CPlaylistScript::*run)(const Args& args);
};

namespace {

using Script = CPlaylistScript;
constexpr size_t kMany = 64;

}  // namespace

const CPlaylistScript::Command CPlaylistScript::kCommands[] = {
    {"view", 1, 1, "view N", &Script::View},
    {"unview", 1, 1, "unview N", &Script::Unview},
    {"dead", 1, 1, "dead N", &Script::Dead},
    {"insert", 1, 4, "insert PATH [INDEX [TITLE|- [LENGTH]]]", &Script::Insert},
    {"add", 1, 1, "add PATH", &Script::Add},
    {"folder", 1, 5, "folder PATH [LEVEL [AT [FILTER|- [MINSIZE]]]]", &Script::Folder},
    {"remove", 1, 1, "remove INDEX", &Script::Remove},
    {"move", 2, 3, "move FROM TO [shift]", &Script::Move},
    {"reorder", 1, 3, "reorder MODE [FIRST [LAST]]", &Script::Reorder},
    {"info", 2, 4, "info INDEX PATH [TITLE|- [LENGTH]]", &Script::Info},
    {"current", 1, 1, "current INDEX", &Script::Current},
    {"batch", 1, 1, "batch on|off", &Script::Batch},
    {"clear", 0, 0, "clear", &Script::Clear},
    {"title", 1, 1, "title TEXT", &Script::Title},
    {"fill", 1, 1, "fill N", &Script::Fill},
    {"shuffle", 1, 1, "shuffle on|off", &Script::Switch},
    {"repeat", 1, 1, "repeat on|off", &Script::Switch},
    {"advance", 1, 1, "advance manual|auto", &Script::Advance},
    {"next", 0, 1, "next [manual]", &Script::Next},
    {"previous", 0, 0, "previous", &Script::Previous},
    {"peek", 1, 1, "peek STEPS", &Script::Peek},
    {"clearhistory", 0, 0, "clearhistory", &Script::ClearHistory},
    {"seed", 1, 1, "seed N", &Script::Seed},
    {"file", 1, 2, "file PATH [SIZE]", &Script::MakeFile},
    {"mkdir", 1, 1, "mkdir PATH", &Script::MakeFolder},
    {"read", 3, 3, "read PATH TITLE LENGTH", &Script::Read},
    {"tag", 2, kMany, "tag PATH NAME=VALUE...", &Script::Tag},
    {"types", 1, 1, "types PATTERNS", &Script::Types},
    {"request", 1, 2, "request INDEX [FLAG]", &Script::Request},
    {"validate", 1, 1, "validate INDEX", &Script::Validate},
    {"mark", 2, 2, "mark INDEX giveup|retry", &Script::Mark},
    {"list", 0, 0, "list", &Script::List},
};

CPlaylistScript::CPlaylistScript() : sink_(output_) {
  core_.log = &output_;
  SetPlaylistViewSink(&sink_);
  playlist_ = std::make_unique<CPlaylist>(&core_);
}

CPlaylistScript::~CPlaylistScript() {
  playlist_.reset();
  SetPlaylistViewSink(nullptr);
}

bool CPlaylistScript::Run(std::string_view script) {
  int number = 0;
  while (!script.empty()) {
    const size_t end = script.find('\n');
    std::string line(script.substr(0, end));
    script.remove_prefix(end == std::string_view::npos ? script.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!RunLine(line)) {
      error_ = "line " + std::to_string(number) + ": " + error_;
      return false;
    }
  }
  return true;
}

bool CPlaylistScript::RunLine(const std::string& line) {
  std::string text = line.substr(0, line.find('#'));
  text.erase(text.find_last_not_of(" \t") + 1);
  Args args = SplitArguments(FromUtf8(text));
  if (args.empty()) return true;
  const std::string name = ToUtf8(args[0]);
  for (const Command& command : kCommands) {
    if (name != command.name) continue;
    if (args.size() - 1 < command.minArgs || args.size() - 1 > command.maxArgs) {
      error_ = std::string("usage: ") + command.usage;
      return false;
    }
    output_ += "> " + text.substr(text.find_first_not_of(" \t")) + "\n";
    try {
      (this->*command.run)(args);
    } catch (const ScriptError& failure) {
      error_ = failure.message;
      return false;
    }
    return true;
  }
  error_ = "unknown command '" + name + "'";
  return false;
}

int CPlaylistScript::Number(const std::u16string& text) const {
  char16_t* end = nullptr;
  const LONG value = wcstol(text.c_str(), &end, 0);
  if (text.empty() || *end != 0) throw ScriptError{"not a number: '" + ToUtf8(text) + "'"};
  return value;
}

void CPlaylistScript::Result(LONGLONG value) { output_ += "  -> " + std::to_string(value) + "\n"; }

void CPlaylistScript::View(const Args& args) { playlist_->AddView(ViewHandle(Number(args[1]))); }

void CPlaylistScript::Unview(const Args& args) { playlist_->RemoveView(ViewHandle(Number(args[1]))); }

void CPlaylistScript::Dead(const Args& args) { sink_.SetDead(ViewHandle(Number(args[1])), true); }

void CPlaylistScript::Insert(const Args& args) {
  const int index = args.size() > 2 ? Number(args[2]) : -1;
  const LPCWSTR title = args.size() > 3 ? OrNull(args[3]) : nullptr;
  const int length = args.size() > 4 ? Number(args[4]) : -2;
  Result(playlist_->InsertItem(args[1].c_str(), index, title, length));
}

void CPlaylistScript::Add(const Args& args) { Result(playlist_->AddPath(args[1].c_str())); }

void CPlaylistScript::Folder(const Args& args) {
  const int level = args.size() > 2 ? Number(args[2]) : 0;
  const int at = args.size() > 3 ? Number(args[3]) : -1;
  const LPCWSTR filter = args.size() > 4 ? OrNull(args[4]) : nullptr;
  const DWORD minimum = args.size() > 5 ? static_cast<DWORD>(Number(args[5])) : 0;
  Result(playlist_->AddFolder(args[1].c_str(), level, at, filter, minimum));
}

void CPlaylistScript::Remove(const Args& args) { playlist_->RemoveItem(Number(args[1])); }

void CPlaylistScript::Move(const Args& args) {
  if (args.size() > 3 && args[3] != u"shift") throw ScriptError{"expected shift"};
  playlist_->MoveItems(Number(args[1]), Number(args[2]), args.size() > 3);
}

void CPlaylistScript::Reorder(const Args& args) {
  const int first = args.size() > 2 ? Number(args[2]) : 0;
  const int last = args.size() > 3 ? Number(args[3]) : -1;
  playlist_->Reorder(Number(args[1]), first, last);
}

void CPlaylistScript::Info(const Args& args) {
  const LPCWSTR title = args.size() > 3 ? OrNull(args[3]) : nullptr;
  const int length = args.size() > 4 ? Number(args[4]) : -2;
  playlist_->SetItemInfo(Number(args[1]), args[2].c_str(), title, length);
}

void CPlaylistScript::Current(const Args& args) { playlist_->SetCurrentIndex(Number(args[1])); }

void CPlaylistScript::Batch(const Args& args) { playlist_->SetBatching(OnOff(args[1])); }

void CPlaylistScript::Clear(const Args&) { playlist_->Clear(); }

void CPlaylistScript::Title(const Args& args) { playlist_->SetTitle(args[1].c_str()); }

void CPlaylistScript::Fill(const Args& args) { playlist_->FillView(ViewHandle(Number(args[1]))); }

void CPlaylistScript::Switch(const Args& args) {
  (args[0] == u"shuffle" ? core_.shuffle : core_.repeat) = OnOff(args[1]);
}

void CPlaylistScript::Advance(const Args& args) {
  if (args[1] != u"manual" && args[1] != u"auto") throw ScriptError{"expected manual or auto"};
  core_.manualAdvance = args[1] == u"manual";
}

void CPlaylistScript::Next(const Args& args) {
  if (args.size() > 1 && args[1] != u"manual") throw ScriptError{"expected manual"};
  Result(playlist_->Next(args.size() > 1));
}

void CPlaylistScript::Previous(const Args&) { Result(playlist_->Previous()); }

void CPlaylistScript::Peek(const Args& args) {
  WCHAR path[MAX_PATH];
  Result(playlist_->PeekAhead(Number(args[1]), path, MAX_PATH));
  output_ += "  peeked " + ToUtf8(path) + "\n";
}

void CPlaylistScript::ClearHistory(const Args&) { playlist_->ClearHistory(); }

void CPlaylistScript::Seed(const Args& args) {
  GetShuffleRandom();  // the first draw seeds from the clock; the script's seed replaces it
  std::srand(static_cast<unsigned>(Number(args[1])));
}

void CPlaylistScript::MakeFile(const Args& args) {
  HANDLE file = CreateFileW(args[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw ScriptError{"cannot create " + ToUtf8(args[1])};
  const int size = args.size() > 2 ? Number(args[2]) : 0;
  SetFilePointer(file, size, nullptr, FILE_BEGIN);
  SetEndOfFile(file);
  CloseHandle(file);
}

void CPlaylistScript::MakeFolder(const Args& args) {
  if (!CreateDirectoryW(args[1].c_str(), nullptr)) throw ScriptError{"cannot create folder " + ToUtf8(args[1])};
}

void CPlaylistScript::Read(const Args& args) { core_.infos[args[1]] = {args[2], Number(args[3])}; }

void CPlaylistScript::Tag(const Args& args) {
  auto& tags = core_.tags[args[1]];
  for (size_t i = 2; i < args.size(); ++i) {
    const size_t equals = args[i].find(u'=');
    DWORD id = 0;
    if (equals == std::u16string::npos || FAILED(LookupTagId(args[i].substr(0, equals), &id))) {
      throw ScriptError{"expected a tag NAME=VALUE, not '" + ToUtf8(args[i]) + "'"};
    }
    tags.emplace_back(id, args[i].substr(equals + 1));
  }
}

void CPlaylistScript::Types(const Args& args) { core_.extensions = args[1]; }

void CPlaylistScript::Request(const Args& args) {
  playlist_->RequestItemInfo(Number(args[1]), args.size() > 2 ? Number(args[2]) : 0);
}

void CPlaylistScript::Validate(const Args& args) { playlist_->ValidateItem(Number(args[1])); }

void CPlaylistScript::Mark(const Args& args) {
  if (args[2] != u"giveup" && args[2] != u"retry") throw ScriptError{"expected giveup or retry"};
  playlist_->MarkItemResult(Number(args[1]), args[2] == u"giveup");
}

void CPlaylistScript::List(const Args&) { output_ += Listing(); }

std::string CPlaylistScript::Listing() const {
  std::string text;
  const CPlaylist& list = *playlist_;
  for (int i = 0; i < list.GetCount(); ++i) {
    text += (i == list.GetCurrentIndex() ? "  * " : "    ") + std::to_string(i) + " " + ToUtf8(list.GetItemPath(i));
    text += " \"" + ToUtf8(list.GetItemDisplayName(i)) + "\" " + std::to_string(list.GetItemLength(i)) + " " +
            std::to_string(list.GetItemStatus(i)) + "\n";
  }
  text += "  current " + std::to_string(list.GetCurrentIndex()) + ", history";
  for (int entry : list.GetHistory()) text += " " + std::to_string(entry);
  text += ", position " + std::to_string(list.GetHistoryPosition()) + "\n";
  return text;
}
