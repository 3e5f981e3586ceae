// The choice of decoder and stream source (see decoder_choice.h).
#include "core/modules/decoder_choice.h"

#include <vector>

#include "core/modules/module_lists.h"
#include "core/settings/path_tokens.h"
#include "core/settings/registry_values.h"
#include "core/modules/stream_sources.h"
#include "core/transport/transport_neighbours.h"

namespace {

constexpr size_t kShortestPath = 4;
constexpr size_t kMimeBufferBytes = 200;
constexpr size_t kMimeEntryChars = 16;  // a module's MIME entry: a 32-byte buffer
constexpr size_t kRegistryExtensionChars = 16;  // "Extension" is read into 32 bytes, its zero included
constexpr WCHAR kMimeDatabase[] = u"MIME\\Database\\Content Type\\";
constexpr WCHAR kDummyPath[] = u"\\dummy";

bool StartsWithNoCase(LPCWSTR text, std::u16string_view prefix) {
  return _wcsnicmp(text, prefix.data(), prefix.size()) == 0;
}

// The text after the last '.' that follows the last `separator`; npos when there is none.
size_t ExtensionAfter(std::u16string_view path, WCHAR separator) {
  const size_t slash = path.rfind(separator);
  if (slash == std::u16string_view::npos) return std::u16string_view::npos;
  const size_t dot = path.rfind(u'.');
  return dot != std::u16string_view::npos && dot > slash ? dot + 1 : std::u16string_view::npos;
}

bool ClaimedBy(InputSource* source, LPCWSTR path) {
  return source && source->ClaimsPath && (source->ClaimsPath(source, path) & 1) != 0;
}

// The MIME type a claiming source of version 2 or later reports for the path, looked up.
DecModule* ChooseByMime(std::span<DecModule* const> decoders, std::span<InputSource* const> sources, LPCWSTR path) {
  DecModule* chosen = nullptr;
  const UINT pathBytes = static_cast<UINT>((wcslen(path) + 1) * sizeof(WCHAR));
  for (InputSource* source : sources) {
    if (!source || source->version < 2 || !source->Control || !ClaimedBy(source, path)) continue;
    WCHAR mime[kMimeBufferBytes / sizeof(WCHAR)] = {};
    source->Control(source, SOURCE_PROPERTY_MIME_TYPE, const_cast<LPWSTR>(path), pathBytes, mime, sizeof mime);
    mime[std::size(mime) - 1] = 0;  // whatever the source wrote, the text ends in the buffer
    if (!mime[0]) continue;
    if (DecModule* found = LookupDecoderByMimeFrom(decoders, sources, mime)) chosen = found;
  }
  return chosen;
}

std::vector<DecModule*> Decoders() { return DecoderList().Snapshot(); }
std::vector<InputSource*> Sources() { return SourceList().Snapshot(); }

}  // namespace

std::u16string PathExtension(LPCWSTR path) {
  if (!path) return {};
  const std::u16string_view text(path);
  size_t start = ExtensionAfter(text, u'\\');
  if (start == std::u16string_view::npos) start = ExtensionAfter(text, u'/');
  // A bare file name has its extension after its last '.'.
  if (start == std::u16string_view::npos && text.find_first_of(u"\\/") == std::u16string_view::npos) {
    const size_t dot = text.rfind(u'.');
    if (dot != std::u16string_view::npos) start = dot + 1;
  }
  return start == std::u16string_view::npos ? std::u16string() : std::u16string(text.substr(start));
}

bool DecoderFilterHolds(const DecModule* record, std::u16string_view extension) {
  return record && record->fileExtensions && ExtensionInList(extension, record->fileExtensions);
}

DecModule* ChooseDecoderFrom(std::span<DecModule* const> decoders, std::span<InputSource* const> sources, LPCWSTR path) {
  if (!path || wcslen(path) < kShortestPath) return nullptr;
  const std::u16string extension = PathExtension(path);
  if (!extension.empty()) {
    for (DecModule* record : decoders)
      if (DecoderFilterHolds(record, extension)) return record;
  }
  DecModule* claimed = nullptr;
  for (DecModule* record : decoders)
    if (record && record->IsOurFile && record->IsOurFile(path)) claimed = record;
  return claimed ? claimed : ChooseByMime(decoders, sources, path);
}

DecModule* ChooseDecoder(LPCWSTR path) { return ChooseDecoderFrom(Decoders(), Sources(), path); }

BOOL CanPlayPath(LPCWSTR path) { return ChooseDecoder(path) != nullptr; }

DecModule* LookupDecoderByMimeFrom(std::span<DecModule* const> decoders, std::span<InputSource* const> sources,
                                   LPCWSTR mime) {
  if (!mime || !mime[0]) return nullptr;
  RegKey key;
  const std::u16string keyName = kMimeDatabase + std::u16string(mime);
  WCHAR extension[kRegistryExtensionChars] = {};
  if (key.Open(HKEY_CLASSES_ROOT, keyName.c_str(), KEY_READ) == ERROR_SUCCESS &&
      ReadRegText(key.get(), u"Extension", extension, std::size(extension))) {
    const std::u16string dummy = kDummyPath + std::u16string(extension);
    if (DecModule* found = ChooseDecoderFrom(decoders, sources, dummy.c_str())) return found;
  }
  for (DecModule* record : decoders) {
    if (!record || !record->GetMimeType) continue;
    for (int index = 0;; ++index) {
      WCHAR entry[kMimeEntryChars + 1] = {};
      if (!record->GetMimeType(index, entry, static_cast<int>(kMimeEntryChars))) break;
      if (_wcsicmp(entry, mime) == 0) return record;
    }
  }
  return nullptr;
}

DecModule* LookupDecoderByMime(LPCWSTR mime) { return LookupDecoderByMimeFrom(Decoders(), Sources(), mime); }

InputSource* ChooseSourceFrom(std::span<InputSource* const> providers, LPCWSTR path) {
  if (!path) return EmptySource();
  if (path[0] == u'\\') return FileReaderSource();
  if (StartsWithNoCase(path, u"http://")) return HttpStreamSource();
  if (StartsWithNoCase(path, u"rtsp://") || StartsWithNoCase(path, u"mms://")) return NetworkPassThroughSource();
  for (InputSource* source : providers)
    if (source && source->version >= 3 && ClaimedBy(source, path)) return source;
  return GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES ? HttpStreamSource() : FileReaderSource();
}

InputSource* ChooseSource(LPCWSTR path) { return ChooseSourceFrom(Sources(), path); }
