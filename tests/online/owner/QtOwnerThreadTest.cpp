#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "online/TransferContext.h"
#include "online/forms/QtOwnerThread.h"
#include "support/LoopbackHttpServer.h"

namespace {

// Counts the captures of tasks that are freed on another thread than
// the owner's.
struct TCapture {
  std::thread::id owner;
  std::atomic<int>* freedElsewhere;
  ~TCapture() {
    if (std::this_thread::get_id() != owner) ++*freedElsewhere;
  }
};

TEST(QtOwnerThread, TasksFromAWorkerRunAndAreFreedOnTheOwnersThreadInOrder) {
  TQtOwnerThread owner;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  const std::thread::id ownerId = std::this_thread::get_id();
  std::atomic<int> freedElsewhere = 0;
  constexpr int kTasks = 500;
  // The worker posts while the owner runs the tasks.
  std::thread worker([&] {
    for (int i = 0; i < kTasks; ++i) {
      auto capture = std::make_shared<TCapture>(ownerId, &freedElsewhere);
      owner.Post([&, i, capture = std::move(capture)] {
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    }
  });
  owner.RunUntil([&] { return order.size() == kTasks; });
  worker.join();
  for (int i = 0; i < kTasks; ++i) EXPECT_EQ(order[i], i);
  for (auto id : threads) EXPECT_EQ(id, ownerId);
  EXPECT_EQ(freedElsewhere, 0);
}

TEST(QtOwnerThread, OtherEventsKeepRunningWhileATransferIsAwaited) {
  TLoopbackHttpServer server;
  THttpReply slow = THttpReply::Text(200, std::string(4000, 'g'));
  slow.pieceBytes = 1000;
  slow.pieceDelayMs = 50;
  server.Route("/list", slow);

  TQtOwnerThread owner;
  TTransferContext context(ETransferUse::GalleryBrowser, owner);
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);
  std::int64_t lastReceived = 0;
  bool onOwnerThread = true;
  auto ownerId = std::this_thread::get_id();
  TTransferCallbacks callbacks;
  callbacks.progress = [&](std::int64_t, std::int64_t received) {
    lastReceived = received;
    onOwnerThread = onOwnerThread && std::this_thread::get_id() == ownerId;
  };
  TTransferRequest request;
  request.url = server.Url("/list");
  std::string reply;
  EXPECT_TRUE(context.Run(request, callbacks, &reply));
  EXPECT_EQ(reply.size(), 4000u);
  EXPECT_EQ(lastReceived, 4000);
  EXPECT_TRUE(onOwnerThread);
  EXPECT_GT(ticks, 0) << "the window's own timer went on during the transfer";
}

}  // namespace
