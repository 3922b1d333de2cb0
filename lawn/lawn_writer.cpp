#include "lawn/lawn_writer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <system_error>
#include <thread>

#include "sdk/log.h"
#include "sdk/memory.h"

namespace {
// Below this many blades a second thread costs more than it saves.
constexpr std::size_t kMinBladesForTwoWorkers = 4096;
// A blade of the lawn's weldings: its texture vertices are every lawn blade's.
constexpr BladeParams kTemplateBlade{1.5f, 0.0f, 0.1f, kLawnBladeWeldings, 0.1f, 1.25f, 0.0f, 0.0f, 0.0f};
}  // namespace

LawnMeshWriter::LawnMeshWriter(const char* elements)
    : elements_(elements),
      tVerts_(static_cast<std::size_t>(BladeVertexCount(kLawnBladeWeldings))),
      faces_(static_cast<std::size_t>(BladeFaceCount(kLawnBladeWeldings))) {
  std::vector<Point3> verts(tVerts_.size());
  if (!WriteBladeVertices(kTemplateBlade, verts.data(), tVerts_.data())) tVerts_.clear();
  // Edges (on, on, off) and smoothing group 1; the texture faces are the faces' corners again.
  std::vector<TVFace> tvFaces(faces_.size());
  WriteBladeFaces(kLawnBladeWeldings, faces_.data(), tvFaces.data());
}

void LawnMeshWriter::Report(const char* what) const {
  char text[200];
  std::snprintf(text, sizeof text, "Lawn: cannot allocate the %s of %.0f %s; the lawn is left empty", what, cells_,
                elements_);
  LogEntry(LogLevel::kError, text);
}

bool LawnMeshWriter::Affordable() const {
  // The whole peak: the mesh with its normals, times the copies the host holds of it.
  const std::size_t mesh = Mesh::BytesFor(numVerts_, numFaces_, numVerts_, numFaces_);
  const unsigned copies = HostMeshCopies();
  const std::size_t peak = EstimatePeakBytes(mesh, copies, 0, 0);
  if (HostCanHold(peak)) return true;
  const bool tufts = std::string(elements_) == "tufts";
  char count[32];
  std::snprintf(count, sizeof count, "%.0f", cells_);
  LogEntry(LogLevel::kError, std::string("Lawn: the lawn of ") + count + " " + elements_ + " needs about " +
                                 DescribeBytes(peak) + " at its peak (a mesh of " + DescribeBytes(mesh) + ", held " +
                                 std::to_string(copies) + " times), more than the " + DescribeBytes(HostHeadroom()) +
                                 " this process can have; lower " +
                                 (tufts ? "\"# Bundles X\" and \"# Bundles Y\"" : "\"# Blades X\" and \"# Blades Y\"") +
                                 " (or, with \"Use heightmap dimension\" on, use a smaller height map)");
  return false;
}

bool LawnMeshWriter::Size(float numVerts, float numFaces, double cells, Mesh& out) {
  cells_ = cells;
  out.FreeAll();
  // Counts at or beyond the host's int (or not numbers at all) cannot be indexed.
  if (!(numVerts >= 0.0f && numFaces >= 0.0f) || numVerts >= static_cast<float>(INT_MAX) ||
      numFaces >= static_cast<float>(INT_MAX)) {
    Report("vertices and faces (more than a mesh can index)");
    return false;
  }
  numVerts_ = static_cast<std::size_t>(numVerts);
  numFaces_ = static_cast<std::size_t>(numFaces);
  if (!Affordable()) return false;
  if (!HostCanHold(numVerts_ * (sizeof(Point3) + sizeof(UVVert))) || !ReserveElements(out.verts, numVerts_) ||
      !ReserveElements(out.tVerts, numVerts_)) {
    out.FreeAll();
    Report("mesh");
    return false;
  }
  return true;
}

std::size_t LawnMeshWriter::Capacity() const {
  if (BladeVerts() == 0 || BladeFaces() == 0) return 0;
  return std::min(numVerts_ / BladeVerts(), numFaces_ / BladeFaces());
}

// Each blade is built in a small buffer and appended whole; the tail is the origin.
bool LawnMeshWriter::WriteVertices(const std::vector<LawnBlade>& blades, const LawnBend& bend, Mesh& out) const {
  try {
    std::vector<Point3> blade(BladeVerts());
    for (const LawnBlade& b : blades) {
      if (!WriteBladeVertices(b.params, blade.data(), nullptr)) return false;
      Matrix3 turn;
      if (bend.field) {
        std::uint32_t ci = 0, cj = 0;
        bend.field->CellForBlade(b.column, b.row, bend.nx, bend.ny, &ci, &cj);
        turn = BendMatrix(bend.field->SampleCell(ci, cj, bend.slice, bend.frame));
      }
      for (Point3& v : blade) {
        // The bend turns the blade about its own root, before it moves to its place.
        v = (bend.field ? turn.PointTransform(v) : v) + b.root;
      }
      out.verts.insert(out.verts.end(), blade.begin(), blade.end());
      out.tVerts.insert(out.tVerts.end(), tVerts_.begin(), tVerts_.end());
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  out.verts.resize(numVerts_);
  out.tVerts.resize(numVerts_);
  return true;
}

// Blade b's faces are a lawn blade's shifted by b * 61; texture faces take the same corners, since
// texture vertex k belongs to vertex k.
bool LawnMeshWriter::WriteFaces(std::size_t blades, Mesh& out) const {
  try {
    std::vector<Face> faces(BladeFaces());
    std::vector<TVFace> tvFaces(BladeFaces());
    for (std::size_t b = 0; b < blades; ++b) {
      const auto base = static_cast<DWORD>(b * BladeVerts());
      for (std::size_t k = 0; k < faces.size(); ++k) {
        const DWORD* v = faces_[k].v;
        faces[k] = faces_[k];
        faces[k].setVerts(v[0] + base, v[1] + base, v[2] + base);
        tvFaces[k].setTVerts(v[0] + base, v[1] + base, v[2] + base);
      }
      out.faces.insert(out.faces.end(), faces.begin(), faces.end());
      out.tvFace.insert(out.tvFace.end(), tvFaces.begin(), tvFaces.end());
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool LawnMeshWriter::Write(const std::vector<LawnBlade>& blades, const LawnBend& bend, int threads, Mesh& out) {
  // Every blade face has three distinct corners inside its own blade, so RemoveIllegalFaces would
  // drop nothing that is written. Reserved vertex memory is not touched yet, so it still counts
  // against what the host can hold.
  const std::size_t vertexBytes = numVerts_ * (sizeof(Point3) + sizeof(UVVert));
  const std::size_t faceCount = blades.size() * BladeFaces();
  if (blades.size() > Capacity() || !HostCanHold(vertexBytes + faceCount * (sizeof(Face) + sizeof(TVFace))) ||
      !ReserveElements(out.faces, faceCount) || !ReserveElements(out.tvFace, faceCount)) {
    out.FreeAll();
    Report("mesh");
    return false;
  }
  // The two workers write disjoint arrays, so the mesh is the same with one or two.
  const bool twoWorkers =
      threads > 0 ? threads > 1 : std::thread::hardware_concurrency() > 1 && blades.size() >= kMinBladesForTwoWorkers;
  std::thread faceWorker;
  bool facesWritten = false;
  if (twoWorkers) {
    try {
      faceWorker = std::thread([&] { facesWritten = WriteFaces(blades.size(), out); });
    } catch (const std::system_error&) {
      // No thread to be had: this thread writes the faces too.
    }
  }
  const bool verticesWritten = WriteVertices(blades, bend, out);
  if (faceWorker.joinable()) {
    faceWorker.join();
  } else {
    facesWritten = WriteFaces(blades.size(), out);
  }
  if (!verticesWritten || !facesWritten) {
    out.FreeAll();
    Report(elements_);
    return false;
  }
  return true;
}
