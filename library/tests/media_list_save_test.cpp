// A media list saved as a playlist file through the playlist writer: the layout follows the
// name, the entries keep their titles and lengths, and an existing file is never replaced.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "media_item.h"
#include "media_list.h"
#include "tagids.h"
#include "testing/test_device.h"

namespace {

class MediaListSave : public ::testing::Test {
 protected:
  void SetUp() override {
    list_ = CreateMediaList();
    Add(u"\\Storage Card\\Music\\one.mp3", u"First Song", 61000);
    Add(u"\\Storage Card\\Music\\two.ogg", u"Second Song", 122000);
  }
  void TearDown() override { list_->Release(); }
  void Add(LPCWSTR source, LPCWSTR title, LONG length) {
    CMediaItem* item = CreateMediaItem();
    item->SetSource(source);
    item->SetString(TAG_DISPLAY_TITLE, title);
    item->SetInt(TAG_LENGTH, length);
    list_->Add(item);
    item->Release();
  }
  std::string Text(const char* name) {
    std::ifstream in(device_.Host(name));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  zb::testing::TestDevice device_;
  CMediaList* list_ = nullptr;
};

TEST_F(MediaListSave, TheNameChoosesTheLayout) {
  ASSERT_EQ(list_->SaveAsPlaylist(u"\\mix.m3u"), S_OK);
  const std::string m3u = Text("mix.m3u");
  EXPECT_NE(m3u.find("#EXTINF:61,First Song"), std::string::npos) << m3u;
  EXPECT_NE(m3u.find("\nStorage Card\\Music\\two.ogg"), std::string::npos) << m3u;  // relative to the file
  ASSERT_EQ(list_->SaveAsPlaylist(u"\\mix.pls"), S_OK);
  const std::string pls = Text("mix.pls");
  EXPECT_NE(pls.find("[playlist]"), std::string::npos) << pls;
  EXPECT_NE(pls.find("Title2=Second Song"), std::string::npos) << pls;
  EXPECT_NE(pls.find("Length2=122"), std::string::npos) << pls;
}

TEST_F(MediaListSave, AnExistingFileIsNeverReplaced) {
  std::ofstream(device_.Host("kept.m3u")) << "mine\n";
  EXPECT_EQ(list_->SaveAsPlaylist(u"\\kept.m3u"), E_FAIL);
  EXPECT_EQ(Text("kept.m3u"), "mine\n");
  // A name without a layout is written with ".m3u" added: that file counts as the target.
  EXPECT_EQ(list_->SaveAsPlaylist(u"\\kept"), E_FAIL);
  EXPECT_EQ(Text("kept.m3u"), "mine\n");
  EXPECT_EQ(list_->SaveAsPlaylist(nullptr), E_POINTER);
}

}  // namespace
