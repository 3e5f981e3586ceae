// Chapters (CHAP) and tables of contents (CTOC): element ids, times and the frames inside them,
// each chapter or table at an instance of its own. Frames of other kinds keep the whole frame.
#include <cstring>

#include "id3_frame_handlers.h"
#include "id3_reader.h"
#include "item_instances.h"
#include "tag_text.h"

namespace {

constexpr DWORD kChapterId = 0x80012F45, kChapterTitle = 0x80012F46, kChapterDescription = 0x80012F47,
                kChapterTimes = 0x80052F48, kChapterUrl = 0x80012F49, kChapterUrlText = 0x80012F4A,
                kChapterUrlFrame = 0x80012F4B, kChapterArtwork = 0x80022F4C, kChapterHasOther = 0x80022F4D,
                kChapterBlock = 0x80052EE4;
constexpr DWORD kTocId = 0x80012FA9, kTocFlags = 0x80022FAA, kTocName = 0x80012FAB, kTocDescription = 0x80012FAC,
                kTocChildCount = 0x80022FAD, kTocChildInstance = 0x80022FAE, kTocChildId = 0x80012FAF,
                kTocHasOther = 0x80022FB0, kTocBlock = 0x80052EE5;
constexpr DWORD kChapterArtworkStart = 10000;

size_t ElementIdEnd(const Id3Frame& f, size_t from) {
  return FindTerminator(ID3_LATIN1, f.data.data(), f.data.size(), from);
}

std::u16string IdText(const Id3Frame& f, std::string_view id) {
  return std::u16string(id.begin(), id.end());
}

std::vector<Id3Frame> Embedded(const Id3Context& c, const Id3Frame& f, size_t from) {
  if (from >= f.data.size()) return {};
  return SplitId3v2Frames(f.data.data() + from, f.data.size() - from, c.version,
                          f.filePos < 0 ? -1 : f.filePos + static_cast<long long>(from), f.embed, false);
}

}  // namespace

DWORD HandlePictureFrame(const Id3Context& c, const Id3Frame& f, DWORD from) {
  DWORD instance = from;
  if (f.data.size() < 2) return from;
  ReadPictureFrame(f.data[0], f.data.data() + 1, f.data.size() - 1, *c.out, c.version == 2, false, &instance, f.embed,
                   f.filePos < 0 ? -1 : f.filePos + 1);
  return instance;
}

void HandleChapterFrame(const Id3Context& c, const Id3Frame& f) {
  const size_t end = ElementIdEnd(f, 0);
  if (end + 17 > f.data.size()) return;
  const DWORD i = c.out->FreeInstance(kChapterId);
  if (i == ItemWriter::kNoInstance) return;
  SetInstanceText(c.item, kChapterId, i, AnsiToWide(f.data.data(), end));
  DWORD times[4];
  for (int k = 0; k < 4; ++k) times[k] = BigEndianToInt(f.data.data() + end + 1 + 4 * k, 4);
  SetInstanceBytes(c.item, kChapterTimes, i, times, sizeof times);
  bool other = false;
  for (const Id3Frame& sub : Embedded(c, f, end + 17)) {
    const std::string id(sub.id);
    if (id == "TIT2" || id == "TIT3") {
      SetInstanceText(c.item, id == "TIT2" ? kChapterTitle : kChapterDescription, i, FrameText(sub));
    } else if (id == "WXXX" && !sub.data.empty()) {
      const int encoding = sub.data[0];
      const size_t descriptionEnd = FindTerminator(encoding, sub.data.data(), sub.data.size(), 1);
      SetInstanceText(c.item, kChapterUrlText, i,
                      DecodeId3Text(encoding, sub.data.data() + 1, descriptionEnd - 1).value_or(u""));
      const size_t url = std::min(descriptionEnd + TerminatorSize(encoding), sub.data.size());
      SetInstanceText(c.item, kChapterUrl, i, AnsiToWide(sub.data.data() + url, sub.data.size() - url));
      SetInstanceText(c.item, kChapterUrlFrame, i, IdText(sub, id));
    } else if (id[0] == 'W') {
      SetInstanceText(c.item, kChapterUrlText, i, AnsiToWide(sub.data.data(), ElementIdEnd(sub, 0)));
      SetInstanceText(c.item, kChapterUrlFrame, i, IdText(sub, id));
    } else if (id == "APIC") {
      const DWORD artwork = HandlePictureFrame(c, sub, kChapterArtworkStart);
      SetInstanceInt(c.item, kChapterArtwork, i, artwork);
    } else {
      other = true;
    }
  }
  if (other) {
    SetInstanceBytes(c.item, kChapterBlock, i, f.data.data(), f.data.size());
    SetInstanceInt(c.item, kChapterHasOther, i, 1);
  }
}

void HandleTableOfContents(const Id3Context& c, const Id3Frame& f) {
  size_t end = ElementIdEnd(f, 0);
  if (end + 3 > f.data.size()) return;
  const DWORD i = c.out->FreeInstance(kTocId);
  if (i == ItemWriter::kNoInstance) return;
  SetInstanceText(c.item, kTocId, i, AnsiToWide(f.data.data(), end));
  const BYTE flags = f.data[end + 1], count = f.data[end + 2];
  SetInstanceInt(c.item, kTocFlags, i, flags);
  SetInstanceInt(c.item, kTocChildCount, i, count);
  const DWORD base = c.out->FreeInstance(kTocChildId);
  if (base != ItemWriter::kNoInstance) SetInstanceInt(c.item, kTocChildInstance, i, base);
  size_t pos = end + 3;
  // Every child id is passed over, to find the frames after them, even when the bound keeps it out.
  for (DWORD k = 0; k < count && pos < f.data.size(); ++k) {
    end = ElementIdEnd(f, pos);
    if (base != ItemWriter::kNoInstance && c.out->Allow(kTocChildId))
      SetInstanceText(c.item, kTocChildId, base + k, AnsiToWide(f.data.data() + pos, end - pos));
    pos = end + 1;
  }
  bool other = false;
  for (const Id3Frame& sub : Embedded(c, f, pos)) {
    const std::string id(sub.id);
    if (id == "TIT2") SetInstanceText(c.item, kTocName, i, FrameText(sub));
    else if (id == "TIT3") SetInstanceText(c.item, kTocDescription, i, FrameText(sub));
    else other = true;
  }
  if (other) {
    SetInstanceBytes(c.item, kTocBlock, i, f.data.data(), f.data.size());
    SetInstanceInt(c.item, kTocHasOther, i, 1);
  }
}
