#pragma once

#include <cstdint>
#include <string>

#include "link/dialects.h"
#include "support/fakes.h"

namespace morvane::testing {

// An encoder that remembers the TA flag the controller sets, so the button follows it the way it
// does on air. Must outlive the port it answers on.
struct FakeTrafficEncoder {
  std::string tp = "1";
  std::string encoder_timeout = "0";
  bool ta = false;

  [[nodiscard]] FakeEncoderPort::Responder Pira32() {
    return [this](const std::string& command) {
      if (command == "TA=1\r" || command == "TA=0\r") {
        ta = command[3] == '1';
        return Pira32Answer(command, "OK");
      }
      if (command == "TP\r") {
        return Pira32Answer(command, tp);
      }
      if (command == "TA\r") {
        return Pira32Answer(command, ta ? "1" : "0");
      }
      if (command == "TATMOUT\r") {
        return Pira32Answer(command, encoder_timeout);
      }
      return Pira32Answer(command, "NO");
    };
  }

  [[nodiscard]] FakeEncoderPort::Responder PiraMicro() {
    return [this](const std::string& command) -> std::string {
      if (command == BuildWriteFrame(kAddressTraffic, std::string(1, '\x01')) ||
          command == BuildWriteFrame(kAddressTraffic, std::string(1, '\x00'))) {
        ta = command[2] == '\x01';
        return {};
      }
      if (command == BuildReadFrame(kAddressTraffic, 1)) {
        return std::string("\xFE\xD0", 2) + (ta ? '\x01' : '\x00') + "\xFF";
      }
      return {};
    };
  }
};

}  // namespace morvane::testing
