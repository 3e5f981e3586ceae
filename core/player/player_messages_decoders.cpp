// Player callback messages about decoders and stream sources: what the player can play (by MIME
// type and extension), copies of the source for a URL, the decoders' stored flags, sources that
// plug-ins register, a decoder record for a path, the output device after a change, and the
// code-page conversions plug-ins borrow.
#include <algorithm>
#include <memory>

#include "core/common/codepage_convert.h"
#include "core/interface/player_messages.h"
#include "core/modules/decoder_choice.h"
#include "core/modules/module_lists.h"
#include "core/output/output_registry.h"
#include "core/output/wave_writer.h"
#include "core/player/player_core.h"
#include "core/player/player_message_table.h"
#include "core/settings/settings.h"

namespace {

constexpr UINT kUtf8 = 65001;
constexpr UINT kMimeChars = 32;
constexpr UINT kSourceAsked = 0x10000000;  // the copy is for a plug-in of the player

int Utf8ToWide(CPlayerCore&, const PlayerMessage& m) {
  if (!m.in || !m.out || m.outSize == 0) return -1;
  auto* out = static_cast<WCHAR*>(m.out);  // out size counts characters here
  const int room = static_cast<int>(m.outSize - 1);
  // With no room the converter would only count what it needs: nothing is converted then.
  const int stored = room > 0 ? MultiByteToWide(kUtf8, 0, static_cast<const char*>(m.in), static_cast<int>(m.inSize), out, room) : 0;
  out[stored > 0 && stored <= room ? stored : 0] = 0;
  return -1;
}

int WideToUtf8(CPlayerCore&, const PlayerMessage& m) {
  if (!m.in || !m.out || m.outSize == 0) return -1;
  WideToMultiByte(kUtf8, 0, static_cast<const WCHAR*>(m.in), static_cast<int>(m.inSize), static_cast<char*>(m.out),
                  static_cast<int>(m.outSize), nullptr, nullptr);
  return -1;
}

int CanPlayMime(CPlayerCore&, const PlayerMessage& m) {
  LPCWSTR mime = InText(m);
  DWORD* answer = OutAs<DWORD>(m);
  if (!mime || !answer) return -1;
  *answer = LookupDecoderByMime(mime) ? 1 : 0;
  return -1;
}

// The n-th MIME type over every decoder, in list order.
int GetMimeType(CPlayerCore&, const PlayerMessage& m) {
  const DWORD* wanted = InAs<DWORD>(m);
  if (!wanted || !m.out) return -1;
  DWORD n = *wanted;
  for (DecModule* record : DecoderList().Snapshot()) {
    if (!record->GetMimeType) continue;
    for (int index = 0;; ++index) {
      WCHAR entry[kMimeChars] = {};
      if (!record->GetMimeType(index, entry, kMimeChars)) break;
      entry[kMimeChars - 1] = 0;
      if (n-- == 0) {
        CopyText(entry, m.out, m.outSize);
        return -1;
      }
    }
  }
  CopyText(u"", m.out, m.outSize);
  return -1;
}

int CanPlayExtension(CPlayerCore&, const PlayerMessage& m) {
  LPCWSTR extension = InText(m);
  DWORD* answer = OutAs<DWORD>(m);
  if (!extension || !answer) return -1;
  const std::u16string path = u"\\dummy" + std::u16string(extension);
  const std::vector<DecModule*> decoders = DecoderList().Snapshot();
  *answer = ChooseDecoderFrom(decoders, {}, path.c_str()) ? 1 : 0;
  return -1;
}

int OpenUrl(CPlayerCore& core, const PlayerMessage& m) {
  LPCWSTR url = InText(m);
  auto** out = OutAs<InputSource*>(m);
  if (!url || !*url || !out) return -1;
  *out = core.OpenUrlCopy(url);
  return *out ? 0 : -1;
}

int CloseUrl(CPlayerCore& core, const PlayerMessage& m) {
  if (m.in && m.inSize == sizeof(InputSource)) core.CloseUrlCopy(static_cast<InputSource*>(m.in));
  return 0;
}

std::u16string DecoderFlagsName(LPCWSTR name) { return u"decflags" + std::u16string(name); }

int GetDecoderFlags(CPlayerCore&, const PlayerMessage& m) {
  LPCWSTR name = m.inSize ? InText(m) : nullptr;
  DWORD* out = OutAs<DWORD>(m);
  if (!name || !out) return -1;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  DWORD value = 0, type = 0, size = sizeof value;
  const LONG read = RegQueryValueExW(key, DecoderFlagsName(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return 0;
  *out = value;
  return 1;
}

int SetDecoderFlags(CPlayerCore&, const PlayerMessage& m) {
  LPCWSTR name = m.inSize ? InText(m) : nullptr;
  const DWORD* value = OutAs<DWORD>(m);
  if (!name || !value) return -1;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return -1;
  const std::u16string valueName = DecoderFlagsName(name);
  const bool existed = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  const LONG written = RegSetValueExW(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(value), sizeof *value);
  RegCloseKey(key);
  if (written != ERROR_SUCCESS) return -1;
  return existed ? 1 : 0;
}

int RegisterSourceMessage(CPlayerCore& core, const PlayerMessage& m) {
  auto* record = static_cast<InputSource*>(m.in);
  if (!record || record->version < INPUT_SOURCE_VERSION || !record->ClaimsPath) return -1;
  CSectionLock hold(core.MessageLock());
  RegisterSource(record, core.GetInstance(), core.GetMainWindow());
  if (record->StartUp) record->StartUp();
  if (record->Init) record->Init(record);
  return 0;
}

int IsCurrentSource(CPlayerCore& core, const PlayerMessage& m) {
  DWORD* answer = OutAs<DWORD>(m);
  if (!m.in || !answer) return 0;
  CSectionLock hold(core.MessageLock());
  DecModule* decoder = core.GetDecoder();
  *answer = decoder && decoder->source == m.in ? 1 : 0;
  return 0;
}

// A copy of the record that would play the path, to be driven by the caller alone: it gets no
// source and plays into the null output.
int GetDecoderCopy(CPlayerCore& core, const PlayerMessage& m) {
  LPCWSTR path = InText(m);
  if (!path || !m.out || m.outSize < sizeof(DecModule)) return -1;
  CSectionLock hold(core.MessageLock());
  DecModule* record = nullptr;
  InputSource* source = nullptr;
  OutputModule* output = nullptr;
  core.BindDecoder(path, &record, &source, &output);
  if (!record || !source) return -1;
  auto* copy = static_cast<DecModule*>(m.out);
  *copy = *record;
  copy->source = nullptr;
  copy->outModule = &NullOut;
  return -1;
}

int OutputReset(CPlayerCore& core, const PlayerMessage&) {
  CSectionLock hold(core.MessageLock());
  if (core.IsPlaying() && !WaveWriterReconfigure()) core.Stop(TRUE);
  return 0;
}

constexpr PlayerMessageEntry kEntries[] = {
    {PLAYER_MSG_UTF8_TO_WIDE, Utf8ToWide},
    {PLAYER_MSG_WIDE_TO_UTF8, WideToUtf8},
    {PLAYER_MSG_CAN_PLAY_MIME, CanPlayMime},
    {PLAYER_MSG_GET_MIME_TYPE, GetMimeType},
    {PLAYER_MSG_CAN_PLAY_EXTENSION, CanPlayExtension},
    {PLAYER_MSG_OPEN_URL, OpenUrl},
    {PLAYER_MSG_CLOSE_URL, CloseUrl},
    {PLAYER_MSG_GET_DECODER_FLAGS, GetDecoderFlags},
    {PLAYER_MSG_SET_DECODER_FLAGS, SetDecoderFlags},
    {PLAYER_MSG_REGISTER_SOURCE, RegisterSourceMessage},
    {PLAYER_MSG_IS_CURRENT_SOURCE, IsCurrentSource},
    {PLAYER_MSG_GET_DECODER_COPY, GetDecoderCopy},
    {PLAYER_MSG_OUTPUT_RESET, OutputReset},
};

}  // namespace

std::span<const PlayerMessageEntry> DecoderMessages() { return kEntries; }

InputSource* CPlayerCore::OpenUrlCopy(LPCWSTR url) {
  const InputSource* record = url && *url ? ChooseSource(url) : nullptr;
  if (!record || record == EmptySource()) return nullptr;
  auto copy = std::make_unique<InputSource>(*record);
  copy->state = nullptr;
  if (copy->Init) copy->Init(copy.get());
  DWORD asked = 1;
  if (copy->Control) copy->Control(copy.get(), kSourceAsked, &asked, sizeof asked, nullptr, 0);
  CSectionLock hold(urlLock_);
  urlCopies_.push_back(copy.get());
  return copy.release();
}

BOOL CPlayerCore::CloseUrlCopy(InputSource* copy) {
  {
    CSectionLock hold(urlLock_);
    auto found = std::find(urlCopies_.begin(), urlCopies_.end(), copy);
    if (found == urlCopies_.end()) return FALSE;
    urlCopies_.erase(found);
  }
  if (copy->Release) copy->Release(copy);
  delete copy;
  return TRUE;
}
