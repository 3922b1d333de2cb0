// The exporters on small hand-made scenes: exact OBJ text, PLY layout, glb structure read back
// with tinygltf, and output files that appear whole or not at all.
#include <gtest/gtest.h>

#include <array>
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

#include "app/corner_weld.h"
#include "app/errors.h"
#include "app/export_scene.h"
#include "app/face_runs.h"
#include "tests/test_util.h"

namespace fs = std::filesystem;

namespace {

using test_util::ReadAll;

class ExportTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return temp_ / name; }
  test_util::TempDir temp_;
  const fs::path dir_ = temp_.path();
};

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
      {"texture index out of range", [](Mesh& m) { m.tvFace[1].setTVerts(1, 7, 2); },
       "f 1/1 2/2 3/3\nf 2 4 3\nf 1/1 1/1 2/2\n"},
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
    for (const char* attr : {"POSITION", "NORMAL", "TEXCOORD_0", "_CUT"})
      EXPECT_TRUE(prim.attributes.count(attr)) << attr;
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
  { std::ofstream(Path("keep.obj")) << "keep"; }
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

// Many small pieces, enough for several runs of faces, with every kind of corner the welders
// meet: smooth and faceted faces, texture vertices that disagree, degenerate faces, faces naming
// missing vertices, unused vertices and -0 coordinates. `plain` pieces, like blades, are all smooth
// and give each vertex its own texture vertex.
Mesh Pieces(int count, bool plain = false) {
  Mesh m;
  for (int k = 0; k < count; ++k) {
    const DWORD b = static_cast<DWORD>(m.verts.size());
    const float x = 0.37f * static_cast<float>(k % 173), y = 0.11f * static_cast<float>(k / 173);
    m.verts.insert(m.verts.end(), {{x, y, k % 13 == 0 ? -0.0f : 0.01f * k},
                                   {x + 0.3f, y, 0.f},
                                   {x, y + 0.2f, 0.7f},
                                   {x + 0.25f, y + 0.3f, 0.4f},
                                   {9.f, 9.f, 9.f}});
    m.tVerts.insert(m.tVerts.end(), {{0.f, 0.f, 0.f}, {1.f, 0.f, 0.f}, {0.f, 1.f, 0.5f}, {1.f, 1.f, 0.25f}, {}});
    const DWORD third = k % 11 == 0 ? b + 1 : b + 3;  // now and then a degenerate face
    const DWORD missing = k % 97 == 0 ? 0xFFFFFFF0u : b + 2;
    for (auto [v, smooth] : {std::pair{std::array<DWORD, 3>{b, b + 1, b + 2}, true},
                             std::pair{std::array<DWORD, 3>{b + 2, b + 1, third}, plain || k % 5 != 0},
                             std::pair{std::array<DWORD, 3>{b + 3, missing, b + 1}, true}}) {
      Face f;
      f.setVerts(v[0], v[1], v[2]);
      f.setSmGroup(smooth ? 1 : 0);
      m.faces.push_back(f);
      TVFace t;
      // Every seventh piece gives one corner another texture vertex.
      if (plain) t.setTVerts(v[0], v[1], v[2]);
      else t.setTVerts(v[0], k % 7 == 0 ? b : v[1], v[2] == third ? b + 3 : v[2]);
      m.tvFace.push_back(t);
    }
  }
  return m;
}

const Matrix3 kTurn(Point3(0.8f, 0.6f, 0.f), Point3(-0.6f, 0.8f, 0.f), Point3(0.f, 0.f, 1.f),
                    Point3(12.5f, -3.25f, 0.75f));

TEST(FaceRuns, RunsCoverTheFacesAndShareNoVertex) {
  const Mesh m = Pieces(12000);
  const std::vector<FaceRun> runs = IndependentFaceRuns(m, 1000, 2);
  ASSERT_GT(runs.size(), 10u);
  std::vector<int> runOf(m.verts.size(), -1);
  std::size_t next = 0;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    EXPECT_EQ(runs[r].begin, next);
    next = runs[r].end;
    for (std::size_t f = runs[r].begin; f < runs[r].end; ++f) {
      if (!HasValidVerts(m, f)) continue;
      for (DWORD v : m.faces[f].v) {
        EXPECT_TRUE(runOf[v] == -1 || runOf[v] == int(r)) << "vertex " << v;
        runOf[v] = int(r);
      }
    }
  }
  EXPECT_EQ(next, m.faces.size());
  // Faces that all share one vertex cannot be split.
  Mesh fan = m;
  for (Face& f : fan.faces) f.v[0] = 0;
  EXPECT_EQ(IndependentFaceRuns(fan, 1000, 2).size(), 1u);
}

// The writers weld run by run and transform as they read: the file must be the one a world-space
// copy welded whole gives, and the same on any number of threads.
TEST_F(ExportTest, FilesAreTheSameOnAnyThreadCountAndWithoutACopy) {
  // 60000 faces each: several runs, some with every kind of corner, some plain.
  const Mesh mixed = Pieces(20000), plain = Pieces(20000, true);
  ExportScene byView, byCopy;
  byView.nodes = byCopy.nodes = {Quad("Q", 0.f)};
  for (const Mesh* mesh : {&mixed, &plain}) {
    ExportNode borrowed;
    borrowed.name = "Pieces";
    borrowed.source = mesh;
    borrowed.tm = kTurn;
    byView.nodes.push_back(borrowed);
    ExportNode copied;
    copied.name = "Pieces";
    copied.mesh = *mesh;
    for (Point3& p : copied.mesh.verts) p = kTurn.PointTransform(p);
    byCopy.nodes.push_back(copied);
  }
  const ExportNode& borrowed = byView.nodes[1];
  for (const char* ext : {".obj", ".ply", ".glb"}) {
    ExportSceneFile(byCopy, Path(std::string("copy") + ext), {}, {1});
    const std::string expected = ReadAll(Path(std::string("copy") + ext));
    // Through the page cache, and in whole pages around it (where the file system allows).
    for (std::uint64_t direct : {std::uint64_t{1} << 40, std::uint64_t{0}}) {
      for (int threads : {1, 2, 5}) {
        const std::string path = Path("view" + std::to_string(threads) + ext);
        ExportSceneFile(byView, path, {}, {threads, nullptr, direct});
        EXPECT_TRUE(ReadAll(path) == expected) << ext << " on " << threads << " threads, direct from " << direct;
      }
    }
  }
  // The welded runs put together are the mesh welded in one piece.
  const WeldedMesh whole = WeldCorners(borrowed.View());
  const WeldPlan plan = PlanWeld({borrowed.View()}, 2);
  ASSERT_GT(plan.items.size(), 2u);
  ASSERT_EQ(plan.vertices(), whole.vertexCount());
  ASSERT_EQ(plan.faces(), whole.faceCount());
  std::vector<std::uint32_t> indices(3 * whole.faceCount());
  std::vector<Point3> normals(whole.vertexCount());
  ForEachWeldedRun({borrowed.View()}, plan, 2, [&](std::size_t item, const WeldedMesh& w) {
    for (std::size_t i = 0; i < w.indices.size(); ++i)
      indices[3 * plan.faceStart[item] + i] = static_cast<std::uint32_t>(plan.vertexStart[item] + w.indices[i]);
    std::copy(w.normals.begin(), w.normals.end(), normals.begin() + static_cast<long>(plan.vertexStart[item]));
  });
  EXPECT_TRUE(indices == whole.indices);
  EXPECT_TRUE(normals == whole.normals);

  // And the welders' normals are the host's own (Mesh::buildNormals on the world-space copy) at
  // every smooth corner.
  for (std::size_t n = 1; n < byCopy.nodes.size(); ++n) {
    Mesh& copy = byCopy.nodes[n].mesh;
    copy.buildNormals();
    const WeldedMesh w = WeldCorners(byCopy.nodes[n].View());
    std::size_t corner = 0;
    for (std::size_t f = 0; f < copy.faces.size(); ++f) {
      if (!HasValidVerts(copy, f)) continue;
      for (int c = 0; c < 3; ++c, ++corner) {
        if (copy.faces[f].smGroup == 0) continue;
        const Point3 got = w.normals[w.indices[corner]], want = copy.vertexNormals()[copy.faces[f].v[c]];
        if (want.LengthSquared() < 0.5f) continue;  // degenerate: the welders' +Z stand-in
        ASSERT_EQ(std::memcmp(&got, &want, sizeof got), 0) << "node " << n << " face " << f;
      }
    }
  }
}

}  // namespace
