// zbdsp: runs one DSP module over a WAVE file as the player does: the library's records taken as
// the player's plug-in scan takes them, every one initialised, then the chosen module on blocks
// of the MP3 decoder's size, each in a buffer of twice the block when the module's promise fits
// it (else the block passes untouched, as in the decoder), and every module quit at the end.
//
//   zbdsp LIBRARY INDEX IN.wav OUT.wav [NAME=VALUE...]
// LIBRARY is a device path, a host path on the device, or a name in the program folder.
// NAME=VALUE stores a module setting before Init: "KEY/NAME" under "...\Plugins\KEY", or a bare
// name of dsp_omnia ("frequency", "pitch", "enable" ...) under its own key.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/modules/module_lists.h"
#include "core/output/sample_chain.h"
#include "device/paths.h"
#include "device/text.h"
#include "wav_file.h"

namespace {

constexpr int kBlockFrames = 11520;  // the MP3 decoder's block: ten frames of 1152 samples
constexpr int kMaxRecords = 256;
const char kUsage[] =
    "usage: zbdsp LIBRARY INDEX IN.wav OUT.wav [NAME=VALUE...]\n"
    "  runs module INDEX of the DSP library over IN.wav as the player does and writes OUT.wav\n"
    "  NAME=VALUE: KEY/NAME=NUMBER under Software\\Kestrane\\Zonbrel\\Plugins\\KEY, or a bare\n"
    "  dsp_omnia value name (frequency gain q type pitch stereo stereo_panning stereo_mode\n"
    "  surround chorusSpeed chorusDelay chorusDepth chorusGain chorusDecay; enable=TEXT)\n";

const char* KeyOf(const std::string& name) {
  static const char* const kBoost[] = {"frequency", "gain", "q", "type"};
  for (const char* n : kBoost)
    if (name == n) return "dsp_boost";
  return name == "enable" ? "dsp_multi" : "dsp_echo";
}

bool StoreSetting(const std::string& assignment) {
  const size_t equals = assignment.find('=');
  if (equals == std::string::npos || equals == 0) return false;
  std::string name = assignment.substr(0, equals), key;
  const std::string value = assignment.substr(equals + 1);
  const size_t slash = name.find('/');
  if (slash != std::string::npos) {
    key = name.substr(0, slash), name = name.substr(slash + 1);
  } else {
    key = KeyOf(name);
  }
  const std::u16string path = u"Software\\Kestrane\\Zonbrel\\Plugins\\" + zb::FromUtf8(key);
  HKEY handle = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, &disposition))
    return false;
  const std::u16string wideName = zb::FromUtf8(name);
  LONG result;
  if (name == "enable") {
    const std::u16string text = zb::FromUtf8(value);
    result = RegSetValueExW(handle, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
  } else {
    char* end = nullptr;
    const DWORD number = static_cast<DWORD>(std::strtol(value.c_str(), &end, 10));
    result = *end || value.empty() ? ERROR_INVALID_DATA
                                   : RegSetValueExW(handle, wideName.c_str(), 0, REG_DWORD,
                                                    reinterpret_cast<const BYTE*>(&number), sizeof number);
  }
  RegCloseKey(handle);
  return result == ERROR_SUCCESS;
}

std::u16string LibraryPath(const std::string& argument) {
  if (argument.starts_with("\\") || argument.find('/') == std::string::npos) return zb::FromUtf8(argument);
  std::error_code error;
  const auto host = std::filesystem::canonical(argument, error);
  if (error) return zb::FromUtf8(argument);
  return zb::device::ToDevice(host).value_or(zb::FromUtf8(argument));
}

// The library's records as the player takes them: up to a null, a refused version or a repeat.
std::vector<DSPModule*> TakeModules(HMODULE library) {
  std::vector<DSPModule*> taken;
  auto get = reinterpret_cast<ZonbrelGetDSPModuleFn>(
      reinterpret_cast<void (*)()>(GetProcAddressW(library, u"ZonbrelGetDSPModule")));
  for (int index = 0; get && index < kMaxRecords; ++index) {
    DSPModule* record = get(library, index);
    if (!record || record->version != DSP_MODULE_VERSION ||
        std::find(taken.begin(), taken.end(), record) != taken.end())
      break;
    RegisterDSPModule(record, library, nullptr);
    taken.push_back(record);
  }
  return taken;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zbdsp: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc < 5) return std::fputs(kUsage, stderr), 2;
  char* end = nullptr;
  const long index = std::strtol(argv[2], &end, 10);
  if (*end || index < 0) return Fail(std::string("not a module index: ") + argv[2]);
  for (int i = 5; i < argc; ++i)
    if (!StoreSetting(argv[i])) return Fail(std::string("cannot store ") + argv[i]);
  WavFile wav;
  std::string error;
  if (!ReadWav(argv[3], &wav, &error)) return Fail(std::string(argv[3]) + ": " + error);

  HMODULE library = LoadLibraryW(LibraryPath(argv[1]).c_str());
  if (!library) return Fail(std::string("cannot load ") + argv[1]);
  const std::vector<DSPModule*> modules = TakeModules(library);
  if (static_cast<size_t>(index) >= modules.size())
    return Fail("the library has " + std::to_string(modules.size()) + " modules the player accepts");
  DSPModule* dsp = modules[index];
  ModuleListBroadcastInit();

  const int frameBytes = wav.channels * wav.bits / 8;
  const size_t frames = wav.data.size() / frameBytes;
  std::vector<uint8_t> out, block(2 * static_cast<size_t>(kBlockFrames) * frameBytes);
  long long given = 0, returned = 0;
  for (size_t first = 0; first < frames; first += kBlockFrames) {
    int n = static_cast<int>(std::min<size_t>(kBlockFrames, frames - first));
    std::copy_n(wav.data.begin() + first * frameBytes, static_cast<size_t>(n) * frameBytes, block.begin());
    given += n;
    if (AdjustSampleCount(dsp, n) <= 2 * n)
      n = std::clamp(RunSampleChain(dsp, false, block.data(), n, wav.channels, wav.bits, wav.rate), 0, 2 * n);
    returned += n;
    out.insert(out.end(), block.begin(), block.begin() + static_cast<size_t>(n) * frameBytes);
  }
  ModuleListBroadcastQuit();
  wav.data = std::move(out);
  if (!WriteWav(argv[4], wav)) return Fail(std::string("cannot write ") + argv[4]);
  std::printf("%s: %lld frames in, %lld frames out\n", zb::ToUtf8(dsp->description).c_str(), given, returned);
  return 0;
}
