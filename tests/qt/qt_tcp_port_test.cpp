#include "link/qt_tcp_port.h"

#include <netinet/tcp.h>

#include <gtest/gtest.h>

#include <thread>

#include "../support/loopback.h"
#include "link/qt_serial_port.h"

namespace morvane {
namespace {

using namespace std::string_literals;

// An answer in many segments, arriving while the exchange waits with the event loop held up, is
// read whole at the end of the wait; the command went out at once. A peer that stops reading
// fails a write once the system holds all it can, instead of our own buffer growing.
TEST(QtTcpPort, ExchangeAsOverASerialLineWithBoundedBuffers) {
  const std::string answer = "PS\r\nRADIO 1 \r\n\xFE\x00\xFF"s;
  const testing::LoopbackPort peer(1);
  QtTcpPort port;
  ASSERT_EQ(port.Open({0, "", NetworkAddress{"127.0.0.1", peer.port}}, {}), std::nullopt);
  const int encoder = accept(peer.fd, nullptr, nullptr);
  const int on = 1;
  const timeval limit{10, 0};  // a read gives up then
  ASSERT_EQ(setsockopt(encoder, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit), 0);
  ASSERT_EQ(setsockopt(encoder, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on), 0);
  for (const std::size_t piece : {std::size_t{1}, std::size_t{4}, answer.size()}) {
    EXPECT_EQ(port.ReadAll(), std::optional<std::string>("")) << "nothing came: empty, at once";
    ASSERT_TRUE(port.Write("PS\r"));
    char got[3] = {};
    EXPECT_EQ(std::string(got, recv(encoder, got, 3, MSG_WAITALL) == 3 ? 3 : 0), "PS\r");
    std::thread answering([&] {
      for (std::size_t at = 0; at < answer.size(); at += piece) {
        (void)!write(encoder, answer.data() + at, std::min(piece, answer.size() - at));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the command's wait
    answering.join();
    EXPECT_EQ(port.ReadAll(), answer) << piece << "-byte segments";
  }
  int writes = 0;
  while (writes < 1000 && port.Write(std::string(kMaxReceivedBytes, 'x'))) {
    ++writes;
  }
  EXPECT_LT(writes, 1000);
  close(encoder);
}

}  // namespace
}  // namespace morvane
