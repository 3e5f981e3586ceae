// The skin script's element keywords: each fills a parameter block from its tokens in its kind's
// order, has the factory build the element and adds it to the skin. A line with too few tokens
// still makes its element (missing numbers 0) and reports its error.
#include "skin/skin.h"
#include "skin/skin_script_split.h"

namespace {

constexpr int kElementTokenLength = 265;

void Name(SkinElementParams* p, LPCWSTR text) {
  std::u16string name = text;
  name.resize(std::min<size_t>(name.size(), 259));
  std::copy(name.begin(), name.end(), p->name);
  p->name[name.size()] = 0;
}

// Builds and adds the element; 0 when the factory made none.
int Add(SkinParseContext* c, const SkinElementParams& p) {
  CSkinElement* e = CreateSkinElement(c->skin, p);
  if (!e) return 0;
  c->skin->AddElement(e, -1);
  return 1;
}

// Copies `count` numbers from token `first` on into the block's numbers at `at`.
void Numbers(const SkinTokens& t, int first, int count, SkinElementParams* p, int at = 0) {
  for (int i = 0; i < count; ++i) p->numbers[at + i] = t.Number(first + i);
}

int Group(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(1, 32);
  int n = 0;
  const bool ok = SplitForKeyword(c, args, &t, &n, {1});
  SkinElementParams p;
  p.kind = SKIN_KIND_GROUP;
  p.ids[0] = t.Number(0);
  return Add(c, p) && ok;
}

// The shape BUTTON and LABEL2 share: a name, two bitmap or font ids, a region, then numbers.
int NameIdsRegionNumbers(SkinParseContext* c, LPCWSTR args, int kind, int slots, int maxLength) {
  SkinTokens t(slots, maxLength);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {slots});
  SkinElementParams p;
  p.kind = kind;
  Name(&p, t.Text(0));
  p.ids[0] = t.Number(1);
  p.ids[1] = t.Number(2);
  ok = ParseSkinRegion(c, t.Text(3), &p.region) && ok;
  Numbers(t, 4, slots - 4, &p);
  return Add(c, p) && ok;
}

int Button(SkinParseContext* c, LPCWSTR args) {
  return NameIdsRegionNumbers(c, args, SKIN_KIND_BUTTON, 12, kElementTokenLength);
}

// Splits into all of the slots, for keywords whose token count depends on their tokens: the
// parsing message when a token was too long, and the split's result.
int SplitAnyCount(SkinParseContext* c, LPCWSTR args, SkinTokens* t, int* n) {
  *n = t->Slots();
  const int split = SplitSkinTokens(c, t, args, n, t->MaxLength(), u", \t");
  if (!split) SetSkinError(c, u"error parsing tokens for ", c->keyword);
  return split;
}

int OnOff(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(18, kElementTokenLength);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {18});
  SkinElementParams p;
  p.kind = SKIN_KIND_ONOFF;
  Name(&p, t.Text(0));
  for (int i = 0; i < 4; ++i) p.ids[i] = t.Number(1 + i);
  ok = ParseSkinRegion(c, t.Text(5), &p.region) && ok;
  Numbers(t, 6, 12, &p);
  return Add(c, p) && ok;
}

int CountButton(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(80, kElementTokenLength);
  int n = 0;
  const int split = SplitAnyCount(c, args, &t, &n);
  SkinElementParams p;
  p.kind = SKIN_KIND_COUNTBUTTON;
  Name(&p, t.Text(0));
  if (wcschr(t.Text(9), u'[')) {  // the fixed form: four states
    if (n != 30) SetSkinError(c, u"wrong amount of tokens for ", c->keyword);
    if (!split) return 0;
    p.states = 4;
    for (int i = 0; i < 8; ++i) p.ids[i] = t.Number(1 + i);
    bool ok = ParseSkinRegion(c, t.Text(9), &p.region) != 0;
    Numbers(t, 10, 20, &p);
    return Add(c, p) && ok && n == 30;
  }
  const int states = t.Number(1);
  if (states < 0 || states >= 12 || n != 6 * states + 7) {
    SetSkinError(c, u"wrong amount of tokens for ", c->keyword);
    return 0;
  }
  p.states = states;
  for (int i = 0; i < 2 * states; ++i) p.ids[i] = t.Number(2 + i);
  if (!ParseSkinRegion(c, t.Text(2 + 2 * states), &p.region)) return 0;
  Numbers(t, 3 + 2 * states, 4 + 4 * states, &p);
  return Add(c, p) && split;
}

template <int kKind, int kTokens>
int Slider(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(kTokens, kElementTokenLength);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {kTokens});
  SkinElementParams p;
  p.kind = kKind;
  Name(&p, t.Text(0));
  p.numbers[0] = wcscmp(t.Text(1), u"HORZ") == 0 ? 1 : 2;
  p.ids[0] = t.Number(2);
  p.numbers[1] = t.Number(3);
  p.numbers[2] = t.Number(4);
  ok = ParseSkinRegion(c, t.Text(5), &p.region) && ok;
  Numbers(t, 6, kTokens - 6, &p, 3);
  return Add(c, p) && ok;
}

int Dial(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(30, kElementTokenLength);
  int n = 0;
  const int split = SplitAnyCount(c, args, &t, &n);
  if (n < 9) {
    SetSkinError(c, u"wrong amount of tokens for ", c->keyword);
    return 0;
  }
  SkinElementParams p;
  p.kind = SKIN_KIND_DIAL;
  Name(&p, t.Text(0));
  p.ids[0] = t.Number(1);
  p.ids[1] = t.Number(2);
  const bool region = ParseSkinRegion(c, t.Text(3), &p.region) != 0;
  Numbers(t, 4, 5, &p);
  if (p.numbers[4] != 0) {
    Numbers(t, 9, 4, &p, 5);
  } else {
    p.hands = t.Number(9);
    for (int i = 0; i < std::min(std::max(p.hands, 0), kSkinMaxHands); ++i) {
      SkinHandSpec& h = p.hand[i];
      const int at = 10 + 4 * i;
      ParseSkinRegion(c, t.Text(at), &h.region);
      h.pen = ParseSkinColor(t.Text(at + 1));
      h.penWidth = t.Number(at + 2);
      h.brush = ParseSkinColor(t.Text(at + 3));
    }
  }
  return Add(c, p) && region && split;
}

int Label(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(5, 260);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {4, 5}, wcschr(args, u'~') ? u"~ \t" : u", \t");
  SkinElementParams p;
  p.kind = SKIN_KIND_LABEL;
  std::u16string name = t.Text(0);
  std::replace(name.begin(), name.end(), u'^', u' ');
  Name(&p, name.c_str());
  p.ids[0] = t.Number(1);
  p.ids[1] = t.Number(2);
  ok = ParseSkinRegion(c, t.Text(3), &p.region) && ok;
  p.numbers[0] = t.Number(4);
  return Add(c, p) && ok;
}

int Label2(SkinParseContext* c, LPCWSTR args) { return NameIdsRegionNumbers(c, args, SKIN_KIND_LABEL2, 10, 32); }

int Panel(SkinParseContext* c, LPCWSTR args) {
  SkinTokens t(9, 32);
  int n = 0;
  bool ok = SplitForKeyword(c, args, &t, &n, {9});
  SkinElementParams p;
  p.kind = SKIN_KIND_PANEL;
  Name(&p, t.Text(0));
  wcsncpy(p.script, t.Text(1), 31);
  Numbers(t, 2, 7, &p);
  if (!Add(c, p)) {
    SetSkinError(c, u"error reading PANEL script ", t.Text(1));
    return 0;
  }
  return ok;
}

}  // namespace

const SkinKeyword kSkinElementKeywords[] = {
    {u"GROUP", Group},
    {u"BUTTON", Button},
    {u"ONOFF", OnOff},
    {u"COUNTBUTTON", CountButton},
    {u"SLIDER", Slider<SKIN_KIND_SLIDER, 14>},
    {u"RATCHET", Slider<SKIN_KIND_RATCHET, 15>},
    {u"DIAL", Dial},
    {u"LABEL", Label},
    {u"LABEL2", Label2},
    {u"PANEL", Panel},
};
const int kSkinElementKeywordCount = static_cast<int>(std::size(kSkinElementKeywords));
