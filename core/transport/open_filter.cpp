// The open dialog's type filter and the specification built from its results (see
// open_filter.h). An omitted type is compared as a whole extension: omitting "m3u8" leaves the
// "*.m3u" entry in.
#include "core/transport/open_filter.h"

#include "core/modules/module_lists.h"
#include "core/player/player_core.h"
#include "core/settings/settings.h"
#include "core/transport/transport_neighbours.h"

namespace {

struct FilterEntry {
  const WCHAR* description;
  const WCHAR* pattern;
};

constexpr FilterEntry kPlaylistFormats[] = {
    {u"M3U Playlist", u"*.m3u"}, {u"M3U8 Playlist", u"*.m3u8"}, {u"PSPL Playlist", u"*.pspl"},
    {u"PLS Playlist", u"*.pls"}, {u"ASX Playlist", u"*.asx"},   {u"LST Playlist", u"*.lst"},
    {u"PLT Playlist", u"*.plt"},
};
constexpr WCHAR kSupportedTypes[] = u"All supported types";
constexpr WCHAR kPlaylistFiles[] = u"Playlist files";
constexpr WCHAR kAllFiles[] = u"All files (*.*)";
constexpr WCHAR kAllFilesPattern[] = u"*.*";
constexpr WCHAR kOpenTitle[] = u"Open file(s)";
constexpr int kBubbleOpenDialog = 130;

using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;

// The entries for the flags, in their documented order, without the omitted types.
Pairs FilterPairs(std::span<DecModule* const> decoders, DWORD flags) {
  const CSettings* settings = GetSettings();
  Pairs pairs;
  auto add = [&](std::u16string description, std::u16string pattern) {
    if (description.empty() || pattern.empty()) return;
    if (settings && settings->IsExtensionOmitted(pattern.c_str())) return;
    pairs.emplace_back(std::move(description), std::move(pattern));
  };
  auto joined = [&](DWORD innerFlags) {
    std::u16string patterns;
    for (const auto& [description, pattern] : FilterPairs(decoders, innerFlags))
      patterns += (patterns.empty() ? u"" : u";") + pattern;
    return patterns;
  };
  if (flags & OPEN_FILTER_SUPPORTED) add(kSupportedTypes, joined(OPEN_FILTER_MEDIA | OPEN_FILTER_PLAYLIST_ALL));
  if (flags & OPEN_FILTER_PLAYLIST_ALL) add(kPlaylistFiles, joined(OPEN_FILTER_PLAYLISTS));
  if (flags & OPEN_FILTER_PLAYLISTS)
    for (const FilterEntry& entry : kPlaylistFormats) add(entry.description, entry.pattern);
  if (flags & OPEN_FILTER_MEDIA) {
    // A record's filter is one pattern list; its record's description names it.
    for (DecModule* record : decoders)
      if (record && record->fileExtensions && record->description) add(record->description, record->fileExtensions);
  }
  if (flags & OPEN_FILTER_ALL_FILES) add(kAllFiles, kAllFilesPattern);
  return pairs;
}

}  // namespace

size_t BuildOpenFilterFrom(std::span<DecModule* const> decoders, DWORD flags, LPWSTR buffer) {
  std::u16string filter;
  for (const auto& [description, pattern] : FilterPairs(decoders, flags)) {
    filter.append(description).push_back(0);
    filter.append(pattern).push_back(0);
  }
  filter.push_back(0);
  if (buffer) filter.copy(buffer, filter.size());
  return filter.size();
}

size_t BuildOpenFilter(DWORD flags, LPWSTR buffer) { return BuildOpenFilterFrom(DecoderList().Snapshot(), flags, buffer); }

std::u16string UpperExtensionList(LPCWSTR filter) {
  std::u16string list;
  for (LPCWSTR text = filter; text && *text; text += wcslen(text) + 1) {
    if (*text != u'*') continue;
    list += (list.empty() ? u"" : u";") + std::u16string(text);
  }
  for (WCHAR& c : list) c = towupper(c);
  return list;
}

std::u16string FileSpec(std::span<const std::u16string> files) {
  std::u16string spec;
  for (const std::u16string& file : files)
    if (!file.empty()) spec += u"*" + file;
  return spec;
}

std::u16string FolderSpec(std::span<const std::pair<std::u16string, bool>> folders) {
  std::u16string spec;
  for (const auto& [folder, withSubfolders] : folders)
    if (!folder.empty()) spec += (withSubfolders ? u"**" : u"*?") + folder;
  return spec;
}

std::u16string ShowOpenFileDialog(int mode, HWND parent) {
  UpdateNotificationBubble(kBubbleOpenDialog);
  if (!parent) {
    CPlayerCore* core = PeekPlayerCore();
    parent = core ? core->GetMainWindow() : nullptr;
  }
  if (mode == 0) {
    const CSettings* settings = GetSettings();
    mode = settings && settings->useOpenFolder == 1 ? 2 : 1;
  }
  switch (mode) {
    case 1: {
      const DWORD flags = OPEN_FILTER_MEDIA | OPEN_FILTER_SUPPORTED | OPEN_FILTER_PLAYLIST_ALL | OPEN_FILTER_ALL_FILES;
      std::u16string filter(BuildOpenFilter(flags, nullptr), 0);
      BuildOpenFilter(flags, filter.data());
      return FileSpec(RunOpenFilesDialog(parent, filter.c_str(), kOpenTitle));
    }
    case 2:
      return FolderSpec(RunFolderChooser(parent));
    case 3:
      return RunAddUrlDialog(parent);
    default:
      return {};
  }
}
