// Handlers of the ID3v2 frames that need more than a text: genres, comments and lyrics,
// ratings, volume adjustments, private frames, chapters and tables of contents.
#pragma once
#include "id3_frames.h"
#include "item_writer.h"
#include "mediaitem.h"

struct Id3Context {
  IMediaItem* item;
  int version;
  ItemWriter* out;  // the item, for instance searches, appended text and writes that may meet them
};

void HandleGenreFrame(const Id3Context& c, const Id3Frame& f);
void HandleCommentFrame(const Id3Context& c, const Id3Frame& f, DWORD textTag, DWORD languageTag, DWORD shortTag);
void HandlePopularimeter(const Id3Context& c, const Id3Frame& f);
void HandleRelativeVolume2(const Id3Context& c, const Id3Frame& f);
void HandleRelativeVolume(const Id3Context& c, const Id3Frame& f);
// False when the owner names no attribute it can store (the frame is then unhandled).
bool HandlePrivateFrame(const Id3Context& c, const Id3Frame& f);
void HandleChapterFrame(const Id3Context& c, const Id3Frame& f);
void HandleTableOfContents(const Id3Context& c, const Id3Frame& f);
// A picture frame (APIC, PIC) into the first free artwork instance at or after `from`.
DWORD HandlePictureFrame(const Id3Context& c, const Id3Frame& f, DWORD from);
// Text of a frame as a text frame gives it (several values joined with ";").
std::u16string FrameText(const Id3Frame& f);
