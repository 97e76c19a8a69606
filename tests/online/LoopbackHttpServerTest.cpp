#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/HttpClient.h"
#include "support/LoopbackHttpServer.h"

namespace {

THttpResult Fetch(THttpConnection& connection, const std::string& url, std::string* body = nullptr,
                  std::function<bool()> stop = {}) {
  THttpRequest request;
  request.url = url;
  request.connectTimeoutSeconds = 5;
  request.lowSpeedSeconds = 30;
  THttpHandlers handlers;
  handlers.body = [body](std::string_view piece) {
    if (body) body->append(piece);
    return true;
  };
  handlers.stop = std::move(stop);
  return connection.Perform(request, handlers);
}

TEST(LoopbackHttpServer, RoutesByDecodedPathAndLogsTheRequest) {
  TLoopbackHttpServer server;
  server.Route("/a b", THttpReply::Text(200, "spaced"));
  server.Fallback([](const TServedRequest& request) { return THttpReply::Text(200, "any " + request.path); });
  THttpConnection connection;
  std::string body;
  THttpResult result = Fetch(connection, server.Url("/a%20b?x=1%262&y=%C3%A9+z&flag"), &body);
  ASSERT_TRUE(result.Completed());
  EXPECT_EQ(result.status, 200);
  EXPECT_EQ(result.contentLength, 6);
  EXPECT_EQ(body, "spaced");
  body.clear();
  Fetch(connection, server.Url("/other"), &body);
  EXPECT_EQ(body, "any /other");

  auto log = server.Requests();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].target, "/a%20b?x=1%262&y=%C3%A9+z&flag");
  EXPECT_EQ(log[0].Query("x"), "1&2");
  EXPECT_EQ(log[0].Query("y"), "\xC3\xA9 z");
  EXPECT_EQ(log[0].Query("flag"), "");
  EXPECT_EQ(log[0].Header("host"), "127.0.0.1:" + std::to_string(server.Port()));
  EXPECT_EQ(log[1].connection, 1) << "kept alive";
}

TEST(LoopbackHttpServer, StopsAnsweringAfterItsRequestBudget) {
  TLoopbackHttpServer server({2, 60});
  server.Route("/", THttpReply::Text(200, "ok"));
  THttpConnection connection;
  EXPECT_TRUE(Fetch(connection, server.Url("/")).Completed());
  EXPECT_TRUE(Fetch(connection, server.Url("/")).Completed());
  EXPECT_FALSE(Fetch(connection, server.Url("/")).Completed());
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST(LoopbackHttpServer, StopsByItselfAfterItsTime) {
  TLoopbackHttpServer server({200, 1});
  server.Route("/", THttpReply::Text(200, "ok"));
  std::this_thread::sleep_for(std::chrono::milliseconds(1300));
  THttpConnection connection;
  THttpResult result = Fetch(connection, server.Url("/"));
  EXPECT_FALSE(result.Completed());
  EXPECT_TRUE(server.Requests().empty());
}

TEST(HttpConnection, AStopIsSeenWhileTheServerIsSilent) {
  TLoopbackHttpServer server;
  THttpReply silent;
  silent.silent = true;
  server.Route("/mute", silent);
  THttpConnection connection;
  auto start = std::chrono::steady_clock::now();
  THttpResult result = Fetch(connection, server.Url("/mute"), nullptr, [start] {
    return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(200);
  });
  // Without the stop this would end by the 30-second stall time-out instead.
  EXPECT_EQ(result.error, EHttpError::Cancelled);
}

TEST(HttpConnection, AThrowingHandlerStopsTheTransferInsteadOfCrossingLibcurl) {
  TLoopbackHttpServer server;
  server.Route("/x", THttpReply::Text(200, "body"));
  THttpConnection connection;
  THttpRequest request;
  request.url = server.Url("/x");
  THttpHandlers handlers;
  handlers.body = [](std::string_view) -> bool { throw std::runtime_error("out of memory"); };
  THttpResult result = connection.Perform(request, handlers);
  EXPECT_EQ(result.error, EHttpError::Cancelled);
  EXPECT_EQ(result.received, 0);
}

TEST(HttpConnection, ABodyWithoutLengthEndsWithTheConnection) {
  TLoopbackHttpServer server;
  THttpReply unsized = THttpReply::Text(200, std::string(70000, 'u'));
  unsized.contentLength = false;
  server.Route("/u", unsized);
  server.Route("/k", THttpReply::Text(200, "k"));
  THttpConnection connection;
  std::string body;
  THttpResult result = Fetch(connection, server.Url("/u"), &body);
  ASSERT_TRUE(result.Completed());
  EXPECT_EQ(result.contentLength, -1);
  EXPECT_EQ(result.received, 70000);
  EXPECT_EQ(body.size(), 70000u);
  EXPECT_TRUE(Fetch(connection, server.Url("/k")).Completed());
  EXPECT_EQ(server.AcceptedConnections(), 2) << "a close-delimited body leaves nothing to reuse";
}

}  // namespace
