#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "online/OnlineRecords.h"
#include "online/TransferContext.h"
#include "platform/FileIO.h"
#include "support/LoopbackHttpServer.h"
#include "support/TestPaths.h"

namespace {

using TReports = std::vector<std::pair<std::int64_t, std::int64_t>>;

std::string ReadAll(const fs::path& path) {
  auto bytes = ReadFileBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<missing>");
}

class Transfer : public ::testing::Test {
 protected:
  // Runs one request of `use` and keeps its progress reports.
  bool Run(ETransferUse use, TTransferRequest request, TReports* reports = nullptr, int* status = nullptr) {
    TTransferContext context(use, queue_);
    context.SetTimeouts(5, 5);
    bool ok = context.Run(std::move(request), Collect(reports));
    if (status) *status = context.Status();
    reply_ = context.ReplyText();
    return ok;
  }

  TTransferCallbacks Collect(TReports* reports) {
    TTransferCallbacks callbacks;
    if (reports) callbacks.progress = [reports](std::int64_t t, std::int64_t r) { reports->emplace_back(t, r); };
    return callbacks;
  }

  TTransferRequest Get(const std::string& path) {
    TTransferRequest request;
    request.url = server_.Url(path);
    return request;
  }

  TLoopbackHttpServer server_;
  TTaskQueue queue_;
  TempFolder temp_;
  std::string reply_;
};

TEST_F(Transfer, RegistrationFailsOnItsWordsAsReceived) {
  server_.Route("/ok", THttpReply::Text(200, "OK;12345;"));
  server_.Route("/nf", THttpReply::Text(200, "Sorry: Not Found"));
  server_.Route("/lower", THttpReply::Text(200, "item not found, created;7;"));
  server_.Route("/err", THttpReply::Text(200, "Internal Error"));
  int status = -1;
  EXPECT_TRUE(Run(ETransferUse::Registration, Get("/ok"), nullptr, &status));
  EXPECT_EQ(status, kTransferSuccess);
  EXPECT_EQ(reply_, "OK;12345;");
  EXPECT_FALSE(Run(ETransferUse::Registration, Get("/nf"), nullptr, &status));
  EXPECT_EQ(status, kTransferNothing);
  EXPECT_EQ(reply_, "Sorry: Not Found") << "the refused reply is still readable";
  EXPECT_TRUE(Run(ETransferUse::Registration, Get("/lower")));
  EXPECT_FALSE(Run(ETransferUse::Registration, Get("/err")));
  auto log = server_.Requests();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].method, "GET");
  EXPECT_EQ(log[0].Header("User-Agent"), "Registration");
}

TEST_F(Transfer, DownloadsFailOnTheirWordsInAnyCase) {
  server_.Route("/nf", THttpReply::Text(200, "NoT FoUnD"));
  server_.Route("/forbidden", THttpReply::Text(200, "FORBIDDEN here"));
  server_.Route("/fine", THttpReply::Text(200, "[partbase]\nitems"));
  EXPECT_FALSE(Run(ETransferUse::ElementDownload, Get("/nf")));
  EXPECT_FALSE(Run(ETransferUse::ElementDownload, Get("/forbidden")));
  EXPECT_TRUE(Run(ETransferUse::ElementDownload, Get("/fine")));
  EXPECT_EQ(server_.Requests().back().Header("User-Agent"), "Template");
  EXPECT_FALSE(Run(ETransferUse::GalleryBrowser, Get("/nf")));
  // "forbidden" is no failure word of the gallery.
  EXPECT_TRUE(Run(ETransferUse::GalleryBrowser, Get("/forbidden")));
  EXPECT_EQ(server_.Requests().back().Header("User-Agent"), "From");
}

TEST_F(Transfer, UploadPostsTheBodyWholeAndFailsOnFound) {
  std::string body = "Fname<42;0;000000;;0;W;1;3;4;A B;1.1.2026;>";
  body += std::string("\0\xff\r\n", 4) + "jpegdata";
  server_.Route("/post", [](const TServedRequest& request) {
    return THttpReply::Text(200, request.body.size() > 10 ? "stored" : "bad");
  });
  server_.Route("/found", THttpReply::Text(200, "file found and replaced"));
  TTransferRequest request = Get("/post");
  request.body = body;
  EXPECT_TRUE(Run(ETransferUse::GalleryUpload, request));
  request.url = server_.Url("/found");
  EXPECT_FALSE(Run(ETransferUse::GalleryUpload, request));
  auto log = server_.Requests();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].method, "POST");
  EXPECT_EQ(log[0].body, body);
  EXPECT_EQ(log[0].Header("User-Agent"), "ToGallary");
  EXPECT_EQ(log[0].Header("Expect"), "") << "no 100-continue round trip";
}

TEST_F(Transfer, AnEmptyUploadIsNeverSent) {
  int status = -1;
  EXPECT_FALSE(Run(ETransferUse::GalleryUpload, Get("/post"), nullptr, &status));
  EXPECT_EQ(status, kTransferNothing);
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(Transfer, AnEmptyReplySucceedsAndWritesNoFile) {
  server_.Route("/empty", THttpReply::Text(200, ""));
  TTransferRequest request = Get("/empty");
  request.fileName = temp_ / "empty.txt";
  EXPECT_TRUE(Run(ETransferUse::ElementDownload, request));
  EXPECT_FALSE(fs::exists(request.fileName));
  EXPECT_TRUE(Run(ETransferUse::Registration, Get("/empty")));
  EXPECT_EQ(reply_, "");
}

TEST_F(Transfer, SavedDataIsJudgedByStatusNotWords) {
  std::string picture = std::string("\xff\xd8\xff\xe0", 4) + "...error...not found...";
  server_.Route("/pic.jpg", THttpReply::Text(200, picture));
  TTransferRequest request = Get("/pic.jpg");
  request.fileName = temp_ / "pic.jpg";
  request.mode = 1;
  EXPECT_TRUE(Run(ETransferUse::GalleryBrowser, request));
  EXPECT_EQ(ReadAll(request.fileName), picture);
  EXPECT_EQ(reply_, picture);

  // A packed picture fetched without a file is data as well.
  TTransferRequest packed = Get("/pic.jpg");
  packed.binary = true;
  EXPECT_TRUE(Run(ETransferUse::ElementDownload, packed));
  packed.binary = false;
  EXPECT_FALSE(Run(ETransferUse::ElementDownload, packed)) << "as text its words count";
}

TEST_F(Transfer, AnErrorPageIsNeverSavedAndLeavesTheOldFile) {
  TTransferRequest request = Get("/part0.arh");  // unrouted: a 404 page
  request.fileName = temp_ / "part0.arh";
  WriteTestFile(request.fileName, "old part");
  int status = -1;
  EXPECT_FALSE(Run(ETransferUse::ElementDownload, request, nullptr, &status));
  EXPECT_EQ(status, kTransferNothing);
  EXPECT_EQ(ReadAll(request.fileName), "old part");
  EXPECT_EQ(std::distance(fs::directory_iterator(temp_.Path()), fs::directory_iterator()), 1)
      << "no temporary file left behind";
}

TEST_F(Transfer, APartOfTheWrongSizeIsNotSaved) {
  server_.Route("/part1.arh", THttpReply::Text(200, "12345678"));
  TTransferRequest request = Get("/part1.arh");
  request.fileName = temp_ / "part1.arh";
  request.requireExpectedSize = true;
  request.expectedTotal = 9;
  EXPECT_FALSE(Run(ETransferUse::ElementDownload, request));
  EXPECT_FALSE(fs::exists(request.fileName));
  request.expectedTotal = 8;
  EXPECT_TRUE(Run(ETransferUse::ElementDownload, request));
  EXPECT_EQ(ReadAll(request.fileName), "12345678");
}

TEST_F(Transfer, AnHttpFailureWithoutWordsFails) {
  server_.Route("/gone", THttpReply::Text(404, "gone"));
  server_.Route("/oops", THttpReply::Text(500, "sorry"));
  EXPECT_FALSE(Run(ETransferUse::Registration, Get("/gone")));
  EXPECT_FALSE(Run(ETransferUse::GalleryBrowser, Get("/gone")));
  EXPECT_FALSE(Run(ETransferUse::ElementDownload, Get("/oops")));
}

TEST_F(Transfer, ProgressFollowsContentLengthElseTheCallersTotal) {
  THttpReply reply = THttpReply::Text(200, std::string(3000, 'x'));
  reply.pieceBytes = 1000;
  reply.pieceDelayMs = 5;
  server_.Route("/sized", reply);
  reply.contentLength = false;
  server_.Route("/unsized", reply);

  TReports reports;
  TTransferRequest request = Get("/sized");
  request.expectedTotal = 77;
  ASSERT_TRUE(Run(ETransferUse::ElementDownload, request, &reports));
  ASSERT_GE(reports.size(), 2u);
  EXPECT_EQ(reports.front(), std::make_pair(std::int64_t(0), std::int64_t(0))) << "the element is shown first";
  EXPECT_EQ(reports.back(), std::make_pair(std::int64_t(3000), std::int64_t(3000)));
  for (std::size_t i = 1; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].first, 3000);
    EXPECT_GE(reports[i].second, reports[i - 1].second);
  }

  reports.clear();
  request.url = server_.Url("/unsized");
  ASSERT_TRUE(Run(ETransferUse::ElementDownload, request, &reports));
  EXPECT_EQ(reports.back(), std::make_pair(std::int64_t(77), std::int64_t(3000)));
}

TEST_F(Transfer, GalleryProgressUsesTenThousandUnlessModeOneHasALength) {
  server_.Route("/list", THttpReply::Text(200, std::string(1500, 'y')));
  THttpReply unsized = THttpReply::Text(200, std::string(600, 'z'));
  unsized.contentLength = false;
  server_.Route("/unsized", unsized);
  struct Case {
    const char* path;
    int mode;
    std::int64_t total;
  } cases[] = {{"/list", 0, 10000}, {"/list", 1, 1500}, {"/unsized", 1, 10000}, {"/unsized", 0, 10000}};
  for (const Case& c : cases) {
    TReports reports;
    TTransferRequest request = Get(c.path);
    request.mode = c.mode;
    ASSERT_TRUE(Run(ETransferUse::GalleryBrowser, request, &reports)) << c.path;
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().first, c.total) << c.path << " mode " << c.mode;
  }
  // Registration and upload report no progress, only their start.
  TReports none;
  int started = 0;
  TTransferContext context(ETransferUse::Registration, queue_);
  TTransferCallbacks callbacks = Collect(&none);
  callbacks.started = [&] { ++started; };
  ASSERT_TRUE(context.Run(Get("/list"), callbacks));
  EXPECT_TRUE(none.empty());
  EXPECT_EQ(started, 1);
}

TEST_F(Transfer, OneContextKeepsItsConnectionAndReconnectsAfterALoss) {
  server_.Route("/a", THttpReply::Text(200, "first"));
  server_.Route("/b", THttpReply::Text(200, "second"));
  THttpReply cut = THttpReply::Text(200, std::string(5000, 'c'));
  cut.closeAfterBytes = 1000;
  server_.Route("/cut", cut);

  TTransferContext context(ETransferUse::ElementDownload, queue_);
  EXPECT_TRUE(context.Run(Get("/a")));
  EXPECT_TRUE(context.Run(Get("/b")));
  EXPECT_EQ(context.ReplyText(), "second");
  EXPECT_EQ(server_.AcceptedConnections(), 1);

  TTransferRequest broken = Get("/cut");
  broken.fileName = temp_ / "cut.bin";
  EXPECT_FALSE(context.Run(broken));
  EXPECT_EQ(context.Status(), kTransferConnectionLost);
  EXPECT_FALSE(fs::exists(broken.fileName));
  EXPECT_EQ(server_.AcceptedConnections(), 1) << "the cut request still went over the kept connection";

  EXPECT_TRUE(context.Run(Get("/a")));
  EXPECT_EQ(server_.AcceptedConnections(), 2);
  auto log = server_.Requests();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[3].connection, 2);
}

TEST_F(Transfer, UploadsDropTheirConnectionAfterEveryRequest) {
  server_.Route("/post", THttpReply::Text(200, "stored"));
  TTransferContext context(ETransferUse::GalleryUpload, queue_);
  TTransferRequest request = Get("/post");
  request.body = "Fname<x>";
  EXPECT_TRUE(context.Run(request));
  EXPECT_TRUE(context.Run(request));
  EXPECT_EQ(server_.AcceptedConnections(), 2);
}

TEST_F(Transfer, StopDuringASlowBodyEndsWithinABlockWithoutSuccessOrFile) {
  THttpReply slow = THttpReply::Text(200, std::string(513 * 50, 's'));
  slow.pieceBytes = 513;
  slow.pieceDelayMs = 100;
  server_.Route("/slow", slow);

  TTransferContext context(ETransferUse::ElementDownload, queue_);
  TTransferRequest request = Get("/slow");
  request.fileName = temp_ / "slow.bin";
  std::int64_t receivedAtStop = -1;
  int reportsAfterStop = 0;
  int finishedStatus = -1;
  TTransferCallbacks callbacks;
  callbacks.progress = [&](std::int64_t, std::int64_t received) {
    if (receivedAtStop >= 0) {
      ++reportsAfterStop;
    } else if (received >= 513) {
      receivedAtStop = received;
      context.Stop();
    }
  };
  callbacks.finished = [&](int status) { finishedStatus = status; };
  EXPECT_FALSE(context.Run(request, callbacks));
  EXPECT_TRUE(context.Stopped());
  EXPECT_EQ(finishedStatus, kTransferNothing);
  EXPECT_EQ(context.Status(), kTransferNothing);
  EXPECT_EQ(reportsAfterStop, 0) << "a stopped display is not filled again";
  EXPECT_FALSE(fs::exists(request.fileName));
  server_.Stop();
  auto log = server_.Requests();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_FALSE(log[0].replyComplete);
  EXPECT_LE(log[0].bodyBytesSent, receivedAtStop + 4 * 513);
}

TEST_F(Transfer, ASilentServerTimesOutInsteadOfHanging) {
  THttpReply silent;
  silent.silent = true;
  server_.Route("/mute", silent);
  TTransferContext context(ETransferUse::Registration, queue_);
  context.SetTimeouts(2, 1);
  EXPECT_FALSE(context.Run(Get("/mute")));
  EXPECT_EQ(context.Status(), kTransferNothing);
}

TEST_F(Transfer, AServerDrippingAboveTheStallLimitIsCutOffByTheDeadline) {
  THttpReply drip = THttpReply::Text(200, std::string(400, 'd'));
  drip.pieceBytes = 1;
  drip.pieceDelayMs = 25;  // 40 bytes a second, all of it in some 10 s
  server_.Route("/drip", drip);
  TTransferContext context(ETransferUse::Registration, queue_);
  context.SetTimeouts(5, 5);
  context.SetDeadline(std::chrono::milliseconds(600));
  EXPECT_FALSE(context.Run(Get("/drip")));
  EXPECT_EQ(context.Status(), kTransferNothing);
  EXPECT_EQ(context.ReplyText(), "");
  server_.Stop();
  auto log = server_.Requests();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_FALSE(log[0].replyComplete);
  EXPECT_LT(log[0].bodyBytesSent, 300);
}

TEST_F(Transfer, ARefusedConnectionIsALostConnection) {
  std::string url = server_.Url("/a");
  server_.Stop();  // nothing listens on the port any more
  TTransferRequest request;
  request.url = url;
  int status = -1;
  EXPECT_FALSE(Run(ETransferUse::ElementDownload, request, nullptr, &status));
  EXPECT_EQ(status, kTransferConnectionLost);
}

TEST_F(Transfer, AnUnknownHostIsNoLostConnection) {
  TTransferRequest request;
  request.url = "http://no-such-host.invalid/x";
  int status = -1;
  EXPECT_FALSE(Run(ETransferUse::GalleryBrowser, request, nullptr, &status));
  EXPECT_EQ(status, kTransferNothing);
  EXPECT_FALSE(IsConnectionError(InternetErrorOf(EHttpError::NameNotResolved)));
  EXPECT_TRUE(IsConnectionError(InternetErrorOf(EHttpError::CannotConnect)));
  EXPECT_TRUE(IsConnectionError(InternetErrorOf(EHttpError::ConnectionBroken)));
  EXPECT_FALSE(IsConnectionError(InternetErrorOf(EHttpError::Cancelled)));
  EXPECT_FALSE(IsConnectionError(InternetErrorOf(EHttpError::TimedOut)));
}

TEST_F(Transfer, MalformedUrlsFailWithoutARequest) {
  int status = -1;
  TTransferRequest request;
  request.url = "http://127.0.0.1:99999/x";
  EXPECT_FALSE(Run(ETransferUse::Registration, request, nullptr, &status));
  EXPECT_EQ(status, kTransferNothing);
  request.url = "";
  EXPECT_FALSE(Run(ETransferUse::Registration, request, nullptr, &status));
  EXPECT_EQ(status, kTransferNothing);
}

TEST_F(Transfer, BlanksAndLineEndsCannotSplitTheRequest) {
  server_.Route("/reg", THttpReply::Text(200, "OK;1;"));
  EXPECT_TRUE(Run(ETransferUse::Registration, Get("/reg?kzstring1=Anna Maria;\r\nX-Evil: 1;")));
  auto log = server_.Requests();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Query("kzstring1"), "Anna Maria;\r\nX-Evil: 1;");
  EXPECT_EQ(log[0].Header("X-Evil"), "");
}

TEST_F(Transfer, OneWorkerAtATimeAndTheEndIsReportedAfterProgress) {
  THttpReply slow = THttpReply::Text(200, std::string(2000, 'q'));
  slow.pieceBytes = 500;
  slow.pieceDelayMs = 30;
  server_.Route("/slow", slow);
  TTransferContext context(ETransferUse::GalleryBrowser, queue_);
  std::vector<std::string> events;
  TTransferCallbacks callbacks;
  callbacks.started = [&] { events.push_back("started"); };
  callbacks.progress = [&](std::int64_t, std::int64_t) {
    if (events.back() != "progress") events.push_back("progress");
  };
  callbacks.finished = [&](int status) {
    events.push_back("finished " + std::to_string(status));
    EXPECT_FALSE(context.Running()) << "a finished worker no longer counts as running";
    EXPECT_EQ(context.ReplyText().size(), 2000u);
  };
  ASSERT_TRUE(context.Start(Get("/slow"), callbacks));
  EXPECT_TRUE(context.Running());
  EXPECT_FALSE(context.Start(Get("/slow"))) << "a second worker must wait";
  queue_.RunUntil([&] { return !context.Running(); });
  EXPECT_EQ(events, (std::vector<std::string>{"started", "progress", "finished 2"}));
  EXPECT_EQ(server_.Requests().size(), 1u);
}

TEST_F(Transfer, ClosingAWindowMidTransferWaitsForItsWorker) {
  THttpReply slow = THttpReply::Text(200, std::string(513 * 40, 'w'));
  slow.pieceBytes = 513;
  slow.pieceDelayMs = 100;
  server_.Route("/slow", slow);
  bool finished = false;
  bool reading = false;
  {
    TTransferContext context(ETransferUse::ElementDownload, queue_);
    TTransferCallbacks callbacks;
    callbacks.progress = [&](std::int64_t, std::int64_t received) { reading = received > 0; };
    callbacks.finished = [&](int) { finished = true; };
    ASSERT_TRUE(context.Start(Get("/slow"), callbacks));
    queue_.RunUntil([&] { return reading; });
  }  // the context goes while its worker still reads
  queue_.RunPending();
  EXPECT_FALSE(finished) << "no report reaches a window that is gone";
  server_.Stop();
  EXPECT_FALSE(server_.Requests().at(0).replyComplete);
}

TEST_F(Transfer, AWindowClosedWhileItWaitsEndsTheWait) {
  THttpReply slow = THttpReply::Text(200, std::string(513 * 40, 'c'));
  slow.pieceBytes = 513;
  slow.pieceDelayMs = 100;
  server_.Route("/slow", slow);
  auto context = std::make_unique<TTransferContext>(ETransferUse::ElementDownload, queue_);
  TTransferCallbacks callbacks;
  callbacks.progress = [&](std::int64_t, std::int64_t received) {
    if (received > 0) context.reset();  // the user closed the window
  };
  EXPECT_FALSE(context->Run(Get("/slow"), callbacks));
  EXPECT_EQ(context, nullptr);
}

TEST(TransferProgress, TheBarIsDefinedForEveryPair) {
  EXPECT_EQ(ProgressBarPosition(0, 0), 0);
  EXPECT_EQ(ProgressBarPosition(-1, -1), 0);
  EXPECT_EQ(ProgressBarPosition(-1, 50), 0);
  EXPECT_EQ(ProgressBarPosition(100, 100), 99);
  EXPECT_EQ(ProgressBarPosition(10000, 513), 5);
  EXPECT_EQ(ProgressBarPosition(0, 513), 100) << "more than announced shows full";
  EXPECT_EQ(ProgressBarPosition(INT64_MAX, INT64_MAX), 99);
  EXPECT_EQ(ProgressBarPosition(std::int64_t(5) << 32, std::int64_t(1) << 32), 19) << "beyond 32 bits";
}

TEST(TransferAttempt, TheNetworkCheckIsTheOneTheContextWasMadeWith) {
  TTaskQueue queue;
  EXPECT_EQ(TTransferContext(ETransferUse::Chat, queue).AttemptConnect(), 0) << "without a check it passes";
  int result = kInternetErrorCannotConnect;
  TTransferContext failing(ETransferUse::Registration, queue, [&] { return result; });
  EXPECT_TRUE(IsConnectionError(failing.AttemptConnect()));
  result = 0;
  EXPECT_EQ(failing.AttemptConnect(), 0) << "asked anew each time";
}

}  // namespace
