#include "app/viewport_svg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/atomic_file.h"
#include "sdk/gfx.h"
#include "sdk/host.h"
#include "sdk/node.h"

namespace {

constexpr int kLongSide = 1024;  // pixels along the scene's longer extent, margins included
constexpr int kMargin = 32;
const Point3 kMeshColor(0.25f, 0.55f, 0.15f);
const Point3 kBackground(0.08f, 0.09f, 0.08f);

// The mesh's boundary edges (used by exactly one face) chained into runs of vertices, so a blade
// becomes one closed outline instead of dozens of segments.
std::vector<std::vector<DWORD>> OutlineRuns(const Mesh& mesh) {
  const DWORD nv = static_cast<DWORD>(mesh.verts.size());
  std::vector<std::uint64_t> edges;
  edges.reserve(mesh.faces.size() * 3);
  for (const Face& f : mesh.faces) {
    for (int k = 0; k < 3; ++k) {
      DWORD a = f.v[k], b = f.v[(k + 1) % 3];
      if (a >= nv || b >= nv || a == b) continue;
      if (a > b) std::swap(a, b);
      edges.push_back((static_cast<std::uint64_t>(a) << 32) | b);
    }
  }
  std::sort(edges.begin(), edges.end());
  std::vector<std::pair<DWORD, DWORD>> boundary;
  for (size_t i = 0; i < edges.size();) {
    size_t j = i;
    while (j < edges.size() && edges[j] == edges[i]) ++j;
    if (j - i == 1) boundary.emplace_back(static_cast<DWORD>(edges[i] >> 32), static_cast<DWORD>(edges[i]));
    i = j;
  }
  // Vertex -> incident boundary edges, in compressed rows.
  std::vector<DWORD> start(nv + 1, 0);
  for (const auto& e : boundary) {
    ++start[e.first + 1];
    ++start[e.second + 1];
  }
  for (DWORD v = 0; v < nv; ++v) start[v + 1] += start[v];
  std::vector<DWORD> incident(start[nv]);
  std::vector<DWORD> fill(start.begin(), start.end() - 1);
  for (DWORD e = 0; e < boundary.size(); ++e) {
    incident[fill[boundary[e].first]++] = e;
    incident[fill[boundary[e].second]++] = e;
  }
  std::vector<bool> used(boundary.size(), false);
  std::vector<std::vector<DWORD>> runs;
  for (DWORD first = 0; first < boundary.size(); ++first) {
    if (used[first]) continue;
    used[first] = true;
    std::vector<DWORD> run{boundary[first].first, boundary[first].second};
    for (bool extended = true; extended;) {
      extended = false;
      const DWORD v = run.back();
      for (DWORD s = start[v]; s < start[v + 1]; ++s) {
        const DWORD e = incident[s];
        if (used[e]) continue;
        used[e] = true;
        run.push_back(boundary[e].first == v ? boundary[e].second : boundary[e].first);
        extended = true;
        break;
      }
    }
    runs.push_back(std::move(run));
  }
  return runs;
}

void DrawMeshOutline(GraphicsWindow& gw, const Mesh& mesh, const Matrix3& tm) {
  gw.setTransform(tm);
  gw.setColor(LINE_COLOR, kMeshColor);
  std::vector<Point3> pts;
  for (const std::vector<DWORD>& run : OutlineRuns(mesh)) {
    pts.clear();
    for (DWORD v : run) pts.push_back(mesh.verts[v]);
    gw.polyline(static_cast<int>(pts.size()), pts.data(), nullptr, FALSE, nullptr);
  }
}

// Calls draw(mesh, object-to-world) with the node's evaluated mesh, if it has one.
template <class Fn>
void WithMesh(INode* node, TimeValue t, Fn draw) {
  if (node->GetObjectRef() == nullptr) return;
  auto* geom = dynamic_cast<GeomObject*>(node->EvalWorldState(t).obj);
  if (geom == nullptr) return;
  BOOL needDelete = FALSE;
  Mesh* mesh = geom->GetRenderMesh(t, node, needDelete);
  if (mesh == nullptr) return;
  draw(*mesh, node->GetObjectTM(t));
  if (needDelete) delete mesh;
}

// Scene bounds seen from above: meshes in world space and modifier gizmos.
Box3 SceneBounds(const std::vector<INode*>& nodes, TimeValue t, ViewExp& view) {
  Box3 bounds;
  for (INode* node : nodes) {
    WithMesh(node, t, [&](const Mesh& mesh, const Matrix3& tm) {
      if (!mesh.verts.empty()) bounds += mesh.getBoundingBox(&tm);
    });
    for (int i = 0; i < node->NumModifiers(); ++i) {
      Box3 gizmo;
      node->GetModifier(i)->GetWorldBoundBox(t, node, &view, gizmo, node->GetModContext(i));
      if (!gizmo.IsEmpty()) bounds += gizmo;
    }
  }
  if (bounds.IsEmpty()) bounds = Box3(Point3(-1.0f, -1.0f, 0.0f), Point3(1.0f, 1.0f, 0.0f));
  return bounds;
}

std::string Rgb(const Point3& c) {
  auto channel = [](float v) { return static_cast<int>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
  char buf[32];
  std::snprintf(buf, sizeof buf, "rgb(%d,%d,%d)", channel(c.x), channel(c.y), channel(c.z));
  return buf;
}

// One <path> per run of lines of the same colour keeps big lawns to a manageable file.
std::string Svg(const GraphicsWindow& gw) {
  std::string out;
  char buf[96];
  std::snprintf(buf, sizeof buf, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\">\n", gw.Width(),
                gw.Height());
  out += buf;
  out += "<rect width=\"100%\" height=\"100%\" fill=\"" + Rgb(kBackground) + "\"/>\n";
  const std::vector<GWPolyline>& lines = gw.Lines();
  for (size_t i = 0; i < lines.size();) {
    const Point3 color = lines[i].color;
    out += "<path fill=\"none\" stroke=\"" + Rgb(color) + "\" stroke-width=\"1\" d=\"";
    for (; i < lines.size() && lines[i].color == color; ++i) {
      const std::vector<Point3>& pts = lines[i].screen;
      for (size_t k = 0; k < pts.size(); ++k) {
        std::snprintf(buf, sizeof buf, "%c%.2f %.2f", k == 0 ? 'M' : 'L', pts[k].x, pts[k].y);
        out += buf;
      }
      if (lines[i].closed) out += 'Z';
    }
    out += "\"/>\n";
  }
  out += "</svg>\n";
  return out;
}

}  // namespace

TopViewDrawing DrawTopView(TimeValue t, float minExtent) {
  const std::vector<INode*> nodes = TheHost().AllNodes();
  TopViewport probe;
  Box3 bounds = SceneBounds(nodes, t, probe);
  if (minExtent > 0.0f) {
    const Point3 c = bounds.Center(), half(0.5f * minExtent, 0.5f * minExtent, 0.0f);
    bounds += c - half;
    bounds += c + half;
  }
  const Point3 size = bounds.Width();
  const float extent = std::max({size.x, size.y, 1e-3f});
  TopViewDrawing out;
  out.unitsPerPixel = extent / static_cast<float>(kLongSide - 2 * kMargin);
  out.width = static_cast<int>(size.x / out.unitsPerPixel) + 2 * kMargin;
  out.height = static_cast<int>(size.y / out.unitsPerPixel) + 2 * kMargin;
  out.center = bounds.Center();
  TopViewport view(out.width, out.height, out.unitsPerPixel, out.center);
  GraphicsWindow gw(view);
  view.SetGW(&gw);
  for (INode* node : nodes) {
    WithMesh(node, t, [&](const Mesh& mesh, const Matrix3& tm) { DrawMeshOutline(gw, mesh, tm); });
  }
  // Gizmos last, so they stay visible over the grass.
  for (INode* node : nodes) {
    for (int i = 0; i < node->NumModifiers(); ++i)
      node->GetModifier(i)->Display(t, node, &view, 0, node->GetModContext(i));
  }
  out.svg = Svg(gw);
  return out;
}

void WriteViewportSvg(AtomicFile& file, TimeValue t) {
  const std::string text = DrawTopView(t).svg;
  file.Write(text.data(), text.size());
}
