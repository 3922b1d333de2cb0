// `gramora serve` from outside: the real binary on a free port, asked over HTTP. Panels come from
// the plug-in's templates and procedures, bad requests get 400 and a message, nothing outside the
// scene's folder is read or written, and the server survives everything it is sent.
#include <gtest/gtest.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/serve_dialog.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const char* kScene = R"({
  "frame": 0,
  "nodes": [
    { "class": "GrassBlade", "name": "Blade01" },
    { "class": "Lawn", "name": "Lawn01", "params": { "11": 10, "12": 10, "# Blades X": 4, "# Blades Y": 4 },
      "modifiers": [ { "class": "LawnMower", "params": { "shape": 1, "Radius": 3 } } ] }
  ]
})";

// One server for the whole suite, on a scene in a folder of its own with a file and a link that
// lie outside that folder.
class Server {
 public:
  Server() {
    root_ = fs::temp_directory_path() / ("gramora_serve_" + std::to_string(::getpid()));
    fs::create_directories(root_ / "scene");
    std::ofstream(root_ / "scene" / "scene.json") << kScene;
    std::ofstream(root_ / "secret.json") << R"({"nodes": []})";
    fs::create_directory_symlink(root_, root_ / "scene" / "up");
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      const std::string gramora = std::string(GRAMORA_BIN_DIR) + "/gramora";
      const std::string scene = (root_ / "scene" / "scene.json").string();
      // Outside paths are allowed for the scene named here, never for what requests send.
      execl(gramora.c_str(), "gramora", "--allow-outside-paths", "serve", scene.c_str(), "--port", "0",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    const std::size_t at = line.find("127.0.0.1:");
    if (at != std::string::npos) port_ = std::stoi(line.substr(at + 10));
  }
  ~Server() {
    if (pid_ > 0 && Alive()) kill(pid_, SIGKILL);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    fs::remove_all(root_);
  }
  bool Alive() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }
  // SIGTERM: the server finishes and exits 0 (the sanitizer build checks its teardown too).
  int Stop() {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int port() const { return port_; }
  fs::path Path(const std::string& rel) const { return root_ / rel; }

 private:
  fs::path root_;
  pid_t pid_ = -1;
  int port_ = 0;
};

Server* server = nullptr;

class ServeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server = new Server(); }
  static void TearDownTestSuite() {
    delete server;
    server = nullptr;
  }
  void SetUp() override { ASSERT_GT(server->port(), 0) << "the server did not print its address"; }

  httplib::Client Client() const {
    httplib::Client c("127.0.0.1", server->port());
    c.set_read_timeout(60, 0);
    return c;
  }
  json Get(const std::string& path, int status = 200) const {
    auto r = Client().Get(path.c_str());
    EXPECT_TRUE(r) << path;
    if (!r) return {};
    EXPECT_EQ(r->status, status) << path << ": " << r->body;
    return json::parse(r->body, nullptr, false);
  }
  json Post(const std::string& path, const json& body, int status = 200) const {
    auto r = Client().Post(path.c_str(), body.dump(), "application/json");
    EXPECT_TRUE(r) << path;
    if (!r) return {};
    EXPECT_EQ(r->status, status) << path << " " << body.dump() << ": " << r->body;
    return json::parse(r->body, nullptr, false);
  }
  // Faces of the scene at frame 0, as the glb request reports them.
  long Faces() const {
    auto r = Client().Get("/api/mesh.glb?frame=0");
    EXPECT_TRUE(r && r->status == 200);
    return r ? json::parse(r->get_header_value("X-Gramora-Stats"))["faces"].get<long>() : -1;
  }
  static const json* Control(const json& panels, int id) {
    for (const json& r : panels["rollouts"])
      for (const json& c : r["controls"])
        if (c["id"] == id) return &c;
    return nullptr;
  }
};

TEST_F(ServeTest, PanelsComeFromTheDialogTemplate) {
  const json p = Get("/api/nodes/0/panels");
  ASSERT_EQ(p["rollouts"].size(), 1u);
  const json& r = p["rollouts"][0];
  EXPECT_EQ(r["dialog"], 101);
  EXPECT_EQ(r["title"], "Parameters");
  EXPECT_EQ(r["page"], 2) << "after the host's two pages";
  // The "Size" label at its template rectangle, and its spinner bound to "size".
  bool label = false;
  for (const json& c : r["controls"])
    if (c["kind"] == "static" && c["text"] == "Size") {
      label = true;
      EXPECT_EQ(c["rect"], json({17, 28, 22, 9}));
      EXPECT_EQ(c["px"], json({26, 46, 33, 15}));
    }
  EXPECT_TRUE(label);
  const json* spin = Control(p, 1496);
  ASSERT_TRUE(spin);
  EXPECT_EQ((*spin)["kind"], "spinner");
  EXPECT_EQ((*spin)["value"], 1.0);
  EXPECT_EQ((*spin)["max"], 1000.0);
  EXPECT_EQ((*spin)["scale"], 0.5);
  EXPECT_EQ((*spin)["param"]["name"], "size");
  EXPECT_EQ((*Control(p, 1490))["text"], "1");
}

TEST_F(ServeTest, ASpinnerChangeRebuildsTheMesh) {
  const long before = Faces();
  const json p = Post("/api/nodes/0/controls/1499", {{"value", 2}});  // "#Weldings"
  EXPECT_EQ((*Control(p, 1499))["value"], 2.0);
  EXPECT_EQ((*Control(p, 1493))["text"], "2");
  EXPECT_EQ(Faces(), before + 58) << "a blade with two weldings has 87 faces instead of 29";
  Post("/api/nodes/0/controls/1493", {{"value", 0}});  // typed into the edit field
  EXPECT_EQ(Faces(), before);
}

TEST_F(ServeTest, TheMowerPanelProcedureEnablesTheSpinnersOfItsShape) {
  const json circle = Get("/api/nodes/1/panels?entry=1");
  EXPECT_EQ(circle["stack"].size(), 2u);
  EXPECT_TRUE((*Control(circle, 1009))["enabled"]) << "Radius";
  EXPECT_FALSE((*Control(circle, 1016))["enabled"]) << "Width";
  const json rect = Post("/api/nodes/1/controls/1013", {{"entry", 1}});
  EXPECT_FALSE((*Control(rect, 1009))["enabled"]);
  EXPECT_TRUE((*Control(rect, 1016))["enabled"]);
  EXPECT_TRUE((*Control(rect, 1013))["checked"]);
  Post("/api/nodes/1/controls/1014", {{"entry", 1}});
}

TEST_F(ServeTest, BadRequestsGetAMessageNamingTheProblem) {
  struct Case {
    const char* method;
    std::string path, body, type;
    int status;
    const char* message;
  };
  const std::string deep = std::string(300, '[') + std::string(300, ']');
  const Case cases[] = {
      {"POST", "/api/scene", "{not json", "application/json", 400, "the request body:1:3: malformed JSON"},
      {"POST", "/api/scene", "{}", "text/plain", 415, "application/json"},
      {"POST", "/api/scene", deep, "application/json", 400, "nested deeper than"},
      {"POST", "/api/scene", R"({"nodes": [{"class": "Nope"}]})", "application/json", 400, "unknown class \"Nope\""},
      {"GET", "/api/nodes/9/panels", "", "", 400, "there is no node 9"},
      {"GET", "/api/nodes/99999999999/panels", "", "", 400, "node 99999999999 is out of range"},
      {"GET", "/api/nodes/1/panels?entry=5", "", "", 400, "no stack entry 5"},
      {"POST", "/api/nodes/0/controls/4242", "{}", "application/json", 400, "no control 4242"},
      {"POST", "/api/nodes/0/controls/1496", R"({"value": "x"})", "application/json", 400,
       "\"value\" must be a number"},
      {"POST", "/api/nodes/0/controls/1496", "{}", "application/json", 400, "cannot be clicked"},
      {"POST", "/api/nodes/0/controls/1496", R"({"colour": 1})", "application/json", 400, "unknown key \"colour\""},
      {"POST", "/api/nodes/0/controls/1496", R"({"value": 1, "page": 9})", "application/json", 400, "no page 9"},
      {"GET", "/api/mesh.glb?frame=abc", "", "", 400, "\"frame\" must be a number"},
      {"GET", "/api/mesh.glb?frame=1e12", "", "", 400, "frame"},
      {"POST", "/api/create", R"({"class": "Lawn", "points": []})", "application/json", 400, "\"view\""},
      {"POST", "/api/create", R"({"class": "LawnMower"})", "application/json", 400, "not an object class"},
      {"POST", "/api/render", R"({"width": 0})", "application/json", 400, "\"width\" must be a whole number"},
      {"POST", "/api/dialog", R"({"cancel": true})", "application/json", 400, "no file dialog is open"},
      {"GET", "/api/files?pattern=../*", "", "", 400, "\"pattern\""},
      {"GET", "/api/nothing", "", "", 404, "nothing at GET /api/nothing"},
      {"GET", "/web/../../etc/passwd", "", "", 404, ""},
  };
  for (const Case& c : cases) {
    auto cl = Client();
    auto r = std::string(c.method) == "GET" ? cl.Get(c.path.c_str()) : cl.Post(c.path.c_str(), c.body, c.type.c_str());
    ASSERT_TRUE(r) << c.path << " ended the server";
    EXPECT_EQ(r->status, c.status) << c.method << " " << c.path << " " << c.body;
    const json body = json::parse(r->body, nullptr, false);
    const std::string error = body.is_object() ? body.value("error", std::string()) : std::string();
    EXPECT_NE(error.find(c.message), std::string::npos) << c.path << ": " << r->body;
  }
  // Requests from other sites, by name or by origin, are refused.
  auto cl = Client();
  EXPECT_EQ(cl.Get("/api/info", {{"Host", "evil.example:80"}})->status, 403);
  EXPECT_EQ(cl.Get("/api/info", {{"Origin", "http://evil.example"}})->status, 403);
  EXPECT_TRUE(server->Alive());
  EXPECT_EQ(Get("/api/nodes").size(), 2u) << "no bad request changed the scene";
}

TEST_F(ServeTest, NothingOutsideTheScenesFolderIsReadOrWritten) {
  const std::string outside = server->Path("secret.json").string();
  for (const std::string& path :
       {std::string("../saved.json"), server->Path("saved.json").string(), std::string("up/saved.json")})
    EXPECT_NE(Post("/api/save", {{"path", path}}, 400)["error"].get<std::string>().find("outside the scene's folder"),
              std::string::npos)
        << path;
  EXPECT_FALSE(fs::exists(server->Path("saved.json")));
  Post("/api/save", {{"path", "shot.png"}}, 400);
  const json saved = Post("/api/save", {{"path", "copy.json"}});
  EXPECT_EQ(json::parse(std::ifstream(server->Path("scene/copy.json")))["format"], "gramora saved scene 1");

  // A scene sent to the server may not name files outside (even where the command line would
  // allow it), nor a shader library by path.
  const std::pair<json, const char*> scenes[] = {
      {{{"nodes", {{{"class", "Lawn"}, {"params", {{"Heightfieldmap", {{"bitmap", "../hills.png"}}}}}}}}}, "outside"},
      {{{"nodes", {{{"class", "Lawn"}, {"vectorField", "up/wind.dat"}}}}}, "outside"},
      {{{"format", "gramora saved scene 1"},
        {"nodes", {{{"class", "Lawn"}, {"name", "L"}, {"params", {{"4", true}, {"5", outside}}}}}}},
       "outside"},
      {{{"nodes", json::array()}, {"render", {{"shader", "/tmp/any.so"}}}}, "shader"},
  };
  for (const auto& [scene, why] : scenes)
    EXPECT_NE(Post("/api/scene", scene, 400)["error"].get<std::string>().find(why), std::string::npos) << scene.dump();
  EXPECT_EQ(Get("/api/nodes").size(), 2u) << "a refused scene leaves the old one";
  // Nor may a map dropped on a map button.
  Post("/api/nodes/1/controls/3070", {{"map", {{"bitmap", outside}}}}, 400);

  const json files = Get("/api/files?pattern=*.json");
  EXPECT_EQ(files, json({"copy.json", "scene.json"})) << "nothing through the link that leads out";
}

TEST_F(ServeTest, ASceneThatFailsHalfWayLeavesTheOldOne) {
  const json bad = {{"nodes", {{{"class", "GrassBlade"}}, {{"class", "Lawn"}, {"params", {{"Width", -5}}}}}}};
  Post("/api/scene", bad, 400);
  const json nodes = Get("/api/nodes");
  ASSERT_EQ(nodes.size(), 2u);
  EXPECT_EQ(nodes[1]["name"], "Lawn01");
  EXPECT_EQ(Faces(), Faces()) << "the old scene still evaluates";
}

TEST_F(ServeTest, ADragInTheTopViewCreatesThroughTheCreationCallback) {
  const json view = Get("/api/topview?frame=0");
  const double upp = view["unitsPerPixel"];
  const int w = view["width"], h = view["height"];
  // A drag of 24 world units to the right from the view's centre makes a blade of size 1.
  const int length = static_cast<int>(std::lround(24.0 / upp));
  const json reply =
      Post("/api/create", {{"class", "GrassBlade"},
                           {"view", {{"width", w}, {"height", h}, {"unitsPerPixel", upp}, {"center", view["center"]}}},
                           {"points", {{w / 2, h / 2}, {w / 2 + length / 2, h / 2}, {w / 2 + length, h / 2}}}});
  ASSERT_EQ(reply["node"], 2);
  EXPECT_NEAR((*Control(reply["panels"], 1496))["value"].get<double>(), 1.0, 2 * upp / 24);
  Post("/api/create",
       {{"class", "GrassBlade"},
        {"view", {{"width", w}, {"height", h}, {"unitsPerPixel", upp}, {"center", view["center"]}}},
        {"points", {{5, 5}, {5, 5}}}},
       200);                                // a blade may be dragged to size 0
  Post("/api/scene", json::parse(kScene));  // back to the suite's scene
  EXPECT_EQ(Get("/api/nodes").size(), 2u);
}

TEST_F(ServeTest, ASecondServerCannotTakeItsPort) {
  const std::string cmd =
      std::string("'") + GRAMORA_BIN_DIR + "/gramora' serve --port " + std::to_string(server->port()) + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_TRUE(p);
  char buf[512] = "";
  const std::string out(buf, fread(buf, 1, sizeof buf - 1, p));
  const int status = pclose(p);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(out.find("cannot listen on 127.0.0.1:" + std::to_string(server->port())), std::string::npos) << out;
  EXPECT_EQ(Get("/api/nodes").size(), 2u) << "the first server still answers";
}

TEST_F(ServeTest, ZzStopsCleanlyOnSigterm) { EXPECT_EQ(server->Stop(), 0); }

TEST(ServeDialog, AnswersTheWaitingProcedure) {
  ModalFileDialog dialog;
  std::string picked;
  BOOL result = -1;
  std::thread host([&] {
    OpenFileRequest request;
    request.title = "Vectorfield data";
    request.filter = "Dat Files|*.dat|All Files|*.*";
    request.max_file = 260;
    result = dialog.Ask(request, picked);
  });
  ASSERT_TRUE(dialog.WaitOpen(std::chrono::seconds(10)));
  const json d = dialog.Describe();
  EXPECT_EQ(d["title"], "Vectorfield data");
  EXPECT_EQ(d["filters"],
            json::parse(R"([{"name": "Dat Files", "pattern": "*.dat"}, {"name": "All Files", "pattern": "*.*"}])"));
  EXPECT_TRUE(dialog.Answer("/s/wind.dat"));
  host.join();
  EXPECT_TRUE(result);
  EXPECT_EQ(picked, "/s/wind.dat");
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_FALSE(dialog.Answer(std::nullopt)) << "nothing is waiting";
  dialog.timeout = std::chrono::seconds(0);
  OpenFileRequest again;
  EXPECT_FALSE(dialog.Ask(again, picked)) << "nobody answered: a cancel";
}

}  // namespace
