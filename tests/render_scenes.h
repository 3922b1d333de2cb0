// Small scenes the renderer's suites share: a square, a camera looking straight down on it, and a
// directional light.
#pragma once
#include "render/renderer.h"

namespace render_test {

namespace gr = gramora::render;

// A square in the plane z, facing +Z, spanning [-half, half]^2 around (cx, cy).
inline gr::Mesh Square(float half, float z = 0.0f, float cx = 0.0f, float cy = 0.0f) {
  gr::Mesh m;
  m.name = "square";
  m.positions = {cx - half, cy - half, z, cx + half, cy - half, z, cx + half, cy + half, z, cx - half, cy + half, z};
  m.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  m.indices = {0, 1, 2, 0, 2, 3};
  return m;
}

// Camera straight above the origin, odd image so the centre pixel's ray hits (0, 0, 0).
inline gr::Settings TopView() {
  gr::Settings s;
  s.width = 21;
  s.height = 21;
  s.spp = 1;
  s.threads = 1;
  s.jitter = false;
  s.fixedSeed = true;
  s.progress = false;
  s.background = {0.0f, 0.0f, 0.0f};
  s.ambient = {0.0f, 0.0f, 0.0f};
  s.ground.enabled = false;
  s.camera.automatic = false;
  s.camera.position = {0.0f, 0.0f, 10.0f};
  s.camera.target = {0.0f, 0.0f, 0.0f};
  s.camera.up = {0.0f, 1.0f, 0.0f};
  s.camera.fov = 10.0f;
  return s;
}

inline gr::Light Directional(gr::Vec3 travel) {
  gr::Light l;
  l.type = gr::Light::Type::kDirectional;
  l.direction = travel;
  return l;
}

}  // namespace render_test
