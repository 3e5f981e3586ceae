// The Vorbis-comment tag reader: stream information and the named comments of an Ogg file into a
// media item, cover art carried in "COVERART" comments, and (when the setting asks for them) every
// other comment as an unhandled tag. It is the Ogg module's stream-information slot too.
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base64.h"
#include "core/settings/settings.h"
#include "item_instances.h"
#include "item_writer.h"
#include "ogg_comments.h"
#include "ogg_decoder.h"
#include "ogg_vorbis_file.h"
#include "source_reading.h"
#include "tag_text.h"

#define TAG_BIT_RATE TAG_ID(1005, TAG_TYPE_INT)
#define TAG_SAMPLE_RATE TAG_ID(1008, TAG_TYPE_INT)
#define TAG_CHANNELS TAG_ID(1009, TAG_TYPE_INT)
#define TAG_BITS_PER_SAMPLE TAG_ID(1010, TAG_TYPE_INT)
#define TAG_IS_VBR TAG_ID(1011, TAG_TYPE_INT)
#define TAG_ARTWORK_MIMETYPE 0x80011B5Au
#define TAG_ARTWORK_TYPE 0x80021B5Cu
#define TAG_UNHANDLED_NAME 0x80014A39u
#define TAG_UNHANDLED_DATA 0x80054A3Bu

namespace {

enum class Kind { kText, kNumber, kReal };

struct NamedComment {
  const char* name;
  DWORD tag;
  Kind kind;
};

// Looked up in this order: where several names feed one tag, the later one's value stays.
constexpr NamedComment kNamed[] = {
    {"title", 0x10007, Kind::kText},
    {"artist", 0x10005, Kind::kText},
    {"album", 0x10006, Kind::kText},
    {"albumartist", 0x10008, Kind::kText},
    {"album artist", 0x10008, Kind::kText},
    {"orchestra", 0x10008, Kind::kText},
    {"genre", 0x1000B, Kind::kText},
    {"performer", 0x10015, Kind::kText},
    {"composer", 0x10016, Kind::kText},
    {"contentgroup", 0x10019, Kind::kText},
    {"copyright", 0x1000F, Kind::kText},
    {"license", 0x10023, Kind::kText},
    {"organization", 0x10013, Kind::kText},
    {"description", 0x10021, Kind::kText},
    {"location", 0x10022, Kind::kText},
    {"contact", 0x10010, Kind::kText},
    {"tracknumber", 0x203E9, Kind::kNumber},
    {"rg_audiophile", 0x32713, Kind::kReal},
    {"replaygain_album_gain", 0x32713, Kind::kReal},
    {"rg_radio", 0x32712, Kind::kReal},
    {"replaygain_track_gain", 0x32712, Kind::kReal},
    {"replaygain_album_peak", 0x32715, Kind::kReal},
    {"rg_peak", 0x32714, Kind::kReal},
    {"replaygain_track_peak", 0x32714, Kind::kReal},
    {"mediajukebox:peak level", 0x32714, Kind::kReal},
    {"mediajukebox:replay gain", 0x32714, Kind::kReal},
    {"date", 0x407D3, Kind::kText},
    {"isrc", 0x10024, Kind::kText},
};

constexpr std::string_view kCoverArtMime = "coverartmime=";
constexpr std::string_view kCoverArt = "coverart=";

std::u16string Wide(std::string_view utf8) {
  return Utf8ToWide(reinterpret_cast<const BYTE*>(utf8.data()), utf8.size());
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const auto a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(prefix[i]);
    if ((a >= 'A' && a <= 'Z' ? a + 32 : a) != (b >= 'A' && b <= 'Z' ? b + 32 : b)) return false;
  }
  return true;
}

const char* Query(vorbis_comment* comments, const char* name) {
  std::string tag(name);
  return vorbis_comment_query(comments, tag.data(), 0);
}

void SetNamed(IMediaItem* item, const NamedComment& named, const char* value) {
  switch (named.kind) {
    case Kind::kText: item->SetString(named.tag, Wide(value).c_str()); break;
    case Kind::kNumber: item->SetInt(named.tag, std::atoi(value)); break;
    case Kind::kReal: item->SetFloat(named.tag, static_cast<float>(std::atof(value))); break;
  }
}

// The picture's bytes are stored as decoded: exactly what the text held, nothing behind it.
void SetCoverArt(ItemWriter& writer, std::string_view value) {
  const DWORD n = writer.FreeInstance(TAG_ARTWORK_TYPE);
  if (n == ItemWriter::kNoInstance) return;
  IMediaItem* item = writer.item();
  SetInstanceInt(item, TAG_ARTWORK_TYPE, n, n + 3);
  const std::string text(value);
  const int bound = Base64Decode(text.c_str(), nullptr);
  std::vector<BYTE> bytes(static_cast<size_t>(bound) + 1);
  DWORD decoded = 0;
  if (Base64Decode(text.c_str(), bytes.data(), &decoded) == 0) SetInstanceBytes(item, TAG_ARTWORK_DATA, n, bytes.data(), decoded);
}

void SetUnhandled(ItemWriter& writer, std::string_view comment) {
  const DWORD n = writer.FreeInstance(TAG_UNHANDLED_NAME);
  if (n == ItemWriter::kNoInstance) return;
  IMediaItem* item = writer.item();
  const size_t equals = comment.find('=');
  const std::u16string name = equals == std::string_view::npos ? u"" : Wide(comment.substr(0, equals));
  std::vector<BYTE> data(comment.begin() + (equals == std::string_view::npos ? 0 : equals + 1), comment.end());
  data.push_back(0);
  item->SetInstance(TAG_UNHANDLED_NAME, n, name.c_str(), static_cast<DWORD>((name.size() + 1) * sizeof(char16_t)));
  SetInstanceBytes(item, TAG_UNHANDLED_DATA, n, data.data(), data.size());
}

}  // namespace

void ReadVorbisCommentList(vorbis_comment* comments, IMediaItem* item) {
  std::vector<std::string_view> handled;
  for (const NamedComment& named : kNamed) {
    const char* value = Query(comments, named.name);
    if (!value) continue;
    handled.push_back(named.name);
    SetNamed(item, named, value);
  }
  item->SetInt(TAG_IS_VBR, 1);
  const CSettings* settings = GetSettings();
  const bool keepOthers = settings && settings->processUnhandledTags != 0;
  // Free instances through one writer: asking the item each time costs all it holds already.
  ItemWriter writer(item);
  for (int i = 0; i < comments->comments; ++i) {
    if (!comments->user_comments[i] || comments->comment_lengths[i] < 0) continue;
    const std::string_view comment(comments->user_comments[i], static_cast<size_t>(comments->comment_lengths[i]));
    bool known = false;
    for (std::string_view name : handled)
      known = known || (StartsWithNoCase(comment, name) && comment.size() > name.size() && comment[name.size()] == '=');
    if (known) continue;
    if (StartsWithNoCase(comment, kCoverArtMime)) {
      const std::u16string mime = Wide(comment.substr(kCoverArtMime.size()));
      const DWORD n = mime.empty() ? ItemWriter::kNoInstance : writer.FreeInstance(TAG_ARTWORK_MIMETYPE);
      if (n != ItemWriter::kNoInstance) SetInstanceText(item, TAG_ARTWORK_MIMETYPE, n, mime);
    } else if (StartsWithNoCase(comment, kCoverArt)) {
      SetCoverArt(writer, comment.substr(kCoverArt.size()));
    } else if (keepOthers) {
      SetUnhandled(writer, comment);
    }
  }
}

LONG ReadVorbisComments(InputSource* source, LPCWSTR path, IMediaItem* item) {
  if (!source || !path || !path[0] || !item) return E_FAIL;
  if (!source->IsSeekable(source)) return 0;
  SingleShotOpen open(source, path);
  if (!open.ok()) return E_FAIL;
  OggVorbisFile file;
  if (OpenVorbisFile(&file, source) != 0) return E_FAIL;
  const long long length = VorbisFileLengthMs(&file);
  item->SetInt(TAG_LENGTH, static_cast<LONG>(length < 0 ? 0 : length > INT_MAX ? INT_MAX : length));
  if (const vorbis_info* info = ov_info(&file.vf, -1)) {
    item->SetInt(TAG_BITS_PER_SAMPLE, 16);
    item->SetInt(TAG_BIT_RATE, VorbisFileBitrate(&file));
    item->SetInt(TAG_CHANNELS, info->channels);
    item->SetInt(TAG_SAMPLE_RATE, static_cast<LONG>(info->rate));
  }
  // Every Vorbis stream has a comment header; one that holds no comment counts as none.
  LONG result = 1;
  vorbis_comment* comments = ov_comment(&file.vf, -1);
  if (comments && comments->comments > 0) {
    result = 0;
    ReadVorbisCommentList(comments, item);
  }
  ClearVorbisFile(&file);
  return result;
}
