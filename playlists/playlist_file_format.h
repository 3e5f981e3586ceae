// What the playlist reader decides before it reads: the layout of a file (by its ending, else by
// its text) with the encoding that goes with it, and the ASX text prepared for its two readers.
// Shared by the reader's files (playlist_file_reader.cpp and its neighbours).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// Layouts; the first four are also the formats of CPlaylist::ParseTextLine.
enum PlaylistFileFormat {
  PLAYLIST_FORMAT_NONE = 0,
  PLAYLIST_FORMAT_PLS = 1,
  PLAYLIST_FORMAT_M3U = 2,
  PLAYLIST_FORMAT_PLT = 3,
  PLAYLIST_FORMAT_ASX = 4,
  PLAYLIST_FORMAT_XML = 5,
};

// Encoding codes of the text-file routine and the setting playlistDefEncoding.
constexpr int kEncoding1252 = -1;
constexpr int kEncodingUtf8 = -2;

// A line of this many characters or more ends the reading of a file; buffers handed to
// ParseTextLine hold this many characters.
constexpr int kPlaylistLineChars = 1040;

// The binary PLT list: a 25-character UTF-16 header, an entry count, and one 524-byte record of a
// zero-padded UTF-16 path per entry (the reader and the writer).
constexpr char16_t kPltHeader[] = u"withMP3 Playlist File 1.1";
constexpr size_t kPltHeaderChars = sizeof(kPltHeader) / sizeof(kPltHeader[0]) - 1;
constexpr size_t kPltCountOffset = kPltHeaderChars * 2;
constexpr size_t kPltFirstRecord = kPltCountOffset + 4;
constexpr size_t kPltRecordChars = 262;
constexpr size_t kPltRecordBytes = kPltRecordChars * 2;

struct PlaylistFileKind {
  int format = PLAYLIST_FORMAT_NONE;
  int encoding = 0;
};

// The layout by the endings of the path and of the name the text was found under, the encoding
// starting from `defaultEncoding`; format NONE when no ending decides.
PlaylistFileKind PlaylistKindFromEndings(LPCWSTR path, LPCWSTR sourceName, int defaultEncoding);
// The layout of a text no ending decided, from its first characters.
int PlaylistFormatFromText(std::u16string_view text);

// Whether an ASX text names UTF-8 in its <Param Name="Encoding" Value="UTF-8...">.
bool AsxDeclaresUtf8(LPCWSTR text);
// An ASX text written on one line gets each tag (not closing tags) on a line of its own.
void SplitOneLineAsx(std::u16string& text);
// Every "&" that does not begin a character reference becomes "&amp;", so that the URLs of an
// ASX reach the XML parser whole.
std::u16string EscapeBareAmpersands(std::u16string_view text);

// scheme "://" rest, any scheme.
bool IsUrlPath(std::u16string_view path);
