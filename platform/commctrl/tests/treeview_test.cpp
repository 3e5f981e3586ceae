// The tree view, driven by messages and by the stylus and keys: inserting first, last, after
// and sorted; walking the tree; expanding with TVN_ITEMEXPANDING (which may refuse and which
// fills children on demand) and collapsing with a reset; selection notifications; state-image
// check boxes; hit tests on buttons, images and labels; in-place label editing; the hold gesture.
#include <cstring>

#include "cc_support.h"

namespace {

using namespace cctest;
using ctest::Notes;

class TreeViewTest : public CommonControlTest {
 protected:
  HWND MakeTree(DWORD style = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS) {
    HWND tree = Make(WC_TREEVIEWW, style, {10, 10, 230, 200}, 1113);
    EXPECT_NE(tree, nullptr);
    return tree;
  }
  HTREEITEM Add(HWND tree, HTREEITEM parent, const char16_t* text, LPARAM param, HTREEITEM after = TVI_LAST,
                int children = 0) {
    TVINSERTSTRUCTW in{};
    in.hParent = parent;
    in.hInsertAfter = after;
    in.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    in.item.pszText = const_cast<LPWSTR>(text);
    in.item.lParam = param;
    in.item.cChildren = children;
    return TreeView_InsertItem(tree, &in);
  }
  std::u16string Text(HWND tree, HTREEITEM item) {
    char16_t text[64] = {};
    TVITEMW get{};
    get.mask = TVIF_TEXT;
    get.hItem = item;
    get.pszText = text;
    get.cchTextMax = 64;
    TreeView_GetItem(tree, &get);
    return text;
  }
  std::vector<std::u16string> Children(HWND tree, HTREEITEM parent) {
    std::vector<std::u16string> out;
    for (HTREEITEM c = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree); c; c = TreeView_GetNextSibling(tree, c))
      out.push_back(Text(tree, c));
    return out;
  }
  // A point on the item's row where the hit test answers `flag`.
  POINT PointWith(HWND tree, HTREEITEM item, UINT flag) {
    const RECT label = Label(tree, item);
    for (int x = 0; x < label.right; ++x) {
      TVHITTESTINFO hit{{x, (label.top + label.bottom) / 2}, 0, nullptr};
      if (TreeView_HitTest(tree, &hit) == item && hit.flags == flag) return hit.pt;
    }
    ADD_FAILURE() << "no point with " << flag;
    return POINT{0, 0};
  }
  RECT Label(HWND tree, HTREEITEM item) {
    RECT r{};
    std::memcpy(&r, &item, sizeof item);  // the item rides in the rectangle, as the platform has it
    EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
    return r;
  }
};

TEST_F(TreeViewTest, InsertingPlacesItemsAndWalkingFindsThem) {
  HWND tree = MakeTree();
  HTREEITEM device = Add(tree, TVI_ROOT, u"My Device", 1);
  HTREEITEM music = Add(tree, device, u"Music", 2);
  Add(tree, device, u"Apps", 3, TVI_FIRST);
  Add(tree, device, u"Temp", 4, music);
  EXPECT_EQ(Children(tree, device), (std::vector<std::u16string>{u"Apps", u"Music", u"Temp"}));
  HTREEITEM sorted = Add(tree, TVI_ROOT, u"Storage Card", 5);
  for (const char16_t* name : {u"Podcasts", u"albums", u"Video"}) Add(tree, sorted, name, 0, TVI_SORT);
  EXPECT_EQ(Children(tree, sorted), (std::vector<std::u16string>{u"albums", u"Podcasts", u"Video"})) << "sorted without case";
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 8);
  EXPECT_EQ(TreeView_GetParent(tree, music), device);
  EXPECT_EQ(TreeView_GetParent(tree, device), nullptr);
  EXPECT_EQ(TreeView_GetNextItem(tree, music, TVGN_PREVIOUS), TreeView_GetChild(tree, device));
  EXPECT_EQ(TreeView_GetNextItem(tree, device, TVGN_NEXTVISIBLE), sorted) << "children of a closed item do not show";
  EXPECT_EQ(TreeView_GetNextItem(tree, reinterpret_cast<HTREEITEM>(0x1234), TVGN_NEXT), nullptr) << "a made-up item is none";
  EXPECT_TRUE(TreeView_DeleteItem(tree, device));
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(Only(TVN_DELETEITEMW).size(), 4u) << "each item deleted is told, children too";
  EXPECT_FALSE(TreeView_DeleteItem(tree, music)) << "gone with its parent";
}

TEST_F(TreeViewTest, ExpandingAsksTheParentWhichMayFillOrRefuse) {
  HWND tree = MakeTree();
  HTREEITEM folder = Add(tree, TVI_ROOT, u"Folder", 1, TVI_LAST, 1);  // children on demand
  HTREEITEM locked = Add(tree, TVI_ROOT, u"Locked", 2, TVI_LAST, 1);
  Answer() = [&](NMHDR* h) -> LRESULT {
    if (h->code != TVN_ITEMEXPANDINGW) return 0;
    auto* n = reinterpret_cast<NMTREEVIEWW*>(h);
    if (n->itemNew.lParam == 2) return TRUE;  // refused
    if (n->action == TVE_EXPAND && !TreeView_GetChild(tree, folder)) {
      Add(tree, folder, u"Sub A", 10);
      Add(tree, folder, u"Sub B", 11);
    }
    return 0;
  };
  Log().clear();
  EXPECT_TRUE(TreeView_Expand(tree, folder, TVE_EXPAND));
  EXPECT_EQ(Children(tree, folder), (std::vector<std::u16string>{u"Sub A", u"Sub B"}));
  const auto told = Only(TVN_ITEMEXPANDEDW);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].oldState, static_cast<UINT>(TVE_EXPAND));
  EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(folder), TVIS_EXPANDED));
  EXPECT_FALSE(TreeView_Expand(tree, locked, TVE_EXPAND));
  EXPECT_FALSE(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(locked), TVIS_EXPANDED));
  // Collapsing with a reset drops the children, and the next expansion asks again.
  Log().clear();
  EXPECT_TRUE(TreeView_Expand(tree, folder, TVE_COLLAPSE | TVE_COLLAPSERESET));
  EXPECT_TRUE(Children(tree, folder).empty());
  EXPECT_EQ(Only(TVN_DELETEITEMW).size(), 2u);
  EXPECT_TRUE(TreeView_Expand(tree, folder, TVE_EXPAND));
  EXPECT_EQ(Children(tree, folder).size(), 2u);
  // Once expanded (and not reset), a program's expansion is not told again.
  TreeView_Expand(tree, folder, TVE_COLLAPSE);
  Log().clear();
  EXPECT_TRUE(TreeView_Expand(tree, folder, TVE_EXPAND));
  EXPECT_TRUE(Only(TVN_ITEMEXPANDINGW).empty());
  EXPECT_TRUE(TreeView_Expand(tree, folder, TVE_EXPAND)) << "expanding what is open counts as done";
}

TEST_F(TreeViewTest, SelectionIsAskedToldAndFollowsAClosingBranch) {
  HWND tree = MakeTree();
  HTREEITEM top = Add(tree, TVI_ROOT, u"Playback", 1);
  HTREEITEM child = Add(tree, top, u"Start playing at open", 2);
  TreeView_Expand(tree, top, TVE_EXPAND);
  Log().clear();
  EXPECT_TRUE(TreeView_SelectItem(tree, child));
  EXPECT_EQ(TreeView_GetSelection(tree), child);
  EXPECT_EQ(NotifyCodes(), (std::vector<UINT>{TVN_SELCHANGINGW, TVN_SELCHANGEDW}));
  Answer() = [](NMHDR* h) -> LRESULT { return h->code == TVN_SELCHANGINGW; };
  EXPECT_FALSE(TreeView_SelectItem(tree, top));
  EXPECT_EQ(TreeView_GetSelection(tree), child) << "refused";
  Answer() = nullptr;
  TreeView_Expand(tree, top, TVE_COLLAPSE);
  EXPECT_EQ(TreeView_GetSelection(tree), top) << "the selection moves to the branch that closes";
}

TEST_F(TreeViewTest, TapsOnButtonsStateImagesAndLabels) {
  HWND tree = MakeTree(TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES);
  HTREEITEM branch = Add(tree, TVI_ROOT, u"Category", 1);
  HTREEITEM leaf = Add(tree, branch, u"Check me", 2);
  wtest::Pump();
  // The button opens the branch.
  const POINT button = PointWith(tree, branch, TVHT_ONITEMBUTTON);
  EXPECT_LT(button.x, Label(tree, branch).left);
  TapAt(tree, button);
  EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(branch), TVIS_EXPANDED));
  // The state image flips the check, as TVS_CHECKBOXES promises.
  const RECT label = Label(tree, leaf);
  const POINT box = PointWith(tree, leaf, TVHT_ONITEMSTATEICON);
  EXPECT_GT(box.x, Label(tree, branch).left) << "one level in";
  EXPECT_EQ(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(leaf), TVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));
  TapAt(tree, box);
  EXPECT_EQ(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(leaf), TVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
  // A tap on the label selects and clicks; keys walk and open.
  Log().clear();
  TapAt(tree, POINT{label.left + 3, (label.top + label.bottom) / 2});
  EXPECT_EQ(TreeView_GetSelection(tree), leaf);
  EXPECT_EQ(Only(NM_CLICK).size(), 1u);
  dtest::Key(VK_UP);
  wtest::Pump();
  EXPECT_EQ(TreeView_GetSelection(tree), branch);
  dtest::Key(VK_LEFT);
  wtest::Pump();
  EXPECT_FALSE(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(branch), TVIS_EXPANDED));
  dtest::Key(VK_RIGHT);
  wtest::Pump();
  EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(branch), TVIS_EXPANDED));
  const auto keys = Only(TVN_KEYDOWN);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].item, VK_UP);
}

TEST_F(TreeViewTest, LabelEditingAsksFirstAndKeepsWhatTheParentAccepts) {
  HWND tree = MakeTree(TVS_HASBUTTONS | TVS_EDITLABELS);
  HTREEITEM item = Add(tree, TVI_ROOT, u"%title%", 1);
  HTREEITEM other = Add(tree, TVI_ROOT, u"Other", 2);
  std::u16string ended;
  bool accept = true;
  Answer() = [&](NMHDR* h) -> LRESULT {
    if (h->code == TVN_BEGINLABELEDITW) return reinterpret_cast<NMTVDISPINFOW*>(h)->item.lParam == 2;  // refuse Other
    if (h->code == TVN_ENDLABELEDITW) {
      auto* info = reinterpret_cast<NMTVDISPINFOW*>(h);
      ended = info->item.pszText ? info->item.pszText : u"<cancelled>";
      return accept;
    }
    return 0;
  };
  EXPECT_EQ(SendMessageW(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(other)), 0) << "refused by the parent";
  HWND edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0)), edit);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(dtest::TextOf(edit), u"%title%");
  SetWindowTextW(edit, u"%artist%");
  dtest::Key(VK_RETURN);
  wtest::Pump();
  EXPECT_EQ(ended, u"%artist%");
  EXPECT_EQ(Text(tree, item), u"%artist%");
  EXPECT_FALSE(IsWindow(edit));
  // Escape drops the edit; a parent that answers FALSE keeps the old text.
  edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
  ASSERT_NE(edit, nullptr);
  dtest::Key(VK_ESCAPE);
  wtest::Pump();
  EXPECT_EQ(ended, u"<cancelled>");
  accept = false;
  edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item)));
  SetWindowTextW(edit, u"refused");
  SendMessageW(tree, TVM_ENDEDITLABELNOW, FALSE, 0);
  EXPECT_EQ(ended, u"refused");
  EXPECT_EQ(Text(tree, item), u"%artist%");
}

TEST_F(TreeViewTest, HoldingAnItemIsTheContextGesture) {
  HWND tree = MakeTree();
  Add(tree, TVI_ROOT, u"One", 1);
  HTREEITEM two = Add(tree, TVI_ROOT, u"Two", 2);
  wtest::Pump();
  Log().clear();
  RECT label = Label(tree, two);
  POINT screen{label.left + 2, (label.top + label.bottom) / 2};
  ClientToScreen(tree, &screen);
  zb::input::Deliver({zb::input::Kind::StylusDown, screen.x, screen.y});
  ASSERT_TRUE(PumpUntil([] { return !Only(GN_CONTEXTMENU).empty(); }));
  zb::input::Deliver({zb::input::Kind::StylusUp, screen.x, screen.y});
  wtest::Pump();
  EXPECT_EQ(Only(GN_CONTEXTMENU)[0].spec, static_cast<DWORD_PTR>(static_cast<DWORD>(reinterpret_cast<uintptr_t>(two))));
  EXPECT_TRUE(Only(NM_CLICK).empty());
}

}  // namespace
