// The Windows Media attribute names the player knows, in their fixed order (first match wins,
// case ignored). Names that map to 0 are unhandled attributes; ASF_IGNORED_TAG ones are dropped.
#include "asf_attributes.h"

namespace {

struct AttributeRow {
  const char16_t* name;
  DWORD tag;
};

constexpr AttributeRow kAttributes[] = {
    {u"WM/AlbumArtist", 0x10008},
    {u"Artist", 0x10005},
    {u"Author", 0x10133},
    {u"Title", 0x10007},
    {u"WM/AlbumTitle", 0x10006},
    {u"Album", 0x10006},
    {u"WM/Genre", 0x1000B},
    {u"Genre", 0x1000B},
    {u"WM/ISRC", 0x10024},
    {u"WM/MCDI", 0x50FA1},
    {u"WM/AudioFileURL", 0x10066},
    {u"WM/AudioSourceURL", 0x10067},
    {u"WM/AuthorURL", 0x10068},
    {u"WM/Category", 0x1001E},
    {u"WM/Composer", 0x10016},
    {u"WM/ContentDistributor", 0x1001F},
    {u"WM/ParentalRating", 0x10017},
    {u"WM/ProviderRating", 0x10012},
    {u"WM/ProviderStyle", 0x1000C},
    {u"WM/Provider", 0x10025},
    {u"WM/Publisher", 0x10013},
    {u"WM/SubscriptionContentID", 0x6138E},
    {u"WM/UniqueFileIdentifier", 0x10026},
    {u"WM/AlbumCoverURL", 0x1006A},
    {u"WM/SharedUserRating", 0x203EA},
    {u"WM/SubTitle", 0x1001A},
    {u"AverageLevel", 0x22AFD},
    {u"PeakValue", 0x22AFE},
    {u"WM/MediaClassPrimaryID", 0x6138C},
    {u"WM/MediaClassSecondaryID", 0x6138D},
    {u"WM/MediaPrimaryClassID", 0x6138C},
    {u"WM/MediaSecondaryClassID", 0x6138D},
    {u"WM/WMADRCAverageReference", 0x22AF9},
    {u"WM/WMADRCAverageTarget", 0x22AFA},
    {u"WM/WMADRCPeakReference", 0x22AFB},
    {u"WM/WMADRCPeakTarget", 0x22AFC},
    {u"WM/WMCollectionGroupID", 0x6138A},
    {u"WM/WMCollectionID", 0x61389},
    {u"WM/WMContentID", 0x6138B},
    {u"WM/TrackNumber", 0x203E9},
    {u"TrackNumber", 0x203E9},
    {u"WM/Track", 0x203E9},
    {u"WM/Year", 0x407D3},
    {u"Year", 0x407D3},
    {u"Date", 0x407D3},
    {u"IsVBR", 0x203F3},
    {u"WM/EncodingTime", 0x407D1},
    {u"WM/Picture", 0},
    {u"Copyright", 0x1000F},
    {u"Description", 0x10021},
    {u"WM/Language", 0x1001B},
    {u"WM/Producer", 0x100CC},
    {u"WM/Writer", 0x10014},
    {u"WM/ContentGroupDescription", 0x10019},
    {u"WM/BeatsPerMinute", 0x203F5},
    {u"WM/Conductor", 0x10015},
    {u"WM/InitialKey", 0x1001C},
    {u"WM/Mood", 0x1001D},
    {u"WM/Period", 0x10020},
    {u"Custom 1", 0x10191},
    {u"Custom 2", 0x10192},
    {u"WM/TrackTitle", 0x10009},
    {u"WM/Lyrics", 0x8001300F},
    {u"WM/Lyrics_Synchronised", 0x80053015},
    {u"WM/UserWebURL", 0},
    {u"WM/PromotionURL", 0},
    {u"WM/NapsterHeader", 0},
    {u"WM/PartOfSet", 0},
    {u"WMFSDKNeeded", 0x50000},
    {u"WMFSDKVersion", 0x50000},
    {u"ASFLeakyBucketPairs", 0x50000},
    {u"EncodedBy", 0x50000},
    {u"DeviceConformanceTemplate", 0x50000},
};

}  // namespace

DWORD GetAsfAttributeName(LPCWSTR name) {
  if (!name) return 0;
  for (const AttributeRow& row : kAttributes)
    if (_wcsicmp(row.name, name) == 0) return row.tag;
  return 0;
}
