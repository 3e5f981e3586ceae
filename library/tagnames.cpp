// The 170 rows of the tag-name table, in their fixed order: the bare type ids first, then the
// named tags by type. Rows without a name keep their number resolvable but have no name.
#include "tagnames.h"

#include <atomic>

#include "tagids.h"
#include "wide_text.h"

namespace {

constexpr DWORD S(DWORD n) { return TAG_ID(n, TAG_TYPE_STR); }
constexpr DWORD I(DWORD n) { return TAG_ID(n, TAG_TYPE_INT); }
constexpr DWORD R(DWORD n) { return TAG_ID(n, TAG_TYPE_REAL); }
constexpr DWORD D(DWORD n) { return TAG_ID(n, TAG_TYPE_DATE); }
constexpr DWORD B(DWORD n) { return TAG_ID(n, TAG_TYPE_BLOB); }
constexpr DWORD G(DWORD n) { return TAG_ID(n, TAG_TYPE_GUID); }
constexpr DWORD MS(DWORD n) { return TAG_MULTI_ID(n, TAG_TYPE_STR); }
constexpr DWORD MI(DWORD n) { return TAG_MULTI_ID(n, TAG_TYPE_INT); }
constexpr DWORD MR(DWORD n) { return TAG_MULTI_ID(n, TAG_TYPE_REAL); }
constexpr DWORD MB(DWORD n) { return TAG_MULTI_ID(n, TAG_TYPE_BLOB); }

constexpr TagNameRow kRows[] = {
    {0x00000000, nullptr}, {0x00010000, nullptr}, {0x00020000, nullptr}, {0x00030000, nullptr},
    {0x00040000, nullptr}, {0x00050000, nullptr}, {0x00060000, nullptr},
    // Single-valued strings.
    {S(1), u"File"}, {S(2), u"File path"}, {S(3), u"File name"}, {S(4), u"File extension"},
    {S(5), u"Artist"}, {S(6), u"Album"}, {S(7), u"Song title"}, {S(8), u"Album artist"},
    {S(9), u"Display title"}, {S(10), u"Media info"}, {S(11), u"Genre"}, {S(12), u"Subgenre"},
    {S(13), u"Media"}, {S(14), u"Type"}, {S(15), u"Copyright"}, {S(16), u"Data provider"},
    {S(17), u"Style"}, {S(18), u"Provider rating"}, {S(19), u"Label"}, {S(20), u"Writer"},
    {S(21), u"Conductor"}, {S(22), u"Composer"}, {S(23), u"Parental rating"},
    {S(24), u"Item description"}, {S(25), u"Group description"}, {S(26), u"Subtitle"},
    {S(27), u"Language"}, {S(28), u"Key"}, {S(29), u"Mood"}, {S(30), u"Category"},
    {S(31), u"Content provider"}, {S(32), u"Period"}, {S(33), u"Comment"}, {S(34), u"Location"},
    {S(35), u"License"}, {S(36), u"ISRC"}, {S(37), u"Metadata provider"}, {S(38), u"Unique file ID"},
    {S(39), u"Keywords"}, {S(101), u"Stream URL"}, {S(102), u"File URL"}, {S(103), u"Source URL"},
    {S(104), u"Author URL"}, {S(105), u"Copyright URL"}, {S(106), u"Albumcover URL"},
    {S(107), u"Commercial URL"}, {S(108), u"Station URL"}, {S(201), u"Actor"}, {S(202), u"Studio"},
    {S(203), u"Director"}, {S(204), u"Producer"}, {S(301), u"Station ID"}, {S(302), u"Band"},
    {S(303), u"Frequency"}, {S(304), u"Format"}, {S(305), u"City"}, {S(306), u"Abstract"},
    {S(307), u"Author"}, {S(401), u"Custom 1"}, {S(402), u"Custom 2"},
    {S(11601), u"iTunes track GUID"}, {S(11602), u"iTunes track web feed"},
    // Single-valued integers.
    {I(1001), u"Track number"}, {I(1002), u"Rating"}, {I(1003), u"Auto rating"}, {I(1004), u"Length"},
    {I(1005), u"Bit rate"}, {I(1006), u"Protected"}, {I(1007), u"Size"}, {I(1008), u"Sample rate"},
    {I(1009), u"Channels"}, {I(1010), u"Bits per sample"}, {I(1011), u"Is VBR"},
    {I(1012), u"Is lossless"}, {I(1013), u"BPM"}, {I(1014), u"Format tag"},
    {I(1015), u"Private rating"}, {I(7005), u"Artwork current instance"},
    {I(11001), u"WMA DRC average reference"}, {I(11002), u"WMA DRC average target"},
    {I(11003), u"WMA DRC peak reference"}, {I(11004), u"WMA DRC peak target"},
    {I(11005), u"WMA average level"}, {I(11006), u"WMA peak value"}, {I(11603), u"iTunes podcast flag"},
    // Single-valued reals.
    {R(3001), nullptr}, {R(10002), u"Replaygain track gain"}, {R(10003), u"Replaygain album gain"},
    {R(10004), u"Replaygain track peak"}, {R(10005), u"Replaygain album peak"},
    {R(10006), u"Replaygain reference volume"},
    // Single-valued dates.
    {D(2001), u"Acquisition time"}, {D(2002), u"Creation date"}, {D(2003), u"Release date"},
    {D(2004), u"Recording date"}, {D(2005), u"Marker count"}, {D(2006), u"File creation date"},
    {D(2007), u"File last access date"}, {D(2008), u"File last write date"},
    {D(2009), u"File last played date"},
    // Single-valued blobs and GUIDs.
    {B(4001), u"MCDI"}, {B(11501), u"WMA marker object"},
    {G(5001), u"Collection ID"}, {G(5002), u"Collectiongroup ID"}, {G(5003), u"Content ID"},
    {G(5004), u"Mediaclass primary ID"}, {G(5005), u"Mediaclass secondary ID"},
    {G(5006), u"Subscription content ID"}, {G(19900), u"Source collection"}, {G(19901), u"Media type"},
    {G(19902), u"Media subtype"},
    // Multi-valued strings.
    {MS(6003), u"Marker name"}, {MS(6010), u"Genre collection"}, {MS(7002), u"Artwork mimetype"},
    {MS(7003), u"Artwork caption"}, {MS(12001), u"ID3 volume identification"}, {MS(12101), nullptr},
    {MS(12102), nullptr}, {MS(12103), u"ID3 chapter description"}, {MS(12105), nullptr},
    {MS(12106), nullptr}, {MS(12107), nullptr}, {MS(12201), u"ID3 TOC ID"}, {MS(12203), u"ID3 TOC name"},
    {MS(12204), u"ID3 TOC description"}, {MS(12207), u"ID3 TOC child ID"}, {MS(12301), nullptr},
    {MS(12302), u"Unsynchronised lyrics description"}, {MS(12303), u"Unsynchronised lyrics text"},
    {MS(12304), nullptr}, {MS(12308), u"Synchronised lyrics description"},
    {MS(19001), u"Unhandled tag name"}, {MS(19004), u"More comments"},
    {MS(19005), u"More comments language"}, {MS(19006), u"More comments short"},
    // Multi-valued integers.
    {MI(6001), u"Play count"}, {MI(6002), u"Marker location"}, {MI(7004), u"Artwork type"},
    {MI(7006), u"Artwork embedded offset"}, {MI(7007), u"Artwork embedded size"},
    {MI(7008), u"Artwork embedded CRC"}, {MI(10001), u"Replaygain originators"},
    {MI(12003), u"ID3 volume peak"}, {MI(12006), u"ID3 volume RVA2 block"}, {MI(12108), nullptr},
    {MI(12109), nullptr}, {MI(12202), u"ID3 TOC flags"}, {MI(12205), u"ID3 TOC child count"},
    {MI(12206), u"ID3 TOC child instance"}, {MI(12208), u"ID3 TOC has other tags"},
    {MI(12305), nullptr}, {MI(12306), nullptr}, {MI(12307), nullptr}, {MI(19002), u"Unhandled tag type"},
    // Multi-valued reals and blobs.
    {MR(12002), u"ID3 volume adjustment"},
    {MB(6004), u"Marker thumbnail"}, {MB(7001), u"Artwork data"}, {MB(7009), u"Artwork embedded header"},
    {MB(12004), nullptr}, {MB(12005), u"ID3 table of contents block"}, {MB(12104), nullptr},
    {MB(12309), u"Synchronised lyrics data"}, {MB(19003), u"Unhandled tag data"},
};
static_assert(std::size(kRows) == 170, "the tag-name table has 170 fixed rows");

std::atomic<AttributeNameLookup> g_attributeLookup{nullptr};

}  // namespace

std::span<const TagNameRow> TagNameTable() { return kRows; }

void SetAttributeNameLookup(AttributeNameLookup lookup) { g_attributeLookup = lookup; }

HRESULT LookupTagName(DWORD id, std::u16string* name) {
  for (const TagNameRow& row : kRows) {
    if (row.id != id) continue;
    if (!row.name) return E_FAIL;
    *name = row.name;
    return S_OK;
  }
  return E_FAIL;
}

HRESULT LookupTagId(std::u16string_view name, DWORD* id) {
  *id = 0;
  for (const TagNameRow& row : kRows) {
    if (row.name && zblib::EqualNoCase(row.name, name)) {
      *id = row.id;
      return S_OK;
    }
  }
  AttributeNameLookup lookup = g_attributeLookup;
  if (!lookup) return E_FAIL;
  std::u16string terminated(name);
  *id = lookup(terminated.c_str());
  return *id != 0 ? S_OK : E_FAIL;
}

HRESULT LookupTagIdByNumber(DWORD number, DWORD* id) {
  if (!id) return E_POINTER;
  *id = 0;
  if (number > 0xFFFF) return E_FAIL;
  for (const TagNameRow& row : kRows) {
    if (TAG_NUMBER(row.id) != number) continue;
    if (row.id == 0) return E_FAIL;
    *id = row.id;
    return S_OK;
  }
  return E_FAIL;
}
