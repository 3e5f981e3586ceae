// The records that cross into plug-in libraries, checked against the Parts' word tables: each
// row is one documented word (or field) with its 32-bit byte offset, width and whether it holds
// a pointer. The rows must add up to the documented record size, and the host structs must hold
// exactly those fields at the places a 64-bit build puts them (pointers 8 bytes, all else as is).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/interface/dec_module.h"
#include "core/interface/dsp_module.h"
#include "core/interface/gen_module.h"
#include "core/interface/input_source.h"
#include "core/interface/output_module.h"
#include "core/interface/vis_module.h"

namespace {

enum Kind { kValue, kBytes, kPointer };

struct Row {
  const char* name;
  size_t documentedOffset;  // where words are 32 bits
  size_t width;             // bytes where words are 32 bits
  Kind kind;
  zb::RecordField host;
};

struct RecordCase {
  const char* record;
  size_t documentedSize;
  size_t hostSize;
  std::vector<Row> rows;
};

#define WORD_ROW(Record, field, word, kind) \
  Row { #field, (word) * 4u, 4u, kind, ZB_RECORD_FIELD(Record, field) }
#define ROW(Record, field, offset, width, kind) \
  Row { #field, offset, width, kind, ZB_RECORD_FIELD(Record, field) }

constexpr Kind V = kValue;
constexpr Kind P = kPointer;
constexpr Kind B = kBytes;

std::vector<RecordCase> Records() {
  std::vector<RecordCase> cases;
#define R(field, word, kind) WORD_ROW(DecModule, field, word, kind)
  cases.push_back({"DecModule", 200, sizeof(DecModule),
                   {R(version, 0, V), R(description, 1, P), R(hwndParent, 2, P), R(hDllInstance, 3, P),
                    R(fileExtensions, 4, P), R(flags, 5, V), R(Config, 6, P), R(About, 7, P), R(Init, 8, P),
                    R(Quit, 9, P), R(IsOurFile, 10, P), R(GetFileInfo, 11, P), R(Play, 12, P), R(Pause, 13, P),
                    R(UnPause, 14, P), R(IsPaused, 15, P), R(Stop, 16, P), R(GetLength, 17, P),
                    R(GetOutputTime, 18, P), R(SetOutputTime, 19, P), R(SetVolume, 20, P), R(SetPan, 21, P),
                    R(SetEqualizer, 22, P), R(Command, 23, P), R(ReadStreamInfo, 24, P), R(Slot19, 25, P),
                    R(GetContentType, 26, P), R(GetMimeType, 27, P),
                    ROW(DecModule, hostReserved, 28 * 4, 7 * 4, P),
                    R(HostDecoderStatus, 35, P), R(playFlags, 36, V), R(startPosition, 37, V),
                    R(PlayerCallback, 38, P), R(HostSetThreadPriority, 39, P), R(HostVisInit, 40, P),
                    R(HostVisDeinit, 41, P), R(HostVisAddPCM, 42, P), R(HostVisSetInfo, 43, P),
                    R(HostVisNoop, 44, P), R(HostDSPAdjust, 45, P), R(HostProcessSamples, 46, P),
                    R(HostStatusUpdate, 47, P), R(source, 48, P), R(outModule, 49, P)}});
#undef R
#define R(field, word, kind) WORD_ROW(OutputModule, field, word, kind)
  cases.push_back({"OutputModule", 76, sizeof(OutputModule),
                   {R(version, 0, V), R(description, 1, P), R(hwndParent, 2, P), R(hDllInstance, 3, P),
                    R(Config, 4, P), R(About, 5, P), R(Init, 6, P), R(Quit, 7, P), R(Open, 8, P), R(Close, 9, P),
                    R(Write, 10, P), R(CanWrite, 11, P), R(IsPlaying, 12, P), R(Pause, 13, P),
                    R(SetVolume, 14, P), R(SetPan, 15, P), R(Flush, 16, P), R(GetOutputTime, 17, P),
                    R(GetWrittenTime, 18, P)}});
#undef R
#define R(field, offset, kind) ROW(InputSource, field, offset, 4, kind)
  cases.push_back({"InputSource", 120, sizeof(InputSource),
                   {ROW(InputSource, version, 0, 2, V), ROW(InputSource, flags, 2, 2, V), R(description, 4, P),
                    R(hwndParent, 8, P), R(hDllInstance, 12, P), R(openFlags, 16, V), R(Reserved5, 20, P),
                    R(Reserved6, 24, P), R(Init, 28, P), R(Release, 32, P), R(Open, 36, P), R(Close, 40, P),
                    R(Read, 44, P), R(Seek, 48, P), R(GetLength, 52, P), R(Tell, 56, P), R(IsSeekable, 60, P),
                    R(GetTitle, 64, P), R(GetStationName, 68, P), R(state, 72, P), R(ReadInfo, 76, P),
                    R(Control, 80, P), R(ClaimsPath, 84, P), R(StartUp, 88, P), R(CleanUp, 92, P),
                    R(CheckItem, 96, P), R(hostCallback, 100, P), ROW(InputSource, reserved, 104, 16, V)}});
#undef R
#define R(field, word, kind) WORD_ROW(DSPModule, field, word, kind)
  cases.push_back({"DSPModule", 60, sizeof(DSPModule),
                   {ROW(DSPModule, version, 0, 2, V), ROW(DSPModule, flags, 2, 2, V), R(description, 1, P),
                    R(hwndParent, 2, P), R(hDllInstance, 3, P), R(Config, 4, P), R(About, 5, P), R(Init, 6, P),
                    R(Quit, 7, P), R(GetMaxSamples, 8, P), R(ModifySamples, 9, P), R(userData, 10, P),
                    R(configDialogId, 11, V), R(configDialogProc, 12, P), R(OnEvent, 13, P),
                    R(hostCallback, 14, P)}});
#undef R
#define R(field, word, kind) WORD_ROW(GenModule, field, word, kind)
  cases.push_back({"GenModule", 48, sizeof(GenModule),
                   {R(version, 0, V), R(description, 1, P), R(hwndParent, 2, P), R(hDllInstance, 3, P),
                    R(Config, 4, P), R(About, 5, P), R(Init, 6, P), R(Quit, 7, P),
                    ROW(GenModule, reserved, 32, 8, V), R(CommandHook, 10, P), R(hostCallback, 11, P)}});
#undef R
#define R(field, offset, width, kind) ROW(VisModule, field, offset, width, kind)
  cases.push_back({"VisModule", 2456, sizeof(VisModule),
                   {R(description, 0, 4, P), R(hwndParent, 4, 4, P), R(hDllInstance, 8, 4, P), R(hdc, 12, 4, P),
                    R(sampleRate, 16, 4, V), R(channels, 20, 2, V), R(flags, 22, 2, V), R(latencyMs, 24, 4, V),
                    R(delayMs, 28, 4, V), R(spectrumChannels, 32, 4, V), R(waveformChannels, 36, 4, V),
                    R(spectrumData, 40, 1152, B), R(waveformData, 1192, 1152, B), R(Config, 2344, 4, P),
                    R(Init, 2348, 4, P), R(Render, 2352, 4, P), R(Quit, 2356, 4, P), R(drawRect, 2360, 16, V),
                    R(colours, 2376, 4, P), R(userData, 2380, 4, P), R(notify, 2384, 4, P),
                    R(playerCallback, 2388, 4, P), R(position, 2392, 4, V), R(length, 2396, 4, V),
                    R(sharedText, 2400, 4, P), R(currentPath, 2404, 4, P), R(playlistIndex, 2408, 4, V),
                    R(playlistCount, 2412, 4, V), R(playerState, 2416, 4, V), R(screenRect, 2420, 16, V),
                    R(restartBits, 2436, 4, V), R(artwork, 2440, 4, P), R(reserved, 2444, 12, V)}});
#undef R
  cases.push_back({"VisLibrary", 12, sizeof(VisLibrary),
                   {ROW(VisLibrary, version, 0, 4, V), ROW(VisLibrary, description, 4, 4, P),
                    ROW(VisLibrary, getModule, 8, 4, P)}});
  return cases;
}

// Where a 64-bit build puts a row: pointers (and arrays of them) in 8-byte units aligned to 8,
// values at their own width aligned to it (at most 4), byte arrays anywhere.
size_t HostWidth(const Row& row) { return row.kind == kPointer ? row.width * 2 : row.width; }
size_t HostAlign(const Row& row) {
  if (row.kind == kPointer) return 8;
  if (row.kind == kBytes) return 1;
  return std::min<size_t>(row.width, 4);
}

TEST(ModuleRecords, RowsFollowTheDocumentedOffsetsAndSizes) {
  for (const RecordCase& c : Records()) {
    size_t offset = 0;
    for (const Row& row : c.rows) {
      EXPECT_EQ(row.documentedOffset, offset) << c.record << "::" << row.name;
      offset = row.documentedOffset + row.width;
    }
    EXPECT_EQ(offset, c.documentedSize) << c.record;
  }
}

TEST(ModuleRecords, HostStructsHoldTheDocumentedFieldsInOrder) {
  for (const RecordCase& c : Records()) {
    size_t offset = 0;
    size_t align = 1;
    for (const Row& row : c.rows) {
      const size_t a = HostAlign(row);
      offset = (offset + a - 1) / a * a;
      EXPECT_EQ(row.host.offset, offset) << c.record << "::" << row.name;
      EXPECT_EQ(row.host.size, HostWidth(row)) << c.record << "::" << row.name;
      offset += HostWidth(row);
      align = std::max(align, a);
    }
    EXPECT_EQ(c.hostSize, (offset + align - 1) / align * align) << c.record << ": fields beyond the documented ones";
  }
}

}  // namespace
