// zbtags: reads a file's tags as the media library does (the MP3, Ogg Vorbis or WAVE decoder's
// stream information, then the ID3, APE and ASF readers it names), and prints every tag by the
// name table's names, one
// "Name = value" line each ("Name[n]" for instances of multi-valued tags). Blobs print as their
// size and first bytes.
//
//   zbtags FILE       (a host path; the file is read through the device layer)
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "ape_tag.h"
#include "asf_reader.h"
#include "device/text.h"
#include "file_source.h"
#include "host_window.h"
#include "id3_reader.h"
#include "media_item.h"
#include "mp3_decoder.h"
#include "ogg_decoder.h"
#include "tag_reading.h"
#include "tag_readers.h"
#include "tagnames.h"
#include "wave_decoder.h"

namespace {

std::string Name(DWORD id) {
  std::u16string name;
  if (SUCCEEDED(LookupTagName(id, &name))) return zb::ToUtf8(name);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", id);
  return hex;
}

std::string Value(const CTagValue& value) {
  if (value.Type() == TAG_TYPE_BLOB) {
    DWORD size = 0;
    value.GetBytes(nullptr, &size);
    std::string bytes(size, '\0');
    value.GetBytes(bytes.data(), &size);
    std::string out = "<" + std::to_string(size) + " bytes";
    for (size_t i = 0; i < bytes.size() && i < 8; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(bytes[i]));
      out += hex;
    }
    return out + ">";
  }
  if (value.Type() == TAG_TYPE_REAL) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value.real);
    return text;
  }
  std::u16string text;
  if (value.Type() == TAG_TYPE_INT) return std::to_string(static_cast<long>(value.integer));
  if (FAILED(value.ToText(&text))) return "?";
  std::string out = zb::ToUtf8(text);
  for (char& c : out)
    if (c == '\n' || c == '\r') c = '|';
  return out;
}

// As the media library reads a file: the stream information of the decoder that takes it, then
// the readers its answer names (none when it answers without the readers' base); for any other
// file every reader. False when none read.
bool ReadTags(InputSource* source, LPCWSTR path, CMediaItem* item) {
  const struct {
    DWORD bit;
    LONG (*reader)(InputSource*, LPCWSTR, IMediaItem*);
  } kReaders[] = {{TAGREAD_ID3, ReadId3Tags}, {TAGREAD_APE, ReadApeTag}, {TAGREAD_ASF, ReadAsfAttributes}};
  const struct {
    const WCHAR* extension;
    DecModule* decoder;
  } kDecoders[] = {{u".mp3", &Mp3Decoder}, {u".mp2", &Mp3Decoder}, {u".mp1", &Mp3Decoder}, {u".mpa", &Mp3Decoder},
                   {u".ogg", &OggDecoder},  {u".wav", &WaveDecoder}, {u".snd", &WaveDecoder},
                   {u".au", &WaveDecoder}};
  DWORD wanted = TAGREAD_ID3 | TAGREAD_APE | TAGREAD_ASF;
  bool read = false;
  const WCHAR* dot = wcsrchr(path, u'.');
  for (const auto& d : kDecoders) {
    if (!dot || _wcsicmp(dot, d.extension) != 0) continue;
    const LONG info = d.decoder->ReadStreamInfo(source, path, item);
    if (info < 0) return false;
    wanted = (static_cast<DWORD>(info) & 0xFFFFF000) == TAGREAD_CODE ? static_cast<DWORD>(info) & 0xFF : 0;
    read = true;
  }
  for (const auto& r : kReaders)
    if ((wanted & r.bit) && r.reader(source, path, item) >= 0) read = true;
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs("usage: zbtags FILE\n", stdout);
    return 0;
  }
  if (argc != 2) {
    std::fputs("usage: zbtags FILE\n", stderr);
    return 2;
  }
  // The file's folder is the device for this run, so the readers reach it by a device path.
  std::u16string path;
  if (!UseFileFolderAsDevice("zbtags", argv[1], &path)) return 1;
  InstallTagReaders();
  CMediaItem* item = CreateMediaItem();
  item->SetSource(path.c_str());
  InputSource source = MakeFileSource();
  if (!ReadTags(&source, path.c_str(), item)) {
    std::fprintf(stderr, "zbtags: cannot read %s\n", argv[1]);
    item->Release();
    return 1;
  }
  for (const auto& [key, value] : item->Entries()) {
    std::string name = Name(key.id);
    if (TAG_IS_MULTI(key.id)) name += "[" + std::to_string(static_cast<DWORD>(key.instance)) + "]";
    std::printf("%s = %s\n", name.c_str(), Value(value).c_str());
  }
  item->Release();
  return 0;
}
