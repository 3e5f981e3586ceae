// Codec plug-ins of the WAVE decoder: the libraries "\wav_*.dll" in the program's folder, their
// accepted records kept in load order, and the converter that forwards every call to a record.
// Each list entry and each converter holds a library reference of its own, so a converter
// outlives nothing it calls into.
#include <memory>
#include <string>
#include <vector>

#include "core/modules/plugin_scan.h"
#include "tag_text.h"
#include "wave_converter.h"
#include "wave_plugin.h"

namespace {

constexpr int kMaxRecordsPerLibrary = 256;  // a getter that never says "no more" is cut off

class CWavPluginConverter : public CWaveConverter {
 public:
  CWavPluginConverter(const std::u16string& path, WavPluginRecord* record) : record_(record) {
    CopyCut(path_, MAX_PATH, path);
    library_ = LoadLibraryW(path_);
    if (!library_) record_ = nullptr;  // gone from under us: every call then refuses
  }
  ~CWavPluginConverter() override {
    if (record_ && record_->Close) record_->Close(record_);
    if (library_) FreeLibrary(library_);
  }
  CWavPluginConverter(const CWavPluginConverter&) = delete;
  CWavPluginConverter& operator=(const CWavPluginConverter&) = delete;

  WavPluginRecord* record() const { return record_; }
  LPCWSTR path() const { return path_; }

  MMRESULT Setup(const WAVEFORMATEX* source) override { return Call(record_ ? record_->Setup : nullptr, source); }
  MMRESULT Open(const WAVEFORMATEX* source, const WAVEFORMATEX* destination) override {
    return Call(record_ ? record_->Open : nullptr, source, destination);
  }
  MMRESULT GetOutputSize(DWORD sourceBytes, DWORD* destinationBytes) override {
    return Call(record_ ? record_->GetOutputSize : nullptr, sourceBytes, destinationBytes);
  }
  MMRESULT PrepareHeader(ACMSTREAMHEADER* header) override {
    return Call(record_ ? record_->PrepareHeader : nullptr, header);
  }
  MMRESULT UnprepareHeader(ACMSTREAMHEADER* header) override {
    return Call(record_ ? record_->UnprepareHeader : nullptr, header);
  }
  MMRESULT Convert(ACMSTREAMHEADER* header) override { return Call(record_ ? record_->Convert : nullptr, header); }
  LPCWSTR GetName() override { return record_ && record_->GetName ? record_->GetName(record_) : nullptr; }
  LPCWSTR GetFormat(int index, WAVEFORMATEX* format) override {
    return record_ && record_->GetFormat ? record_->GetFormat(record_, index, format) : nullptr;
  }

 private:
  template <class Fn, class... Args>
  MMRESULT Call(Fn fn, Args... args) {
    return fn ? fn(record_, args...) : MMSYSERR_INVALPARAM;
  }

  HMODULE library_ = nullptr;
  WCHAR path_[MAX_PATH] = {};
  WavPluginRecord* record_;
};

std::vector<std::unique_ptr<CWavPluginConverter>>& Plugins() {
  static auto* list = new std::vector<std::unique_ptr<CWavPluginConverter>>;  // for the program's run
  return *list;
}

void TakeRecords(const std::u16string& path) {
  HMODULE library = LoadLibraryW(path.c_str());
  if (!library) return;
  auto get = reinterpret_cast<ZonbrelWavePluginFn>(
      reinterpret_cast<void (*)()>(GetProcAddressW(library, u"ZonbrelWavePlugin")));
  for (int index = 0; get && index < kMaxRecordsPerLibrary; ++index) {
    WavPluginRecord* record = get(index);
    if (!record) break;
    if (record->version != WAV_PLUGIN_VERSION) continue;
    auto entry = std::make_unique<CWavPluginConverter>(path, record);
    if (entry->record()) Plugins().push_back(std::move(entry));
  }
  FreeLibrary(library);
}

}  // namespace

void LoadWavePlugins() {
  Plugins().clear();
  const std::u16string folder = ProgramFolderOf(nullptr);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + u"\\wav_*.dll").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    TakeRecords(folder + u"\\" + found.cFileName);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void UnloadWavePlugins() { Plugins().clear(); }

int WavePluginCount() { return static_cast<int>(Plugins().size()); }

CWaveConverter* CreatePluginConverter(WORD formatTag) {
  for (const auto& entry : Plugins()) {
    WavPluginRecord* record = entry->record();
    if (record->Accepts && record->Accepts(record, formatTag)) return new CWavPluginConverter(entry->path(), record);
  }
  return nullptr;
}
