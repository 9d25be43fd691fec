#include "link/encoder_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "link/thread_sleeper.h"
#include "support/fakes.h"

namespace morvane {
namespace {

using testing::Rig;
using Kind = testing::WireEvent::Kind;

constexpr char kAnswer[] = "PS\r\nRADIO 1 \r\n";

std::string Kinds(const std::vector<testing::WireEvent>& log) {
  std::string kinds;
  for (const auto& event : log) {
    kinds += event.kind == Kind::Read ? 'R' : event.kind == Kind::Write ? 'W' : 'S';
  }
  return kinds;
}

// Drain, write, wait, read: what came before the command, or later than its wait, is never its
// answer. The date command alone is written and waited for without any read.
TEST(EncoderLink, DrainsWritesWaitsReadsAndTracesEachExchange) {
  Rig rig;
  std::vector<ExchangeRecord> trace;
  rig.controller.link.SetTrace([&trace](const ExchangeRecord& record) { trace.push_back(record); });
  rig.port.responder = testing::Pira32Responder({{"PS", "RADIO 1 "}});
  rig.port.Inject(std::string(1 << 20, '\xFE'));

  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), kAnswer);
  EXPECT_EQ(rig.log[0].bytes.size(), 1u << 20);
  EXPECT_EQ(rig.log[3].at_us, 200000);
  rig.port.answer_delay_us = 900'000;
  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 500), "");
  rig.port.answer_delay_us = 1000;
  rig.sleeper.SleepMs(1000);
  EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 50), kAnswer);
  EXPECT_EQ(rig.log[9].bytes, kAnswer) << "the late answer goes to the drain";
  rig.controller.link.WriteAndWait("DATE=05.03.26\r", 400);

  EXPECT_EQ(Kinds(rig.log), "RWSRRWSRSRWSRWS");
  ASSERT_EQ(trace.size(), 4u);
  EXPECT_EQ(trace[1].wait_ms, 500);
  EXPECT_EQ(trace[2].answer, kAnswer);
  EXPECT_TRUE(trace[2].answer_read);
  EXPECT_EQ(trace[3].written, "DATE=05.03.26\r");
  EXPECT_EQ(trace[3].wait_ms, 400);
  EXPECT_FALSE(trace[3].answer_read);
  EXPECT_EQ(rig.controller.link.counters().exchanges, 4u);
  EXPECT_EQ(rig.controller.link.counters().empty_answers, 1u);
}

// A failing port yields the empty answer after the whole wait, and tells the port watch.
TEST(EncoderLink, FailingPortGivesTheEmptyAnswerAndReportsIt) {
  const struct {
    bool fail_writes;
    bool fail_reads;
    std::string answer;
  } cases[] = {
      {false, false, kAnswer},
      {true, false, ""},
      {false, true, ""},
  };
  for (const auto& c : cases) {
    Rig rig;
    std::vector<bool> health;
    rig.controller.link.SetPortHealthListener([&health](bool ok) { health.push_back(ok); });
    rig.port.responder = testing::Pira32Responder({{"PS", "RADIO 1 "}});
    rig.port.fail_writes = c.fail_writes;
    rig.port.fail_reads = c.fail_reads;
    const bool ok = !c.fail_writes && !c.fail_reads;

    EXPECT_EQ(rig.controller.ExchangeCommand("PS\r", 200), c.answer);
    rig.controller.link.WriteAndWait("DATE=05.03.26\r", 400);

    EXPECT_EQ(rig.TotalWaitMs(), 600);
    EXPECT_EQ(health, (std::vector<bool>{ok, !c.fail_writes}));
    EXPECT_EQ(rig.controller.link.counters().empty_answers, ok ? 0u : 1u);
  }
}

// Whether any byte came in, before the command or after it; a late answer is no silence. A set
// command tells whether it was written.
TEST(EncoderLink, CountsTheExchangesInARowThatHeardNothing) {
  Rig rig;
  std::vector<bool> heard;
  rig.controller.link.SetHearingListener([&heard](bool any) { heard.push_back(any); });
  const struct {
    const char* what;
    std::function<void(Rig&)> before;
    bool written;
    uint64_t silent_in_a_row;
  } steps[] = {
      {"silent", [](Rig&) {}, true, 1},
      {"silent again", [](Rig&) {}, true, 2},
      {"a late answer waits for the drain", [](Rig& r) { r.port.Inject("x", 300000); }, true, 3},
      {"heard in the drain", [](Rig&) {}, true, 0},
      {"answered", [](Rig& r) { r.port.responder = testing::Pira32Responder({}); }, true, 0},
      {"write fails", [](Rig& r) { r.port.fail_writes = true; }, false, 0},
  };
  std::vector<bool> expected;
  for (const auto& step : steps) {
    step.before(rig);
    EXPECT_EQ(rig.controller.link.SendCommand("TA=0\r", 200), step.written) << step.what;
    EXPECT_EQ(rig.controller.link.counters().silent_in_a_row, step.silent_in_a_row) << step.what;
    if (step.written) {
      expected.push_back(step.silent_in_a_row == 0);
    }
  }
  EXPECT_EQ(heard, expected);
}

// The real wait holds the thread at least as long as asked, even for a single millisecond.
TEST(ThreadSleeper, WaitsAtLeastTheTimeAsked) {
  for (const int wait_ms : {1, 20}) {
    const auto start = std::chrono::steady_clock::now();
    ThreadSleeper().SleepMs(wait_ms);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(wait_ms));
  }
}

}  // namespace
}  // namespace morvane
