#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Services/Trace/TraceTestSupport.h"
#include "QZFramework/Services/Trace/UdpLogSender.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace {

using Blocks = std::vector<std::string>;

std::string Digits(size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    text += char('0' + i % 10);
  }
  return text;
}

TEST(DebugTraceTest, EachWriteReachesTheDebuggerAsOneBlockWhileUdpIsOff) {
  QZTest::DebuggerBlocks debugger;
  QZ::DebugTrace trace(debugger.Output());
  trace.Narrow() << "ports: " << 3 << " of " << QZ::WString(u"MIDIIN3 (QUORIN 49 ZTR)") << "\n";
  trace.Wide() << u"Gr\u00FC\u00DFe " << QZ::WString(u"\U0001F3B9") << u'\n';
  trace.SetDebugLogTarget(nullptr, 0);
  trace.Narrow() << "port 0 is off too\n";
  EXPECT_EQ(debugger.blocks, (Blocks{"ports: 3 of MIDIIN3 (QUORIN 49 ZTR)\n",
                                     "Gr\xC3\xBC\xC3\x9F"
                                     "e \xF0\x9F\x8E\xB9\n",
                                     "port 0 is off too\n"}));
}

TEST(DebugTraceTest, ALongWriteLeavesInBlocksOfAtMost1023CharactersInOrder) {
  QZTest::DebuggerBlocks debugger;
  QZ::DebugTrace trace(debugger.Output());
  const std::string text = Digits(3000);
  trace.Narrow() << text;
  ASSERT_EQ(debugger.blocks.size(), 3u);
  EXPECT_EQ(debugger.blocks[0].size(), 1023u);
  EXPECT_EQ(debugger.blocks[1].size(), 1023u);
  EXPECT_EQ(debugger.blocks[0] + debugger.blocks[1] + debugger.blocks[2], text);

  // Character by character the blocks are the same.
  debugger.blocks.clear();
  {
    auto out = trace.Narrow();
    for (char c : text) {
      out.Stream().put(c);
    }
  }
  EXPECT_EQ(debugger.blocks, (Blocks{text.substr(0, 1023), text.substr(1023, 1023), text.substr(2046)}));
}

TEST(DebugTraceTest, AWideBlockNeverSplitsASurrogatePair) {
  QZTest::DebuggerBlocks debugger;
  QZ::DebugTrace trace(debugger.Output());
  const std::u16string text = std::u16string(1022, u'a') + u"\U0001F3B9b";
  trace.Wide() << text;
  EXPECT_EQ(debugger.blocks, (Blocks{std::string(1022, 'a'), "\xF0\x9F\x8E\xB9"
                                                             "b"}));
}

TEST(DebugTraceTest, WithAPortTheBannerAndEachWriteArriveAsDatagrams) {
  QZTest::DebuggerBlocks debugger;
  QZ::DebugTrace trace(debugger.Output());
  QZTest::UdpListener listener;
  // The host given first stays when a later call passes none.
  trace.SetDebugLogTarget("127.0.0.1", -1);
  trace.SetDebugLogTarget(nullptr, listener.Port());
  trace.Narrow() << "first line" << std::endl;
  trace.Wide() << u"zweite Zeile \u00FC\n";
  trace.Narrow() << Digits(3000);

  const Blocks expected{"*** APPLICATION Launched on ",
                        "127.0.0.1",
                        "***\n",
                        "first line\n",
                        "zweite Zeile \xC3\xBC\n",
                        Digits(1023),
                        Digits(2046).substr(1023),
                        Digits(3000).substr(2046)};
  Blocks received;
  for (size_t i = 0; i < expected.size(); ++i) {
    received.push_back(listener.Receive().value_or("(nothing)"));
  }
  EXPECT_EQ(received, expected);
  EXPECT_TRUE(debugger.blocks.empty());
}

TEST(DebugTraceTest, TheSenderOpensOnceAnnouncesItselfAndSkipsEmptyTexts) {
  QZTest::UdpListener listener;
  QZ::UdpLogSender sender;
  EXPECT_FALSE(sender.IsOpen());
  sender.Send("localhost", listener.Port(), "");
  EXPECT_TRUE(sender.IsOpen());
  EXPECT_EQ(sender.GetDestinationAddress(), "127.0.0.1");
  sender.Send(nullptr, 1, "line\n");
  EXPECT_EQ(listener.Receive(), "*** APPLICATION Launched on ");
  EXPECT_EQ(listener.Receive(), "127.0.0.1");
  EXPECT_EQ(listener.Receive(), "***\n");
  // The destination was fixed by the first call.
  EXPECT_EQ(listener.Receive(), "line\n");
  EXPECT_EQ(listener.Receive(20), std::nullopt);
}

TEST(DebugTraceTest, TheConsoleIsTheProcesssStderr) {
  QZTest::DebuggerBlocks debugger;
  QZ::DebugTrace trace(debugger.Output());
  testing::internal::CaptureStderr();
  trace.OpenConsole();
  trace.Narrow() << "to the console\n";
  trace.Wide() << u"wide \u00FC " << u"\U0001F3B9" << u'\n';
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "to the console\nwide \xC3\xBC \xF0\x9F\x8E\xB9\n");
  EXPECT_TRUE(debugger.blocks.empty());
}

TEST(DebugTraceTest, TheDefaultDebuggerIsStderrOnlyWhenAskedFor) {
  QZ::DebugTrace trace;
  unsetenv("QZ_DEBUG_TRACE");
  testing::internal::CaptureStderr();
  trace.Narrow() << "unseen\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  setenv("QZ_DEBUG_TRACE", "1", 1);
  testing::internal::CaptureStderr();
  trace.Narrow() << "seen\n";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "seen\n");
  unsetenv("QZ_DEBUG_TRACE");
  EXPECT_EQ(&QZ::DebugTrace::Get(), &QZ::DebugTrace::Get());
}

} // namespace
