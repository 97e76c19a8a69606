// Two chat clients against the stand-in chat script on loopback, and the
// reading of replies whose messages hold what the script's own words look like.
#include <gtest/gtest.h>

#include "online/Chat.h"
#include "online/OwnerThread.h"
#include "platform/IniFile.h"
#include "support/StandInPublisher.h"

namespace {

struct TClient {
  TClient(TStandInPublisher& publisher, const std::string& name)
      : client(publisher.ServerChat(), queue, "joined", " left") {
    client.SetTimeouts(5, 5);
    EXPECT_NE(client.AccountRequest("5", name, "Secret"), kChatFailed);
    EXPECT_EQ(ChatLoginMessageKey(client.AccountRequest("0", name, "SECRET")), "") << name;
    client.Begin(name);
  }
  // One poll, run to its end, then processed.
  std::vector<TChatEvent> Poll() {
    client.PollTick();
    queue.RunUntil([&] { return !client.Polling(); });
    std::vector<TChatEvent> events = client.PollTick();
    queue.RunUntil([&] { return !client.Polling(); });
    for (const TChatEvent& e : events) all.push_back(e);
    return events;
  }
  std::vector<std::string> Public() const {
    std::vector<std::string> texts;
    for (const TChatEvent& e : all)
      if (e.kind == TChatEvent::PublicLine && e.message.Kind == kChatKindText) texts.push_back(e.message.Text);
    return texts;
  }
  TTaskQueue queue;
  TChatClient client;
  std::vector<TChatEvent> all;
};

TEST(Chat, TwoClientsSeePublicMessagesInOrderAndTalkPrivately) {
  TStandInPublisher publisher;
  TClient anna(publisher, "Anna");
  TClient bob(publisher, "BOB");
  EXPECT_EQ(bob.client.Session()->Nick(), "BOB") << "the nick is kept as typed";
  EXPECT_EQ(TChatSession("tester", "joined", "has left the chat").LeaveMessage().Text, "tester has left the chat");
  EXPECT_EQ(bob.client.Session()->UserNicks(), (std::vector<std::string>{"anna", "bob"}));

  // Past nine messages, so "10" must come after "9"; a text holding the
  // script's result words is still a message.
  std::vector<std::string> sent;
  for (int i = 1; i <= 11; ++i) {
    sent.push_back("line " + std::to_string(i));
    ASSERT_EQ(anna.client.SendPublic(sent.back()), kChatOk);
    if (i == 5) {
      anna.Poll();
      bob.Poll();
    }
  }
  sent.push_back("No New Messages, incorrect password Error Not Found [users]");
  ASSERT_EQ(bob.client.SendPublic(sent.back()), kChatOk);
  anna.Poll();
  bob.Poll();
  bob.Poll();  // an old message answered again is shown once
  EXPECT_EQ(anna.Public(), sent);
  EXPECT_EQ(bob.Public(), sent);
  EXPECT_EQ(bob.client.Session()->UserNicks(), (std::vector<std::string>{"anna", "bob"}))
      << "the user list is not changed by what a user typed";

  // A private message opens one talk on the other side, and a second one goes to it.
  TChatSession& a = *anna.client.Session();
  ASSERT_EQ(anna.client.SendPrivate(a.Outgoing("bob", "psst")), kChatOk);
  ASSERT_EQ(anna.client.SendPrivate(a.Outgoing("bob", "again")), kChatOk);
  std::vector<TChatEvent> events = bob.Poll();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, TChatEvent::TalkOpened);
  EXPECT_EQ(events[0].message.From, "Anna");
  EXPECT_EQ(events[1].kind, TChatEvent::TalkLine);
  EXPECT_EQ(events[2].kind, TChatEvent::TalkLine);
  EXPECT_EQ(events[2].message.Text, "again");
  EXPECT_EQ(bob.client.Session()->OpenTalks(), 1);
  EXPECT_TRUE(anna.Poll().empty()) << "anna's own private messages open nothing on her side";

  // Anna closes her talk: the notice reaches bob's talk, which is marked to close.
  ASSERT_EQ(anna.client.SendPrivate(a.TalkLeaveNotice("bob")), kChatOk);
  events = bob.Poll();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[1].kind, TChatEvent::TalkPeerLeft);
  EXPECT_TRUE(bob.client.Session()->TalkPeerHasLeft(events[1].slot));

  // Leaving tells the others.
  anna.client.Leave();
  bob.Poll();
  EXPECT_EQ(bob.client.Session()->UserNicks(), (std::vector<std::string>{"bob"}));
  EXPECT_EQ(publisher.ChatLog().back(), "2;" + std::to_string(publisher.ChatLog().size()) + ";Anna;all;Anna left;");
}

TEST(Chat, WithEveryTalkSlotTakenAPrivateMessageShowsInTheMainList) {
  TStandInPublisher publisher;
  TClient anna(publisher, "anna");
  TClient bob(publisher, "bob");
  TChatSession& b = *bob.client.Session();
  bob.Poll();
  for (int i = 1; i <= kMaxTalks; ++i) ASSERT_EQ(b.OpenTalk("peer" + std::to_string(i), false), i);
  ASSERT_EQ(anna.client.SendPrivate(anna.client.Session()->Outgoing("bob", "anyone?")), kChatOk);
  std::vector<TChatEvent> events = bob.Poll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, TChatEvent::PublicLine);
  EXPECT_EQ(events[0].message.Text, "anyone?");
  b.CloseTalk(7);
  EXPECT_EQ(b.OpenTalk("anna", true), 7) << "a freed slot is used again";
}

TEST(Chat, ATalkTakesItsPeersMessagesWhateverTheLetterCaseOfTheNick) {
  TStandInPublisher publisher;
  TClient anna(publisher, "Anna");
  TClient bob(publisher, "bob");
  bob.Poll();
  TChatSession& b = *bob.client.Session();
  // Opened from the user list, which names her as the server knows her.
  const int slot = b.OpenTalk("anna", false);
  ASSERT_EQ(anna.client.SendPrivate(anna.client.Session()->Outgoing("BOB", "psst")), kChatOk);
  const std::vector<TChatEvent> events = bob.Poll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, TChatEvent::TalkLine);
  EXPECT_EQ(events[0].slot, slot);
  EXPECT_EQ(b.TalkWith("ANNA"), slot);
  EXPECT_EQ(b.OpenTalks(), 1);
}

TEST(Chat, AccountsAndAFailingServer) {
  TStandInPublisher publisher;
  TTaskQueue queue;
  TChatClient client(publisher.ServerChat(), queue);
  client.SetTimeouts(2, 2);
  EXPECT_EQ(ChatLoginMessageKey(client.AccountRequest("0", "nobody", "x")), "MessageIncorrectNick");
  EXPECT_EQ(ChatRegisterMessageKey(client.AccountRequest("5", "Carl", "pw")), "MessageYouAreSucReg");
  EXPECT_EQ(ChatRegisterMessageKey(client.AccountRequest("5", "carl", "pw")), "MessageNameIsInUse");
  EXPECT_EQ(ChatLoginMessageKey(client.AccountRequest("0", "carl", "nope")), "MessageIncorrectPassword");
  ASSERT_EQ(ChatLoginMessageKey(client.AccountRequest("0", "CARL", "PW")), "");
  client.Begin("Carl");

  // A message sent while the script fails waits in the queue; the next run sends it.
  publisher.FailChat(2);
  EXPECT_EQ(client.SendPublic("hello"), kChatFailed);
  ASSERT_EQ(client.Queued(), 1u);
  client.ResendTick();
  queue.RunUntil([&] { return !client.Resending(); });
  EXPECT_EQ(client.Queued(), 1u) << "a failed run leaves the message queued";
  client.ResendTick();
  queue.RunUntil([&] { return !client.Resending(); });
  EXPECT_EQ(client.Queued(), 0u);
  EXPECT_EQ(publisher.ChatLog().back(), "-1;2;Carl;all;hello;");

  // No server at all: the log-in shows the error.
  TTaskQueue lostQueue;
  TChatClient lost("http://127.0.0.1:1/cgi-bin/plv/kzchat?ctype=", lostQueue);
  lost.SetTimeouts(2, 2);
  EXPECT_EQ(ChatLoginMessageKey(lost.AccountRequest("0", "carl", "pw")), "MessageNoAccessToServer");
}

TEST(Chat, ResultWordsCountOnlyOutsideMessageAndUserLines) {
  TChatReply reply = ReadChatReply(
      "-1;9;anna;all;incorrect password Error;\n-1;10;bob;all;No New Messages;\n[users]\n;anna;;;;\n;name is in use;;;;\n");
  EXPECT_EQ(reply.result, kChatOk);
  ASSERT_EQ(reply.messages.size(), 2u);
  EXPECT_EQ(reply.users.size(), 2u);
  EXPECT_EQ(ReadChatReply("No New Messages").result, kChatNoNewMessages);
  EXPECT_EQ(ReadChatReply("<h1>Not Found</h1>\n").result, kChatFailed);
  EXPECT_EQ(ReadChatReply("<h1>500 Server Error</h1>\n").result, kChatFailed);
  EXPECT_EQ(ReadChatReply("-1;1;a;all;x;\nincorrect all\n").result, kChatIncorrectAll);
  EXPECT_FALSE(ParseChatMessage("x;1;a;all;t;")) << "Kind must be a number";
  EXPECT_FALSE(ParseChatMessage("-1;1;a;all;t")) << "every field ends with ;";
  // A kind past the integers is no kind: the line is no message.
  EXPECT_FALSE(ParseChatMessage("9999999999;1;a;all;t;"));
  EXPECT_EQ(ParseChatMessage("+2147483647;1;a;all;t;")->Kind, 2147483647);
  EXPECT_EQ(ReadChatReply("9999999999;1;a;all;t;\n").messages.size(), 0u);
  EXPECT_LT(CompareChatIds("9", "10"), 0);
  EXPECT_EQ(CompareChatIds("007", "7"), 0);
}

}  // namespace

TEST(Chat, TheTimingComesFromTheSettingsAndKeepsItsDefaultsForWhatIsNotAPositiveNumber) {
  const TChatTiming defaults;
  const TChatTiming none = ReadChatTiming(TIniFile::FromText(""));
  EXPECT_EQ(none.poll, defaults.poll);
  EXPECT_EQ(none.resend, defaults.resend);
  EXPECT_EQ(none.talkClose, defaults.talkClose);
  const TChatTiming read = ReadChatTiming(TIniFile::FromText("[Chat]\nPollMs=500\nResendMs=0\nTalkCloseMs=-5\n"));
  EXPECT_EQ(read.poll, std::chrono::milliseconds(500));
  EXPECT_EQ(read.resend, defaults.resend);
  EXPECT_EQ(read.talkClose, defaults.talkClose);
  EXPECT_EQ(ReadChatTiming(TIniFile::FromText("[Chat]\nResendMs=soon\n")).resend, defaults.resend);
}
