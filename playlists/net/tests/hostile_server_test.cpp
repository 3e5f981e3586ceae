// Servers that mean harm or are broken: a huge response head, unusable ICY intervals, an endless
// redirect chain, a header line that never ends, a head trickled a byte a second. The client ends
// each with a clear error within its time limit.
#include <gtest/gtest.h>

#include <chrono>

#include "http_fetch.h"
#include "scripted_server.h"
#include "testing/test_device.h"

namespace zb::testing {
namespace {

struct HostileCase {
  const char* name;
  std::function<void(ServerConnection&, int)> script;
  const char* error;  // a part of the error the fetch must report
  double seconds;     // the fetch's time bound
};

TEST(HostileServer, EachEndsWithAClearErrorInTime) {
  TestDevice device;
  const HostileCase cases[] = {
      {"a 1 MB response head",
       [](ServerConnection& c, int) {
         c.ReadHead();
         c.Send("HTTP/1.0 200 OK\r\n");
         for (int i = 0; i < 1024 && !c.Stopping(); ++i) c.Send("X-Filler: " + std::string(1000, 'a') + "\r\n");
       },
       "longer than 8191", 5},
      {"a metaint of 0",
       [](ServerConnection& c, int) {
         c.ReadHead();
         c.Send("ICY 200 OK\r\nicy-metaint:0\r\n\r\n" + std::string(5000, 'x'));
       },
       "icy-metaint", 5},
      {"a metaint of 2^31",
       [](ServerConnection& c, int) {
         c.ReadHead();
         c.Send("ICY 200 OK\r\nicy-metaint:2147483648\r\n\r\n" + std::string(5000, 'x'));
       },
       "icy-metaint", 5},
      {"an endless redirect chain",
       [](ServerConnection& c, int n) {
         c.ReadHead();
         c.Send("HTTP/1.0 302 Found\r\nLocation: /hop" + std::to_string(n + 1) + "\r\n\r\n");
       },
       "redirects", 10},
      {"a header line with no end",
       [](ServerConnection& c, int) {
         c.ReadHead();
         c.Send("HTTP/1.0 200 OK\r\nX-Endless: ");
         while (!c.Stopping() && c.Send(std::string(4096, 'b'))) {
         }
       },
       "longer than 8191", 5},
      {"one byte a second",
       [](ServerConnection& c, int) {
         c.ReadHead();
         c.SendSlowly("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n", 1000);
       },
       "did not end within the timeouts", 6},
  };
  for (const HostileCase& hostile : cases) {
    ScriptedServer server(hostile.script);
    HttpFetchOptions options;
    options.connectTimeoutMs = 2000;
    options.receiveTimeoutMs = 1500;
    HttpFetchResult result;
    const auto start = std::chrono::steady_clock::now();
    const std::string url = server.Url("/start");
    EXPECT_LT(HttpFetch(std::u16string(url.begin(), url.end()).c_str(), options, &result), 0) << hostile.name;
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_NE(result.error.find(hostile.error), std::string::npos) << hostile.name << ": " << result.error;
    EXPECT_LT(took, hostile.seconds) << hostile.name;
  }
}

}  // namespace
}  // namespace zb::testing
