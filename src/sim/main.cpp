// rds-encoder-sim: an RDS encoder on a pseudo-terminal or a TCP port, for trying the controller
// without one.

#include <sys/time.h>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>

#include "app/version.h"
#include "sim/encoder_server.h"
#include "sim/pty_transport.h"
#include "sim/sim_options.h"
#include "sim/tcp_transport.h"

namespace {

std::atomic<bool> g_stop{false};

void RequestStop(int) {
  g_stop.store(true);
}

std::string WallClockStamp() {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(now.tv_usec / 1000));
  return text;
}

// The encoder's clock starts at the computer's local time, as a real one with a battery would.
void StartClockFromHost(morvane::sim::EncoderState& state) {
  const std::time_t now = std::time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  state.clock = morvane::sim::EncoderClock({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min, local.tm_sec},
                                           morvane::SteadyNowMs());
}

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace morvane::sim;
  const auto parsed = ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "rds-encoder-sim: " << *error << "\n" << SimUsage();
    return 2;
  }
  SimOptions options = std::get<SimOptions>(parsed);
  if (options.help) {
    std::cout << SimUsage();
    return 0;
  }
  if (options.version) {
    std::cout << "rds-encoder-sim " << morvane::kVersionText << std::endl;
    return 0;
  }
  StartClockFromHost(options.initial);
  InstallStopHandlers();

  std::ofstream group_file;
  std::ostream* group_out = nullptr;
  if (options.groups_path == "-") {
    group_out = &std::cout;
  } else if (!options.groups_path.empty()) {
    group_file.open(options.groups_path);
    if (!group_file) {
      std::cerr << "rds-encoder-sim: cannot write " << options.groups_path << "\n";
      return 1;
    }
    group_out = &group_file;
  }

  ServerHooks hooks;
  hooks.on_air = [](const std::string& line) {
    std::cout << WallClockStamp() << " ON AIR " << line << std::endl;
  };
  // A refused command is worth the operator's attention whether or not every command is logged.
  hooks.on_refused = [](const Command& command, const std::string& why) {
    std::cerr << WallClockStamp() << " refused " << DescribeCommand(command) << ": " << why
              << std::endl;
  };
  if (options.log) {
    hooks.on_command = [](const Command& command, int64_t) {
      std::cerr << WallClockStamp() << " < " << DescribeCommand(command) << std::endl;
    };
  }
  if (group_out != nullptr) {
    hooks.on_group = [group_out](const RdsGroup& group) {
      *group_out << FormatGroup(group) << '\n';
      group_out->flush();
    };
  }

  try {
    std::unique_ptr<Transport> transport;
    if (options.listen) {
      transport = std::make_unique<TcpTransport>(options.listen->host, options.listen->port);
    } else {
      transport = std::make_unique<PtyTransport>(options.link_path);
    }
    EncoderServer server(options, hooks, std::move(transport));
    std::cout << server.transport().Where() << std::endl;
    for (const std::string& line :
         DescribeOnAir(ViewOnAir(server.encoder(), morvane::SteadyNowMs(), options.charset))) {
      std::cout << WallClockStamp() << " ON AIR " << line << std::endl;
    }
    server.Serve(g_stop);
  } catch (const std::exception& error) {
    std::cerr << "rds-encoder-sim: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
