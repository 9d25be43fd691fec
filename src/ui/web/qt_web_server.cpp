#include "ui/web/qt_web_server.h"

// The HTTP library: Debian's cpp-httplib rather than Qt's HTTP server module, because only it
// limits the body length and the header size, runs its own threads and lets a connection's
// handling be bounded in time; Qt's module (6.4) has neither a body limit nor a timeout.
#include <arpa/inet.h>
#include <httplib.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QFile>
#include <QMetaObject>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

// Resources are named at global scope; a static library needs them pulled in by name.
static void InitialiseWebPage() {
  Q_INIT_RESOURCE(page);
}

namespace morvane {

namespace {

using Clock = std::chrono::steady_clock;

// Connections served at once, and waiting for a free worker; beyond that a connection is told
// 503 and closed at once, so a crowd of clients can neither pile up memory nor file handles.
constexpr std::size_t kWorkers = 8;
constexpr std::size_t kWaitingConnections = 16;
// A connection carries one request and its answer. The request must have come within this time,
// so a client that sends it a byte at a time cannot hold a worker for longer; the answer then has
// as long again to be taken.
constexpr auto kConnectionTime = std::chrono::seconds(3);
// Request line, headers and body together; the library bounds each header line, not their sum.
constexpr std::size_t kMaxRequestBytes = std::size_t{32} * 1024;
// How often a waiting worker looks whether the server is stopping.
constexpr int kPollSliceMs = 200;

constexpr std::string_view kBusyAnswer =
    "HTTP/1.1 503 Service Unavailable\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";

thread_local bool t_turn_away = false;

std::string ResourceText(const char* path) {
  QFile file(QString::fromLatin1(path));
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  return file.readAll().toStdString();
}

std::string AddressText(const sockaddr_storage& address, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    port = ntohs(v6.sin6_port);
  }
  return text;
}

// One connection's socket, with a deadline for everything and a budget for what is read.
class DeadlineStream : public httplib::Stream {
 public:
  DeadlineStream(int sock, const std::atomic<bool>& stopping)
      : sock_(sock), stopping_(stopping), read_until_(Clock::now() + kConnectionTime) {}

  bool is_readable() const override { return Wait(POLLIN, read_until_); }
  bool is_writable() const override { return Wait(POLLOUT, WriteUntil()); }

  ssize_t read(char* ptr, size_t size) override {
    if (read_ >= kMaxRequestBytes || !Wait(POLLIN, read_until_)) {
      return -1;
    }
    const ssize_t got = recv(sock_, ptr, std::min(size, kMaxRequestBytes - read_), MSG_DONTWAIT);
    if (got > 0) {
      read_ += static_cast<std::size_t>(got);
    }
    return got;
  }

  ssize_t write(const char* ptr, size_t size) override {
    size_t sent = 0;
    while (sent < size) {
      if (!Wait(POLLOUT, WriteUntil())) {
        return -1;
      }
      const ssize_t done = send(sock_, ptr + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
      if (done < 0 && errno != EAGAIN && errno != EINTR) {
        return -1;
      }
      sent += done > 0 ? static_cast<size_t>(done) : 0;
    }
    return static_cast<ssize_t>(size);
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      ip = AddressText(address, port);
    }
  }

  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      ip = AddressText(address, port);
    }
  }

  socket_t socket() const override { return sock_; }

 private:
  Clock::time_point WriteUntil() const {
    if (!write_until_) {
      write_until_ = Clock::now() + kConnectionTime;
    }
    return *write_until_;
  }

  // Until the socket is ready, the time is up or the server stops.
  bool Wait(short events, Clock::time_point until) const {
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
      if (left.count() <= 0 || stopping_) {
        return false;
      }
      pollfd watched{sock_, events, 0};
      const int ready =
          poll(&watched, 1, static_cast<int>(std::min<int64_t>(left.count(), kPollSliceMs)));
      if (ready > 0) {
        return (watched.revents & (events | POLLHUP)) != 0 && (watched.revents & POLLERR) == 0;
      }
      if (ready < 0 && errno != EINTR) {
        return false;
      }
    }
  }

  int sock_;
  const std::atomic<bool>& stopping_;
  Clock::time_point read_until_;
  mutable std::optional<Clock::time_point> write_until_;
  std::size_t read_ = 0;
};

// A fixed set of workers with a bounded waiting line. A connection that finds the line full is
// handled on the listening thread at once, as a refusal (see t_turn_away).
class BoundedQueue : public httplib::TaskQueue {
 public:
  BoundedQueue() {
    for (std::size_t i = 0; i < kWorkers; ++i) {
      workers_.emplace_back([this] { Work(); });
    }
  }

  void enqueue(std::function<void()> job) override {
    {
      std::lock_guard lock(mutex_);
      if (waiting_.size() < kWaitingConnections) {
        waiting_.push_back(std::move(job));
        ready_.notify_one();
        return;
      }
    }
    t_turn_away = true;
    job();
    t_turn_away = false;
  }

  void shutdown() override {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& worker : workers_) {
      worker.join();
    }
  }

 private:
  void Work() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) {
          return;
        }
        job = std::move(waiting_.front());
        waiting_.pop_front();
      }
      job();
    }
  }

  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::function<void()>> waiting_;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};

}  // namespace

class QtWebServer::BoundedServer : public httplib::Server {
 public:
  BoundedServer() {
    new_task_queue = [] { return new BoundedQueue; };
  }

  void Stop() {
    stopping_ = true;
    stop();
  }

 private:
  // One request per connection: a kept-alive connection would hold a worker while it idles.
  bool process_and_close_socket(socket_t sock) override {
    bool served = false;
    if (t_turn_away) {
      (void)!send(sock, kBusyAnswer.data(), kBusyAnswer.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    } else {
      DeadlineStream stream(sock, stopping_);
      bool closed = false;
      served = process_request(stream, true, closed, nullptr);
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return served;
  }

  std::atomic<bool> stopping_{false};
};

QtWebServer::QtWebServer(StatusBoard& board, WebAccess access, WebMailbox& mailbox,
                         std::function<void()> wake)
    : board_(board),
      access_(std::move(access)),
      mailbox_(mailbox),
      wake_(std::move(wake)),
      server_(std::make_unique<BoundedServer>()) {
  InitialiseWebPage();
  page_ = {ResourceText(":/web/index.html"), ResourceText(":/web/app.js"),
           ResourceText(":/web/style.css")};

  const auto serve = [this](const httplib::Request& req, httplib::Response& res) {
    const std::size_t query_at = req.target.find('?');
    HttpRequest request{req.method, req.path,
                        query_at == std::string::npos
                            ? std::string_view()
                            : std::string_view(req.target).substr(query_at + 1),
                        HttpHeaders(req.headers.begin(), req.headers.end()), req.body};
    HttpAnswer answer = Route(request, access_, board_, page_);
    res.status = answer.status;
    for (const auto& [name, value] : answer.headers) {
      res.set_header(name.c_str(), value);
    }
    if (!answer.content_type.empty()) {
      res.set_content(std::move(answer.body), answer.content_type.c_str());
    }
    if (answer.action.kind != WebActionKind::None && mailbox_.Post(answer.action)) {
      Wake();
    }
  };
  // A request without Content-Length and not chunked has no body; the library would wait for
  // the client to close instead (curl -X POST sends such a request).
  server_->set_pre_routing_handler([serve](const httplib::Request& req, httplib::Response& res) {
    if (req.has_header("Content-Length") || req.has_header("Transfer-Encoding")) {
      return httplib::Server::HandlerResponse::Unhandled;
    }
    serve(req, res);
    return httplib::Server::HandlerResponse::Handled;
  });
  const std::string any = ".*";
  server_->Get(any, serve);
  server_->Post(any, serve);
  server_->Put(any, serve);
  server_->Patch(any, serve);
  server_->Delete(any, serve);
  server_->Options(any, serve);
  server_->set_payload_max_length(kMaxPushedLineBytes);
  // Reuse of the address lets a restarted program listen at once; but never two programs on one
  // port (the library's default would let them share it, each getting some of the requests).
  server_->set_socket_options([](socket_t sock) {
    const int on = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  });
  server_->set_default_headers({{"X-Content-Type-Options", "nosniff"},
                                {"Content-Security-Policy", "default-src 'self'"},
                                {"Referrer-Policy", "no-referrer"}});
}

QtWebServer::~QtWebServer() {
  // The library's stop does nothing until its listening loop runs; a start-up that fails right
  // after Listen would otherwise stop too early and wait for the loop forever.
  while (listener_.joinable() && !listener_done_ && !server_->is_running()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  server_->Stop();
  if (listener_.joinable()) {
    listener_.join();
  }
}

std::optional<std::string> QtWebServer::Listen(const WebListen& where) {
  errno = 0;
  if (!server_->bind_to_port(where.host, where.port)) {
    const std::string reason = errno != 0 ? std::string(": ") + std::strerror(errno) : "";
    return "WebListen: cannot listen on " + where.host + " port " + std::to_string(where.port) +
           reason;
  }
  listener_ = std::thread([this] {
    server_->listen_after_bind();
    listener_done_ = true;
  });
  return std::nullopt;
}

void QtWebServer::Wake() {
  QMetaObject::invokeMethod(
      &controller_thread_, [this] { wake_(); }, Qt::QueuedConnection);
}

}  // namespace morvane
