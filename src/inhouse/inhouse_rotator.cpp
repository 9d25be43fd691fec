#include "inhouse/inhouse_rotator.h"

#include <cstdint>
#include <optional>
#include <string>

#include "inhouse/inhouse_groups.h"
#include "link/commands.h"
#include "text/text_encoding.h"
#include "text/text_helpers.h"

namespace morvane {

namespace {

// Opened by its bare name, in the working directory, afresh on every tick.
constexpr char kInHouseFile[] = "inhouse.txt";
// Far beyond any message line; the whole first line up to here decides whether the message is
// new, although only its first 64 characters are ever sent.
constexpr std::size_t kInHouseReadLimitBytes = std::size_t{1} << 20;
constexpr int16_t kLastSequence = 15;

// A missing or unreadable file reads as the empty line: no message.
std::string ReadFirstLine(FileReader& files) {
  const FileRead read = files.ReadPrefix(kInHouseFile, kInHouseReadLimitBytes);
  return read.content ? std::string(FirstLine(*read.content)) : std::string();
}

void SendGroups(Controller& controller, const std::string& groups) {
  if (IsPira32(controller.state)) {
    Exchange(controller.link, pira32::kInHouseGroups, groups);
  }
}

void StartMessage(Controller& controller, const std::string& line, const InHouseMessage& message) {
  ControllerState& state = controller.state;
  state.UDGcurrentMessage = line;
  state.UDGcurrentText = message.text;
  state.UDGcurrentPosition = 1;
  state.UDGplaceCounter = 0;
  ++state.UDGsequence;
  if (IsPira32(state)) {
    controller.Report(EventKind::InHouseStarted, Severity::Info,
                      "in-house message " + message.identifier + " " + message.text);
  }
}

}  // namespace

void tmrInHouse_Timer(Controller& controller) {
  ControllerState& state = controller.state;
  // Converted before anything looks at it, so a message is cut and counted in RDS characters.
  const std::string line = ToRds(ReadFirstLine(controller.io.files), controller.text_encoding);
  const std::optional<InHouseMessage> message = ParseMessageLine(line);
  if (!message) {
    // The rotation state is kept, so a message that comes back unchanged resumes where it was.
    SendGroups(controller, BuildVersionGroups(state.HexVersion));
    return;
  }
  if (line != state.UDGcurrentMessage) {
    StartMessage(controller, line, *message);
  }
  if (state.UDGsequence > kLastSequence) {
    state.UDGsequence = 0;
  }

  const std::string groups =
      BuildMessageGroups(state.UDGplaceCounter, state.UDGsequence, message->identifier,
                         InHouseSlice(state.UDGcurrentText, state.UDGcurrentPosition));
  state.UDGplaceCounter += 4;
  SendGroups(controller, groups);
  state.UDGcurrentPosition += kInHouseCharactersPerTick;

  // The pass ends with the group set that carries the text's last character.
  if (state.UDGcurrentPosition > static_cast<int>(state.UDGcurrentText.size())) {
    ++state.UDGsentTimes;
    state.UDGcurrentPosition = 1;
    state.UDGplaceCounter = 0;
  }
}

void SendInHouse(Controller& controller) {
  SendGroups(controller, "");
}

}  // namespace morvane
