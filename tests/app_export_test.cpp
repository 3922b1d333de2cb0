// The exporters on small hand-made scenes: exact OBJ text, PLY layout, glb structure read back
// with tinygltf, and output files that appear whole or not at all.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#include <tiny_gltf.h>

#include "app/errors.h"
#include "app/export_scene.h"

namespace fs = std::filesystem;

namespace {

class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("gramora_export_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Two triangles over four vertices plus one unreferenced vertex; the second face is faceted and a
// third face is degenerate (zero normal).
ExportNode Quad(const std::string& name, float x) {
  ExportNode n;
  n.name = name;
  Mesh& m = n.mesh;
  m.verts = {{x, 0.f, 0.f}, {x + 1.f, 0.f, 0.f}, {x, 1.f, 0.5f}, {x + 1.f, 1.f, 0.f}, {9.f, 9.f, 9.f}};
  m.tVerts = {{0.f, 0.f, 0.f}, {1.f, 0.f, 0.f}, {0.f, 1.f, 0.25f}, {1.f, 1.f, 0.1f}};
  m.faces.resize(3);
  m.tvFace.resize(3);
  m.faces[0].setVerts(0, 1, 2);
  m.faces[0].setSmGroup(1);
  m.faces[1].setVerts(1, 3, 2);
  m.faces[2].setVerts(0, 0, 1);
  m.tvFace[0].setTVerts(0, 1, 2);
  m.tvFace[1].setTVerts(1, 3, 2);
  m.tvFace[2].setTVerts(0, 0, 1);
  m.buildNormals();
  return n;
}

ExportScene GroupedScene() {
  ExportScene s;
  ExportNode group;
  group.name = "Group01";
  group.isGroup = true;
  s.nodes.push_back(group);
  s.nodes.push_back(Quad("Blade 1", 0.f));
  s.nodes.back().parent = 0;
  s.nodes.push_back(Quad("Blade2", 0.1f));
  s.nodes.back().parent = 0;
  ExportNode empty;
  empty.name = "Empty";
  s.nodes.push_back(empty);
  return s;
}

TEST_F(ExportTest, ObjIsExactWithFileWideIndicesAndAllVertices) {
  ExportScene s = GroupedScene();
  ExportSceneFile(s, Path("a.obj"), {});
  const std::string expected =
      "o Blade 1\n"
      "v 0 0 0\nv 1 0 0\nv 0 1 0.5\nv 1 1 0\nv 9 9 9\n"
      "vt 0 0 0\nvt 1 0 0\nvt 0 1 0.25\nvt 1 1 0.1\n"
      "f 1/1 2/2 3/3\nf 2/2 4/4 3/3\nf 1/1 1/1 2/2\n"
      "o Blade2\n"
      "v 0.1 0 0\nv 1.1 0 0\nv 0.1 1 0.5\nv 1.1 1 0\nv 9 9 9\n"
      "vt 0 0 0\nvt 1 0 0\nvt 0 1 0.25\nvt 1 1 0.1\n"
      "f 6/5 7/6 8/7\nf 7/6 9/8 8/7\nf 6/5 6/5 7/6\n"
      "o Empty\n";
  EXPECT_EQ(ReadAll(Path("a.obj")), expected);
}

TEST_F(ExportTest, ObjWritesFacesWithoutUsableTextureFacesPlainAndSkipsBrokenFaces) {
  struct Case {
    const char* name;
    void (*spoil)(Mesh&);
    const char* faces;
  };
  const Case cases[] = {
      {"fewer texture faces", [](Mesh& m) { m.tvFace.resize(2); }, "f 1 2 3\nf 2 4 3\nf 1 1 2\n"},
      {"no texture vertices", [](Mesh& m) { m.tVerts.clear(); }, "f 1 2 3\nf 2 4 3\nf 1 1 2\n"},
      {"texture index out of range", [](Mesh& m) { m.tvFace[1].setTVerts(1, 7, 2); }, "f 1/1 2/2 3/3\nf 2 4 3\nf 1/1 1/1 2/2\n"},
      {"vertex index out of range", [](Mesh& m) { m.faces[1].setVerts(1, 30, 2); }, "f 1/1 2/2 3/3\nf 1/1 1/1 2/2\n"},
  };
  for (const Case& c : cases) {
    ExportScene s;
    s.nodes.push_back(Quad("Q", 0.f));
    c.spoil(s.nodes[0].mesh);
    ExportSceneFile(s, Path("b.obj"), {});
    const std::string text = ReadAll(Path("b.obj"));
    EXPECT_EQ(text.substr(text.find("\nf ") + 1), c.faces) << c.name;
    // The formats with per-vertex data write such meshes too.
    EXPECT_NO_THROW(ExportSceneFile(s, Path("b.glb"), {})) << c.name;
    EXPECT_NO_THROW(ExportSceneFile(s, Path("b.ply"), {})) << c.name;
  }
}

TEST_F(ExportTest, ObjFloatsRoundTripExactly) {
  ExportScene s;
  ExportNode n;
  n.name = "F";
  n.mesh.verts = {{0.1f, -1e-30f, 3.4028235e38f}, {1.0f / 3.0f, 123456.789f, -0.0f}};
  s.nodes.push_back(n);
  ExportSceneFile(s, Path("f.obj"), {});
  std::istringstream in(ReadAll(Path("f.obj")));
  std::string tag, line;
  std::getline(in, line);
  for (const Point3& p : n.mesh.verts) {
    float x, y, z;
    in >> tag >> x >> y >> z;
    EXPECT_EQ(tag, "v");
    EXPECT_EQ(std::memcmp(&x, &p.x, 4), 0);
    EXPECT_EQ(y, p.y);
    EXPECT_EQ(z, p.z);
  }
}

TEST_F(ExportTest, PlyHeaderCountsAndBinaryLayout) {
  ExportScene s = GroupedScene();
  ExportSceneFile(s, Path("a.ply"), {});
  const std::string data = ReadAll(Path("a.ply"));
  const std::size_t end = data.find("end_header\n");
  ASSERT_NE(end, std::string::npos);
  const std::string header = data.substr(0, end);
  EXPECT_NE(header.find("format binary_little_endian 1.0"), std::string::npos);
  int vertices = 0, faces = 0;
  std::sscanf(header.substr(header.find("element vertex")).c_str(), "element vertex %d", &vertices);
  std::sscanf(header.substr(header.find("element face")).c_str(), "element face %d", &faces);
  EXPECT_EQ(faces, 6);
  // Per quad: the smooth face's three corners, the faceted face's three (other normals), and the
  // degenerate face's two distinct vertices with the +Z stand-in normal; the unused vertex goes.
  EXPECT_EQ(vertices, 16);
  const std::size_t body = data.size() - (end + 11);
  EXPECT_EQ(body, std::size_t(vertices) * 36 + std::size_t(faces) * 13);
  // Every normal in the file is a unit vector.
  const char* p = data.data() + end + 11;
  for (int v = 0; v < vertices; ++v) {
    float f[9];
    std::memcpy(f, p + 36 * v, 36);
    EXPECT_NEAR(f[3] * f[3] + f[4] * f[4] + f[5] * f[5], 1.0f, 1e-5f);
  }
}

TEST_F(ExportTest, GlbReadsBackWithHierarchyUnitNormalsAndExactBounds) {
  ExportScene s = GroupedScene();
  ExportSceneFile(s, Path("a.glb"), {});
  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string err, warn;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &err, &warn, Path("a.glb"))) << err;
  ASSERT_EQ(model.nodes.size(), 4u);
  EXPECT_EQ(model.meshes.size(), 2u);  // the empty node has no mesh
  EXPECT_EQ(model.nodes[0].children, (std::vector<int>{1, 2}));
  EXPECT_EQ(model.nodes[3].mesh, -1);
  EXPECT_EQ(model.scenes[0].nodes, (std::vector<int>{0, 3}));
  for (const tinygltf::Mesh& mesh : model.meshes) {
    const tinygltf::Primitive& prim = mesh.primitives.at(0);
    for (const char* attr : {"POSITION", "NORMAL", "TEXCOORD_0", "_CUT"}) EXPECT_TRUE(prim.attributes.count(attr)) << attr;
    const tinygltf::Accessor& pos = model.accessors[prim.attributes.at("POSITION")];
    const tinygltf::Accessor& nrm = model.accessors[prim.attributes.at("NORMAL")];
    const tinygltf::BufferView& pv = model.bufferViews[pos.bufferView];
    const tinygltf::BufferView& nv = model.bufferViews[nrm.bufferView];
    EXPECT_EQ(pv.byteOffset % 4, 0u);
    const float* pp = reinterpret_cast<const float*>(model.buffers[0].data.data() + pv.byteOffset);
    const float* np = reinterpret_cast<const float*>(model.buffers[0].data.data() + nv.byteOffset);
    std::vector<double> lo(3, 1e30), hi(3, -1e30);
    for (std::size_t i = 0; i < pos.count; ++i) {
      for (int k = 0; k < 3; ++k) {
        lo[k] = std::min<double>(lo[k], pp[3 * i + k]);
        hi[k] = std::max<double>(hi[k], pp[3 * i + k]);
      }
      EXPECT_NEAR(np[3 * i] * np[3 * i] + np[3 * i + 1] * np[3 * i + 1] + np[3 * i + 2] * np[3 * i + 2], 1.0, 1e-5);
    }
    EXPECT_EQ(pos.minValues, lo);
    EXPECT_EQ(pos.maxValues, hi);
    EXPECT_EQ(model.accessors[prim.indices].count, 9u);
  }
}

TEST_F(ExportTest, GlbTurnsZUpIntoYUp) {
  ExportScene s;
  s.nodes.push_back(Quad("Q", 0.f));
  ExportSceneFile(s, Path("q.glb"), {});
  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string err, warn;
  ASSERT_TRUE(loader.LoadBinaryFromFile(&model, &err, &warn, Path("q.glb"))) << err;
  const tinygltf::Accessor& pos = model.accessors[model.meshes[0].primitives[0].attributes.at("POSITION")];
  // Host z (0 to 0.5) becomes glTF y; host y (0 to 1) becomes glTF -z.
  EXPECT_EQ(pos.minValues, (std::vector<double>{0.0, 0.0, -1.0}));
  EXPECT_EQ(pos.maxValues, (std::vector<double>{1.0, 0.5, 0.0}));
}

TEST_F(ExportTest, FailedWriteLeavesExistingFileAndNoTemporaries) {
  ExportScene s = GroupedScene();
  {
    std::ofstream(Path("keep.obj")) << "keep";
  }
  // A folder where the output file should be: the write fails after nothing was renamed.
  fs::create_directories(Path("dir.obj"));
  EXPECT_THROW(ExportSceneFile(s, Path("dir.obj"), {}), InputError);
  EXPECT_THROW(ExportSceneFile(s, Path("keep.obj/x.obj"), {}), InputError);
  EXPECT_THROW(ExportSceneFile(s, Path("out.stl"), {}), InputError);
  EXPECT_EQ(ReadAll(Path("keep.obj")), "keep");
  int entries = 0;
  for (const auto& e : fs::directory_iterator(dir_)) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 2);  // keep.obj and dir.obj only
  ExportSceneFile(s, Path("keep.obj"), {});
  EXPECT_NE(ReadAll(Path("keep.obj")), "keep");
}

}  // namespace
