// `gramora serve [SCENE] [--port N]`: the plug-in's panels and a live view of the scene in a web
// page, served on 127.0.0.1 only. Requests arrive on the web server's threads; everything that
// touches the scene runs on the host thread (HostQueue), one request at a time.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "app/commands.h"
#include "app/errors.h"
#include "app/host_session.h"
#include "app/json_file.h"
#include "app/path_policy.h"
#include "app/scene_parts.h"
#include "app/serve_dialog.h"
#include "app/serve_queue.h"
#include "app/serve_scene.h"
#include "app/web_assets.h"

namespace fs = std::filesystem;
using httplib::Request;
using httplib::Response;
using nlohmann::json;

namespace {

constexpr std::size_t kMaxBody = std::size_t(64) << 20;

// A request that must wait: a file dialog is open and only its answer is taken.
class Busy : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

template <class Json = json>
void Reply(Response& res, const Json& body, int status = 200) {
  res.status = status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(body.dump(-1, ' ', false, Json::error_handler_t::replace), "application/json");
}

void Fail(Response& res, int status, const std::string& message) { Reply(res, json{{"error", message}}, status); }

// Every handler answers: bad input with 400 and its message, anything else with a 5xx, and no
// exception ever leaves a handler.
template <class Fn>
httplib::Server::Handler Guard(Fn fn) {
  return [fn](const Request& req, Response& res) {
    try {
      fn(req, res);
    } catch (const InputError& e) {
      Fail(res, 400, e.what());
    } catch (const Busy& e) {
      Fail(res, 409, e.what());
    } catch (const std::bad_alloc&) {
      Fail(res, 507, "out of memory");
    } catch (const std::exception& e) {
      Fail(res, 500, std::string("internal error: ") + e.what());
    } catch (...) {
      Fail(res, 500, "internal error");
    }
  };
}

json Body(const Request& req) {
  if (req.body.empty()) return json::object();
  return ParseJsonText(req.body, "the request body");  // refuses duplicate keys and deep nesting
}

json BodyObject(const Request& req, std::initializer_list<const char*> keys, const std::string& what) {
  const json body = Body(req);
  if (!body.is_object()) throw InputError(what + " must be a JSON object");
  CheckKeys(body, keys, what);
  return body;
}

int Index(const std::string& digits, const char* what) {
  int v = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (ec != std::errc() || end != digits.data() + digits.size())
    throw InputError(std::string(what) + " " + digits + " is out of range");
  return v;
}

int IntField(const json& body, const char* key, int fallback) {
  if (!body.contains(key)) return fallback;
  const json& v = body[key];
  if (!v.is_number_integer() || v.get<double>() < -1 || v.get<double>() > 1e6)
    throw InputError(std::string("\"") + key + "\" must be a whole number, not " + v.dump());
  return v.get<int>();
}

// The "frame" query parameter as a JSON number (null when absent).
json FrameParam(const Request& req) {
  if (!req.has_param("frame")) return nullptr;
  const std::string text = req.get_param_value("frame");
  double v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
    throw InputError("\"frame\" must be a number, not '" + text + "'");
  return v;
}

class ServeApi {
 public:
  ServeApi(HostQueue& queue, ServeScene& scene, ModalFileDialog& dialog, const PathScope& scope,
           const WebAssets& assets)
      : queue_(queue), scene_(scene), dialog_(dialog), scope_(scope), assets_(assets) {}

  void Install(httplib::Server& s) {
    s.set_payload_max_length(kMaxBody);
    // SO_REUSEADDR only: the library's default also sets SO_REUSEPORT, which would let a second
    // server (or another program of the same user) take the same port and half the requests.
    s.set_socket_options([](socket_t sock) {
      const int yes = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    s.set_pre_routing_handler([this](const Request& req, Response& res) { return Screen(req, res); });
    s.set_exception_handler(
        [](const Request&, Response& res, std::exception_ptr) { Fail(res, 500, "internal error"); });
    s.set_error_handler([](const Request& req, Response& res) {
      if (!res.body.empty()) return;
      if (res.status == 404) Fail(res, 404, "nothing at " + req.method + " " + req.path);
      else if (res.status == 413) Fail(res, 413, "the request body is larger than 64 MiB");
      else Fail(res, res.status, "the request was refused (HTTP " + std::to_string(res.status) + ")");
    });

    s.Get("/", Guard([this](const Request& req, Response& res) { Static(req, res); }));
    s.Get(R"(/web/.+)", Guard([this](const Request& req, Response& res) { Static(req, res); }));
    s.Get("/api/info",
          Guard([this](const Request&, Response& res) { Reply(res, OnHost([this] { return scene_.Info(); })); }));
    s.Get("/api/nodes",
          Guard([this](const Request&, Response& res) { Reply(res, OnHost([this] { return scene_.Nodes(); })); }));
    s.Get("/api/scene",
          Guard([this](const Request&, Response& res) { Reply(res, OnHost([this] { return scene_.Saved(); })); }));
    s.Post("/api/scene", Guard([this](const Request& req, Response& res) {
             const json doc = Body(req);
             Reply(res, OnHost([this, doc] { return scene_.Replace(doc); }));
           }));
    s.Get(R"(/api/nodes/(\d+)/panels)", Guard([this](const Request& req, Response& res) {
            const int node = Index(req.matches[1], "node");
            int entry = 0;
            if (req.has_param("entry")) entry = Index(req.get_param_value("entry"), "entry");
            const json frame = FrameParam(req);
            Reply(res, OnHost([=, this] { return scene_.Panels(node, entry, frame); }));
          }));
    s.Post(R"(/api/nodes/(\d+)/controls/(\d+))", Guard([this](const Request& req, Response& res) {
             const int node = Index(req.matches[1], "node"), id = Index(req.matches[2], "control");
             const json body = BodyObject(req, {"entry", "page", "frame", "value", "map"}, "the action");
             const int entry = IntField(body, "entry", 0), page = IntField(body, "page", -1);
             json action = json::object();
             for (const char* key : {"value", "map"})
               if (body.contains(key)) action[key] = body[key];
             const json frame = body.value("frame", json());
             Modal(res, [=, this] { return scene_.Act(node, entry, id, page, action, frame); });
           }));
    s.Post(R"(/api/nodes/(\d+)/pages/(\d+))", Guard([this](const Request& req, Response& res) {
             const int node = Index(req.matches[1], "node"), page = Index(req.matches[2], "page");
             const json body = BodyObject(req, {"entry", "open"}, "the page change");
             if (!body.contains("open") || !body["open"].is_boolean())
               throw InputError("\"open\" must be true or false");
             const int entry = IntField(body, "entry", 0);
             const bool open = body["open"].get<bool>();
             Reply(res, OnHost([=, this] { return scene_.SetPageOpen(node, entry, page, open); }));
           }));
    s.Get("/api/mesh.glb", Guard([this](const Request& req, Response& res) { Glb(req, res); }));
    s.Get("/api/gizmos", Guard([this](const Request& req, Response& res) {
            const json frame = FrameParam(req);
            Reply(res, OnHost([=, this] { return scene_.Gizmos(frame); }));
          }));
    s.Get("/api/topview", Guard([this](const Request& req, Response& res) {
            const json frame = FrameParam(req);
            Reply(res, OnHost([=, this] { return scene_.TopView(frame); }));
          }));
    s.Post("/api/create", Guard([this](const Request& req, Response& res) {
             const json body = Body(req);
             Modal(res, [=, this] { return scene_.Create(body); });
           }));
    s.Post("/api/render", Guard([this](const Request& req, Response& res) {
             const json body = Body(req);
             const std::string png = OnHost([=, this] { return scene_.RenderPng(body); });
             res.set_header("Cache-Control", "no-store");
             res.set_content(png, "image/png");
           }));
    s.Post("/api/save", Guard([this](const Request& req, Response& res) {
             const json body = Body(req);
             Reply(res, OnHost([=, this] { return scene_.Save(body); }));
           }));
    s.Get("/api/files", Guard([this](const Request& req, Response& res) {
            Reply(res, scope_.ListFiles(req.has_param("pattern") ? req.get_param_value("pattern") : "*"));
          }));
    s.Get("/api/dialog", Guard([this](const Request&, Response& res) {
            Reply(res, dialog_.IsOpen() ? json{{"dialog", dialog_.Describe()}} : json{{"dialog", nullptr}});
          }));
    s.Post("/api/dialog", Guard([this](const Request& req, Response& res) { AnswerDialog(req, res); }));
  }

  void SetPort(int port) { port_ = port; }

 private:
  // Only this machine's own pages: a request must name this server in its Host header (no other
  // site reaches it by a name that resolves here), come from the page itself when a browser says
  // where it comes from, and send JSON, which another site's form cannot.
  httplib::Server::HandlerResponse Screen(const Request& req, Response& res) {
    const std::string port = std::to_string(port_);
    const std::string host = req.get_header_value("Host");
    if (host != "127.0.0.1:" + port && host != "localhost:" + port) {
      Fail(res, 403, "this server answers only requests for 127.0.0.1:" + port);
      return httplib::Server::HandlerResponse::Handled;
    }
    const std::string origin = req.get_header_value("Origin");
    if (!origin.empty() && origin != "http://127.0.0.1:" + port && origin != "http://localhost:" + port) {
      Fail(res, 403, "this server answers only its own page, not " + origin);
      return httplib::Server::HandlerResponse::Handled;
    }
    if (req.method == "POST" && req.get_header_value("Content-Type").rfind("application/json", 0) != 0) {
      Fail(res, 415, "a request body must be sent as application/json");
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  }

  void Static(const Request& req, Response& res) {
    const WebAsset* asset = assets_.Find(req.path);
    if (!asset) {
      Fail(res, 404, "nothing at " + req.path);
      return;
    }
    res.set_header("Cache-Control", "no-cache");
    res.set_content(asset->body, asset->type);
  }

  void CheckNotBusy() const {
    if (dialog_.IsOpen())
      throw Busy("a file dialog (\"" + dialog_.Describe().value("title", std::string()) +
                 "\") is open: answer it first (POST /api/dialog)");
  }

  template <class Fn>
  auto OnHost(Fn fn) -> decltype(fn()) {
    CheckNotBusy();
    return queue_.Call(std::move(fn));
  }

  // Runs an action that may open a file dialog: the reply is then the dialog, and the action
  // finishes when the dialog is answered.
  template <class Fn>
  void Modal(Response& res, Fn fn) {
    CheckNotBusy();
    HostFuture<json> done = queue_.Post(std::move(fn));
    while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
      if (dialog_.WaitOpen(std::chrono::milliseconds(5))) {
        std::lock_guard lock(pendingMutex_);
        pending_ = std::move(done);
        Reply(res, {{"dialog", dialog_.Describe()}});
        return;
      }
    }
    Reply(res, done.get());
  }

  void AnswerDialog(const Request& req, Response& res) {
    const json body = BodyObject(req, {"path", "cancel"}, "the dialog's answer");
    if (!dialog_.IsOpen()) throw InputError("no file dialog is open");
    std::optional<std::string> answer;
    if (body.contains("path")) {
      if (!body["path"].is_string()) throw InputError("\"path\" must be a file in the scene's folder");
      const std::string path = scope_.Resolve(body["path"].get<std::string>(), "\"path\"");
      std::error_code ec;
      if (!fs::is_regular_file(path, ec))
        throw InputError("'" + body["path"].get<std::string>() + "' is not a file in the scene's folder");
      const std::size_t room = dialog_.Describe().value("maxPath", std::size_t(0));
      if (room > 0 && path.size() + 1 > room)
        throw InputError("'" + path + "' is longer than the " + std::to_string(room - 1) +
                         " characters the plug-in takes");
      answer = path;
    } else if (!body.value("cancel", false)) {
      throw InputError("answer a dialog with {\"path\": FILE} or {\"cancel\": true}");
    }
    HostFuture<json> done;
    {
      std::lock_guard lock(pendingMutex_);
      done = std::move(pending_);
    }
    dialog_.Answer(answer);
    if (!done.valid()) {
      Reply(res, {{"answered", true}});
      return;
    }
    Reply(res, done.get());
  }

  void Glb(const Request& req, Response& res) {
    const json frame = FrameParam(req);
    auto [glb, stats] = OnHost([=, this] {
      json stats;
      auto glb = scene_.Glb(frame, stats);
      return std::make_pair(glb, stats);
    });
    res.set_header("Cache-Control", "no-store");
    res.set_header("X-Gramora-Stats", stats.dump());
    res.set_content_provider(glb->size(), "model/gltf-binary",
                             [glb](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                               return sink.write(glb->data() + offset, length);
                             });
  }

  HostQueue& queue_;
  ServeScene& scene_;
  ModalFileDialog& dialog_;
  const PathScope& scope_;
  const WebAssets& assets_;
  std::atomic<int> port_{0};
  std::mutex pendingMutex_;
  HostFuture<json> pending_;
};

// Stops the server on SIGINT, SIGTERM or SIGHUP: the signals are blocked in every thread started
// from then on and taken here, so the first one lets the host finish its request and close the
// scene and the plug-ins in order; a second one ends the process at once.
class SignalWatcher {
 public:
  explicit SignalWatcher(httplib::Server& server) {
    sigemptyset(&set_);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set_, sig);
    pthread_sigmask(SIG_BLOCK, &set_, nullptr);
    thread_ = std::thread([this, &server] {
      const timespec tick{0, 100 * 1000 * 1000};
      bool stopping = false;
      while (!done_) {
        const int sig = sigtimedwait(&set_, nullptr, &tick);
        if (sig > 0 && stopping) std::_Exit(128 + sig);
        stopping = stopping || sig > 0;
        // Again on every tick: a signal that came before the server started listening stops it
        // once it does.
        if (stopping && server.is_running()) server.stop();
      }
    });
  }
  ~SignalWatcher() {
    done_ = true;
    thread_.join();
  }

 private:
  sigset_t set_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace

int RunServe(const HostOptions& host, const ServeOptions& options) {
  const WebAssets assets(WebDir());
  const std::string folder = fs::path(options.scene).parent_path().string();
  const PathScope scope(folder.empty() ? "." : folder, {options.scene});
  HostSession session(host.pluginDir);
  ModalFileDialog dialog;
  ServeScene scene(options.scene, scope,
                   [&dialog](const OpenFileRequest& request, std::string& path) { return dialog.Ask(request, path); });
  // --allow-outside-paths is for the scene the user named; what requests send stays beside it.
  PathPolicy policy = GetPathPolicy();
  policy.allowOutsidePaths = false;
  SetPathPolicy(policy);
  HostQueue queue;
  httplib::Server server;
  ServeApi api(queue, scene, dialog, scope, assets);
  api.Install(server);
  const int port = options.port == 0 ? server.bind_to_any_port("127.0.0.1")
                                     : (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
  if (port <= 0)
    throw InputError("cannot listen on 127.0.0.1:" + std::to_string(options.port) + ": " + std::strerror(errno) +
                     " (--port 0 picks a free port)");
  api.SetPort(port);
  SignalWatcher signals(server);
  std::printf("gramora serve: %s on http://127.0.0.1:%d/ (Ctrl-C stops)\n",
              options.scene.empty() ? "the default scene" : options.scene.c_str(), port);
  std::fflush(stdout);
  std::thread listener([&] {
    server.listen_after_bind();
    queue.Stop();
    dialog.Answer(std::nullopt);  // a procedure waiting for a file gets a cancel
  });
  queue.Serve();
  server.stop();
  listener.join();
  return 0;
}
