#include "app/export_obj.h"

#include <array>
#include <bit>
#include <charconv>

#include "app/corner_weld.h"
#include "app/parallel.h"
#include "app/region_writer.h"

namespace {

// Elements per piece of text: a few megabytes, so workers stay busy and memory stays small.
constexpr std::size_t kPieceElements = 32768;
// The longest line of each kind: a float takes at most 15 characters, an index at most 20.
constexpr std::size_t kMaxPointLine = 4 + 3 * 16;
constexpr std::size_t kMaxFaceLine = 2 + 3 * 42;

// One piece of the file, in file order: a node's name line, or a range of its vertices, texture
// vertices or faces.
struct Piece {
  enum Kind { kName, kVerts, kTVerts, kFaces } kind;
  std::size_t node;
  std::size_t begin, end;
  std::uint64_t vBase, tBase;  // 1-based file-wide index of the node's first vertex, texture vertex
};

char* Float(char* p, float f) { return std::to_chars(p, p + 16, f).ptr; }
char* UInt(char* p, std::uint64_t n) { return std::to_chars(p, p + 20, n).ptr; }

// Recently formatted texture-vertex lines: meshes made of copies of one piece (every blade of a
// lawn has the template's 61 texture vertices) repeat the same few lines millions of times.
class LineCache {
 public:
  // Appends "vt u v w\n" for t at p; returns the end.
  char* TextureLine(char* p, const Point3& t);

 private:
  struct Entry {
    std::uint32_t bits[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};  // a NaN pattern no entry starts with
    std::uint8_t length = 0;
    char text[kMaxPointLine];
  };
  std::array<Entry, 256> entries_;
};

char* Triple(char* p, const Point3& v) {
  p = Float(p, v.x);
  *p++ = ' ';
  p = Float(p, v.y);
  *p++ = ' ';
  p = Float(p, v.z);
  *p++ = '\n';
  return p;
}

char* LineCache::TextureLine(char* p, const Point3& t) {
  const std::uint32_t bits[3] = {std::bit_cast<std::uint32_t>(t.x), std::bit_cast<std::uint32_t>(t.y),
                                 std::bit_cast<std::uint32_t>(t.z)};
  Entry& e = entries_[(bits[0] * 0x9E3779B1u ^ bits[1] * 0x85EBCA77u ^ bits[2] * 0xC2B2AE3Du) >> 24];
  if (e.bits[0] == bits[0] && e.bits[1] == bits[1] && e.bits[2] == bits[2] && e.length > 0)
    return std::copy_n(e.text, e.length, p);
  char* end = Triple(std::copy_n("vt ", 3, p), t);
  e.length = static_cast<std::uint8_t>(end - p);
  std::copy_n(p, e.length, e.text);
  std::copy_n(bits, 3, e.bits);
  return end;
}

// Node names are free text; OBJ ends a statement at the line break, so control characters go.
std::string NameLine(const std::string& name) {
  std::string line = "o ";
  if (name.empty()) line += "object";
  for (char c : name) line += static_cast<unsigned char>(c) < 0x20 ? '_' : c;
  return line + '\n';
}

std::size_t MaxBytes(const Piece& piece, const ExportScene& scene) {
  switch (piece.kind) {
    case Piece::kName: return NameLine(scene.nodes[piece.node].name).size();
    case Piece::kFaces: return (piece.end - piece.begin) * kMaxFaceLine;
    default: return (piece.end - piece.begin) * kMaxPointLine;
  }
}

void Format(const ExportScene& scene, const Piece& piece, ByteBlock& text) {
  const ExportNode& node = scene.nodes[piece.node];
  const MeshView view = node.View();
  const Mesh& m = *view.mesh;
  // Every block is made big enough for any piece of elements at once, so blocks circulate between
  // kinds of pieces without being made again.
  char* const start = text.Room(std::max(MaxBytes(piece, scene), kPieceElements * kMaxFaceLine));
  char* p = start;
  switch (piece.kind) {
    case Piece::kName: {
      const std::string line = NameLine(node.name);
      p = std::copy(line.begin(), line.end(), p);
      break;
    }
    case Piece::kVerts:
      for (std::size_t i = piece.begin; i < piece.end; ++i) {
        *p++ = 'v';
        *p++ = ' ';
        p = Triple(p, view.WorldVertex(i));
      }
      break;
    case Piece::kTVerts: {
      LineCache cache;
      for (std::size_t i = piece.begin; i < piece.end; ++i) p = cache.TextureLine(p, m.tVerts[i]);
      break;
    }
    case Piece::kFaces:
      for (std::size_t f = piece.begin; f < piece.end; ++f) {
        if (!HasValidVerts(m, f)) continue;
        const bool textured = HasTextureFace(m, f);
        *p++ = 'f';
        for (int c = 0; c < 3; ++c) {
          *p++ = ' ';
          char* const number = p;
          const std::uint64_t v = piece.vBase + m.faces[f].v[c];
          p = UInt(p, v);
          if (textured) {
            *p++ = '/';
            const std::uint64_t t = piece.tBase + m.tvFace[f].t[c];
            // Texture vertex k mostly belongs to vertex k: the number is the one just written.
            p = t == v ? std::copy(number, p - 1, p) : UInt(p, t);
          }
        }
        *p++ = '\n';
      }
      break;
  }
  text.size = static_cast<std::size_t>(p - start);
}

std::vector<Piece> Pieces(const ExportScene& scene) {
  std::vector<Piece> pieces;
  std::uint64_t vBase = 1, tBase = 1;  // OBJ indices count from 1 over the whole file
  for (std::size_t n = 0; n < scene.nodes.size(); ++n) {
    if (scene.nodes[n].isGroup) continue;
    const Mesh& m = scene.nodes[n].Geometry();
    pieces.push_back({Piece::kName, n, 0, 0, vBase, tBase});
    const auto split = [&](Piece::Kind kind, std::size_t count) {
      for (std::size_t b = 0; b < count; b += kPieceElements)
        pieces.push_back({kind, n, b, std::min(count, b + kPieceElements), vBase, tBase});
    };
    split(Piece::kVerts, m.verts.size());
    split(Piece::kTVerts, m.tVerts.size());
    split(Piece::kFaces, m.faces.size());
    vBase += m.verts.size();
    tBase += m.tVerts.size();
  }
  return pieces;
}

}  // namespace

void WriteObj(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress, const ExportOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  const std::vector<Piece> pieces = Pieces(scene);
  double total = 0, done = 0;
  for (const Piece& piece : pieces) total += double(piece.end - piece.begin);

  // Pieces are formatted in parallel and written strictly in order; a large file goes to the disk
  // in whole pages around the page cache.
  double bytes = 0;  // lines are about half as long as they can be
  for (const Piece& piece : pieces) bytes += double(MaxBytes(piece, scene)) * 0.5;
  RegionWriter writer(file, bytes >= double(options.directBytes));
  RegionWriter::Stream stream = writer.Open(0);
  OrderedPipeline(
      options.threads, pieces.size(), [&](std::size_t i, ByteBlock& text) { Format(scene, pieces[i], text); },
      [&](std::size_t i, const ByteBlock& text) {
        stream.Append(text.data.get(), text.size);
        if (progress) progress(done += double(pieces[i].end - pieces[i].begin), total);
      });
  stream.Close();
  writer.Finish();
  if (options.times) options.times->write += SecondsSince(start);
}
