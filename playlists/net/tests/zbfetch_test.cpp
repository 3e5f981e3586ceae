// zbfetch as a person meets it: against the scripted ICY server it prints the response head, the
// titles as they change and the count of audio bytes with the metadata taken out; a server that
// refuses gives its reason and status 1.
#include <gtest/gtest.h>

#include "icy_stream.h"
#include "product_device.h"
#include "scripted_server.h"

namespace zb::testing {
namespace {

TEST(Zbfetch, PrintsTheHeadTheTitlesAndTheAudioByteCount) {
  ProductDevice device;
  const std::string audio = AudioPattern(16000 * 4 + 123);
  const std::string body = IcyBody(audio, 16000, {TitleBlock("Artist - One"), TitleBlock("Artist - Two")});
  ScriptedServer server([&](ServerConnection& c, int) {
    const std::string head = c.ReadHead();
    if (head.find("/gone") != std::string::npos) return (void)c.Send("HTTP/1.0 404 Not Found\r\n\r\n");
    c.Send("ICY 200 OK\r\nicy-name:Loopback FM\r\nicy-metaint:16000\r\n\r\n" + body);
  });
  const ToolRun run = RunTool({ZBFETCH_PATH, "--seconds", "10", server.Url("/live")});
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.rfind("ICY 200 OK\nicy-name:Loopback FM\nicy-metaint:16000\n\n", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("title: Artist - One\ntitle: Artist - Two\ntitle: Artist - One\ntitle: Artist - Two\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("audio bytes: " + std::to_string(audio.size()) + "\n"), std::string::npos) << run.out;

  const ToolRun gone = RunTool({ZBFETCH_PATH, server.Url("/gone")});
  EXPECT_EQ(gone.status, 1);
  EXPECT_NE(gone.out.find("audio bytes: 0"), std::string::npos);
}

}  // namespace
}  // namespace zb::testing
