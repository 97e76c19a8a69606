// The socket component on its own: events, error numbers and the countdown.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>

#include "ScriptedSmtpServer.h"
#include "exchange/SmtpDialogue.h"
#include "exchange/mail/StarSocket.h"

TEST(StarSocket, QtSocketErrorsReachTheMailErrorTable) {
  const auto code = [](QAbstractSocket::SocketError error) {
    return MailFailureForSocketError(SocketErrorNumber(error)).code;
  };
  EXPECT_EQ(code(QAbstractSocket::ConnectionRefusedError), 12);
  EXPECT_EQ(code(QAbstractSocket::RemoteHostClosedError), 7);
  EXPECT_EQ(code(QAbstractSocket::HostNotFoundError), 16);
  EXPECT_EQ(code(QAbstractSocket::SocketTimeoutError), 8);
  EXPECT_EQ(code(QAbstractSocket::SocketResourceError), 9);
  EXPECT_EQ(code(QAbstractSocket::NetworkError), 10);
  EXPECT_EQ(code(QAbstractSocket::SocketAddressNotAvailableError), 11);
  EXPECT_EQ(code(QAbstractSocket::SocketAccessError), 3);
  EXPECT_EQ(code(QAbstractSocket::UnknownSocketError), 15);
}

TEST(StarSocket, StartingCanBeMadeToFail) {
  TStarSocket socket;
  EXPECT_TRUE(socket.StartWinsock());
  socket.UnloadWinsock();
  socket.Faults.StartFails = true;
  EXPECT_FALSE(socket.StartWinsock());
  EXPECT_FALSE(socket.LoadWinsock());
  socket.Faults.StartFails = false;
  EXPECT_TRUE(socket.StartWinsock());
}

TEST(StarSocket, OnlyPrivateMessagesReachTheUserHandlerLater) {
  TStarSocket socket;
  std::vector<int> received;
  socket.OnUserMessage = [&](TStarSocket*, int message) { received.push_back(message); };
  socket.PostUserMessage(1025);
  socket.PostUserMessage(1026);
  EXPECT_TRUE(received.empty()) << "delivered from the event loop, not at once";
  WaitUntil([&] { return !received.empty(); }, 2000);
  EXPECT_EQ(received, (std::vector<int>{1026}));
}

TEST(StarSocket, RefusedConnectArrivesAsConnectEventWithTheError) {
  quint16 port;
  {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    port = closed.serverPort();
  }
  TStarSocket socket;
  int connects = 0;
  socket.OnConnect = [&](TStarSocket* sender) {
    ++connects;
    EXPECT_EQ(sender->LastError(), 10061);
  };
  socket.CreateSocket();
  socket.SetAddress("127.0.0.1");
  socket.SetPort(port);
  socket.Connect();
  EXPECT_EQ(socket.LastError(), 0) << "connecting does not block";
  ASSERT_TRUE(WaitUntil([&] { return connects == 1; }, 5000));
  EXPECT_FALSE(socket.IsConnected());
  EXPECT_FALSE(socket.HasSocket());
}

TEST(StarSocket, ConnectReadAndServerCloseInOrder) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    QTcpSocket* peer = server.nextPendingConnection();
    peer->write("hello\r\n");
    peer->disconnectFromHost();
  });
  TStarSocket socket;
  std::vector<std::string> events;
  std::string received;
  socket.OnConnect = [&](TStarSocket* s) {
    events.push_back("connect");
    EXPECT_TRUE(s->IsConnected());
  };
  socket.OnRead = [&](TStarSocket* s) {
    char buffer[64];
    while (std::int64_t n = s->ReceiveBuf(buffer, sizeof buffer)) received.append(buffer, static_cast<std::size_t>(n));
  };
  socket.OnClose = [&](TStarSocket* s) {
    events.push_back("close");
    EXPECT_TRUE(s->HasSocket()) << "the close event comes before the socket goes";
    EXPECT_EQ(s->LastError(), 0);
  };
  socket.CreateSocket();
  socket.SetAddress("127.0.0.1");
  socket.SetPort(server.serverPort());
  socket.Connect();
  ASSERT_TRUE(WaitUntil([&] { return events.size() == 2; }, 5000));
  EXPECT_EQ(events, (std::vector<std::string>{"connect", "close"}));
  EXPECT_EQ(received, "hello\r\n");
  EXPECT_FALSE(socket.HasSocket());
  EXPECT_FALSE(socket.IsConnected());
  EXPECT_EQ(socket.LocalAddressText(), "");
}

TEST(StarSocket, CountdownFiresTimeoutAfterCancellingAndCanBeStopped) {
  TStarSocket socket;
  int timeouts = 0;
  socket.OnTimeout = [&](TStarSocket* s) {
    ++timeouts;
    EXPECT_FALSE(s->HasSocket());
  };
  socket.CreateSocket();
  socket.StartCountdown(1);
  ASSERT_TRUE(WaitUntil([&] { return timeouts == 1; }, 4000));
  socket.StartCountdown(1);
  socket.StartCountdown(0);
  WaitUntil([] { return false; }, 1500);
  EXPECT_EQ(timeouts, 1);
}

TEST(StarSocket, LookupOfLocalhostGivesItsAddress) {
  TStarSocket socket;
  int lookups = 0;
  socket.OnLookupDone = [&](TStarSocket* s) {
    ++lookups;
    EXPECT_EQ(s->LastError(), 0);
    s->UseResolvedAddress();
  };
  socket.ResolveHost("localhost");
  ASSERT_TRUE(WaitUntil([&] { return lookups == 1; }, 10000));
  EXPECT_EQ(socket.AddressText(), "127.0.0.1");
}

TEST(StarSocket, SendingWithoutASocketRecordsAnError) {
  TStarSocket socket;
  EXPECT_EQ(socket.SendBuf("x", 1), 0);
  EXPECT_NE(socket.LastError(), 0);
  socket.Connect();
  EXPECT_NE(socket.LastError(), 0);
  socket.CreateSocket();
  socket.SetAddress("not an address");
  socket.Connect();
  EXPECT_EQ(MailFailureForSocketError(socket.LastError()).code, 11);
}
