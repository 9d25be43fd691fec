#include "link/commands.h"

#include "link/dialects.h"

namespace morvane {

std::string Exchange(EncoderLink& link, const AsciiCommand& command, std::string_view value) {
  std::string line(command.text);
  line.append(value);
  if (command.answer == AnswerRule::NotRead) {
    link.WriteAndWait(BuildAsciiCommand(line), command.wait_ms);
    return {};
  }
  return link.ExchangeCommand(BuildAsciiCommand(line), command.wait_ms);
}

std::optional<std::string> AskReading(EncoderLink& link, const AsciiCommand& query) {
  const std::string answer = Exchange(link, query);
  if (answer.empty() || !AnswersCommand(answer, query.text)) {
    return std::nullopt;
  }
  return ParseAnswerLine(answer);
}

std::string Ask(EncoderLink& link, const AsciiCommand& query) {
  return AskReading(link, query).value_or(std::string());
}

std::string Read(EncoderLink& link, const FrameCommand& read) {
  return link.ExchangeCommand(BuildReadFrame(read.address, read.count), read.wait_ms);
}

void Write(EncoderLink& link, const FrameCommand& write, std::string_view data) {
  (void)link.ExchangeCommand(BuildWriteFrame(write.address, data), write.wait_ms);
}

}  // namespace morvane
