#include "app/export_obj.h"

#include "app/corner_weld.h"
#include "app/text_buffer.h"

namespace {

// Node names are free text; OBJ ends a statement at the line break, so control characters go.
void WriteName(TextBuffer& out, const std::string& name) {
  if (name.empty()) {
    out.Text("object");
    return;
  }
  for (char c : name) out.Char(static_cast<unsigned char>(c) < 0x20 ? '_' : c);
}

void WriteTriple(TextBuffer& out, const char* tag, const Point3& p) {
  out.Text(tag);
  out.Float(p.x);
  out.Char(' ');
  out.Float(p.y);
  out.Char(' ');
  out.Float(p.z);
  out.Char('\n');
}

double Work(const ExportScene& scene) {
  double total = 0;
  for (const ExportNode& n : scene.nodes)
    if (!n.isGroup) total += double(n.mesh.verts.size() + n.mesh.tVerts.size() + n.mesh.faces.size());
  return total;
}

}  // namespace

void WriteObj(const ExportScene& scene, AtomicFile& file, const ProgressFn& progress) {
  TextBuffer out(file);
  const double total = Work(scene);
  double done = 0;
  std::uint64_t vBase = 1, tBase = 1;  // OBJ indices count from 1 over the whole file
  for (const ExportNode& node : scene.nodes) {
    if (node.isGroup) continue;
    const Mesh& m = node.mesh;
    out.Text("o ");
    WriteName(out, node.name);
    out.Char('\n');
    for (const Point3& p : m.verts) WriteTriple(out, "v ", p);
    for (const Point3& t : m.tVerts) WriteTriple(out, "vt ", t);
    if (progress) progress(done += double(m.verts.size() + m.tVerts.size()), total);
    for (std::size_t f = 0; f < m.faces.size(); ++f) {
      if (!HasValidVerts(m, f)) continue;
      const bool textured = HasTextureFace(m, f);
      out.Char('f');
      for (int c = 0; c < 3; ++c) {
        out.Char(' ');
        out.UInt(vBase + m.faces[f].v[c]);
        if (textured) {
          out.Char('/');
          out.UInt(tBase + m.tvFace[f].t[c]);
        }
      }
      out.Char('\n');
      if (progress && (f & 0xFFFF) == 0xFFFF) progress(done + double(f), total);
    }
    if (progress) progress(done += double(m.faces.size()), total);
    vBase += m.verts.size();
    tBase += m.tVerts.size();
  }
  out.Flush();
}
