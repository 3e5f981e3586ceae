// The ID3 vocabulary as tables: frame ids that map straight to library tags, searched in order
// (first match wins), and the 148 ID3v1 genre names.
#include "id3_tables.h"

#include <cstring>
#include <iterator>

namespace {

constexpr Id3FrameTag kFrameMap[] = {
    {"TCOM", "TCM", 0x00010016},
    {"TPE2", "TP2", 0x00010008},
    {"TIT2", "TT2", 0x00010007},
    {"TPE1", "TP1", 0x00010005},
    {"TRCK", "TRK", 0x000203E9},
    {"TALB", "TAL", 0x00010006},
    {"TIT1", "TT1", 0x00010019},
    {"TIT3", "TT3", 0x00010021},
    {"TPE3", "TP3", 0x00010015},
    {"TEXT", "TXT", 0x00010014},
    {"TENC", "TEN", 0x00010010},
    {"TBPM", "TBP", 0x000203F5},
    {"TLEN", "TLE", 0x000203EC},
    {"TKEY", "TKE", 0x0001001C},
    {"TLAN", "TLA", 0x0001001B},
    {"TFLT", "TFT", 0x0001000E},
    {"TMED", "TMT", 0x0001000D},
    {"TMOO", nullptr, 0x0001001D},
    {"TCAT", "TCT", 0x0001001E},
    {"TDES", "TDS", 0x00010018},
    {"TGID", "TID", 0x00012D51},
    {"WFED", "WFD", 0x00012D52},
    {"PCST", "PCS", 0x00022D53},
    {"TCOP", "TCR", 0x0001000F},
    {"TPRO", nullptr, 0x000100CC},
    {"TPUB", "TPB", 0x00010013},
    {"TRSN", nullptr, 0x0001012D},
    {"TDEN", nullptr, 0x000407D2},
    {nullptr, "TDR", 0x000407D3},
    {"TDRL", nullptr, 0x000407D3},
    {nullptr, "TOR", 0x000407D3},
    {"TORY", nullptr, 0x000407D3},
    {"TDRC", nullptr, 0x000407D4},
    {nullptr, "TRD", 0x000407D4},
    {nullptr, "TYE", 0x000407D4},
    {"TYER", nullptr, 0x000407D4},
    {"WCOM", "WCM", 0x0001006B},
    {"WCOP", "WCP", 0x00010069},
    {"WOAF", "WAF", 0x00010066},
    {"WOAR", "WAR", 0x00010068},
    {"WOAS", "WAS", 0x00010067},
    {"WORS", nullptr, 0x0001006C},
    {"MCDI", "MCI", 0x00050FA1},
    {"ISRC", "TRC", 0x00010024},
    {"APIC", "PIC", 0x80051B59},
    {"POPM", nullptr, 0x000203EA},
    {"COMM", "COM", 0x80014A3C},
    {"USLT", "ULT", 0x8001300F},
    {"SYLT", "SLT", 0x80053015},
    {"CHAP", nullptr, 0x80052EE4},
    {"CTOC", nullptr, 0x80052EE5},
};

constexpr const char16_t* kGenres[] = {
    u"Blues", u"Classic Rock", u"Country", u"Dance", u"Disco", u"Funk", u"Grunge", u"Hip-Hop", u"Jazz",
    u"Metal", u"New Age", u"Oldies", u"Other", u"Pop", u"R&B", u"Rap", u"Reggae", u"Rock", u"Techno",
    u"Industrial", u"Alternative", u"Ska", u"Death metal", u"Pranks", u"Soundtrack", u"Euro-Techno",
    u"Ambient", u"Trip-hop", u"Vocal", u"Jazz+Funk", u"Fusion", u"Trance", u"Classical", u"Instrumental",
    u"Acid", u"House", u"Game", u"Sound Clip", u"Gospel", u"Noise", u"Alt. Rock", u"Bass", u"Soul", u"Punk",
    u"Space", u"Meditative", u"Instrumental pop", u"Instrumental rock", u"Ethnic", u"Gothic", u"Darkwave",
    u"Techno-Industrial", u"Electronic", u"Pop-Folk", u"Eurodance", u"Dream", u"Southern Rock", u"Comedy",
    u"Cult", u"Gangsta", u"Top 40", u"Christian Rap", u"Pop/Funk", u"Jungle", u"Native American", u"Cabaret",
    u"New Wave", u"Psychedelic", u"Rave", u"Showtunes", u"Trailer", u"Lo-Fi", u"Tribal", u"Acid Punk",
    u"Acid Jazz", u"Polka", u"Retro", u"Musical", u"Rock & Roll", u"Hard Rock", u"Folk", u"Folk-Rock",
    u"National Folk", u"Swing", u"Fast Fusion", u"Bebob", u"Latin", u"Revival", u"Celtic", u"Bluegrass",
    u"Avantgarde", u"Gothic Rock", u"Progressive Rock", u"Psychedelic Rock", u"Symphonic Rock", u"Slow Rock",
    u"Big Band", u"Chorus", u"Easy Listening", u"Acoustic", u"Humour", u"Speech", u"Chanson", u"Opera",
    u"Chamber Music", u"Sonata", u"Symphony", u"Booty Bass", u"Primus", u"Porn Groove", u"Satire",
    u"Slow Jam", u"Club", u"Tango", u"Samba", u"Folklore", u"Ballad", u"Power Ballad", u"Rhythmic Soul",
    u"Freestyle", u"Duet", u"Punk Rock", u"Drum Solo", u"A cappella", u"Euro-House", u"Dance Hall", u"Goa",
    u"Drum & Bass", u"Club-House", u"Hardcore", u"Terror", u"Indie", u"BritPop", u"Negerpunk", u"Polsk Punk",
    u"Beat", u"Christian gangsta rap", u"Heavy Metal", u"Black Metal", u"Crossover",
    u"Contemporary Christian", u"Christian Rock", u"Merengue", u"Salsa", u"Thrash Metal", u"Anime", u"JPop",
    u"Synthpop",
};
static_assert(std::size(kGenres) == 148, "ID3v1 knows 148 genres");

}  // namespace

const Id3FrameTag* FindId3Frame(const char* id, bool version2) {
  for (const Id3FrameTag& row : kFrameMap) {
    const char* candidate = version2 ? row.shortId : row.id;
    if (candidate && std::strcmp(candidate, id) == 0) return &row;
  }
  return nullptr;
}

std::u16string GetId3v1GenreName(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kGenres)) ? kGenres[index] : u"";
}
