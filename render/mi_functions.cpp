// The renderer functions a shader binds by name: exported with C linkage under their plain names.
// Each one works on the state the renderer handed to the shader; a state the renderer did not make
// (no renderer context) gets the neutral result.
#include <algorithm>
#include <cmath>

#include "render/shader_interface.h"
#include "render/world.h"

using gramora::render::ThreadContext;
using gramora::render::operator*;
using gramora::render::operator+;
using gramora::render::operator-;

namespace {

ThreadContext* Context(const miState* state) {
  return state != nullptr ? static_cast<ThreadContext*>(state->renderer_private) : nullptr;
}

}  // namespace

extern "C" {

// Traces a reflection ray from the state's point along dir and shades its hit (background on a miss);
// false on a miss or beyond the render's reflection depth.
MI_EXPORT miBoolean mi_trace_reflection(miColor* result, miState* state, miVector* dir) {
  ThreadContext* ctx = Context(state);
  if (result == nullptr) return miFALSE;
  *result = {0.0f, 0.0f, 0.0f, 1.0f};
  if (ctx == nullptr || dir == nullptr) return miFALSE;
  const int level = state->reflection_level + 1;
  if (state->reflection_level < 0 || level > ctx->world->settings.maxDepth) return miFALSE;
  const miVector d = gramora::render::Normalised(*dir);
  if (gramora::render::Length(d) == 0.0f) return miFALSE;
  const float side = gramora::render::Dot(d, state->normal_geom) >= 0.0f ? 1.0f : -1.0f;
  const miVector origin = state->point + (side * gramora::render::SurfaceEpsilon(state->point)) * state->normal_geom;
  return gramora::render::ShadeRay(*ctx, level, origin, d, *result) ? miTRUE : miFALSE;
}

// Casts a probe ray from org along dir; on a hit fills state->child (org, dir, dist, point, normals)
// without shading it.
MI_EXPORT miBoolean mi_trace_probe(miState* state, miVector* dir, miVector* org) {
  ThreadContext* ctx = Context(state);
  if (ctx == nullptr || dir == nullptr || org == nullptr) return miFALSE;
  const miVector d = gramora::render::Normalised(*dir);
  if (gramora::render::Length(d) == 0.0f) return miFALSE;
  float t = 0.0f, u = 0.0f, v = 0.0f;
  unsigned geomID = 0, primID = 0;
  miVector ng{};
  if (!gramora::render::Intersect(*ctx->world, *org, d, 0.0f, t, geomID, primID, u, v, ng)) return miFALSE;
  if (miState* child = state->child; child != nullptr) {
    child->org = *org;
    child->dir = d;
    child->dist = t;
    child->point = *org + t * d;
    child->normal_geom = gramora::render::Normalised(ng);
    if (gramora::render::Dot(child->normal_geom, d) > 0.0f) child->normal_geom = -1.0f * child->normal_geom;
    child->normal = child->normal_geom;
    child->tex_list = nullptr;
    child->tex_count = 0;
    child->parent = state;
    child->shader = nullptr;
    child->reflection_level = state->reflection_level;
    child->instance = geomID + 1;
    child->renderer_private = ctx;
  }
  return miTRUE;
}

// One sample of a light for the state's point; false once the light has given all its samples.
MI_EXPORT miBoolean mi_sample_light(miColor* color, miVector* dir, miScalar* dot_nl, miState* state, miTag light,
                                    miInteger* samples) {
  ThreadContext* ctx = Context(state);
  if (ctx == nullptr || color == nullptr || dir == nullptr || dot_nl == nullptr || samples == nullptr) return miFALSE;
  return gramora::render::SampleLightAt(*ctx, *state, light, *color, *dir, *dot_nl, *samples) ? miTRUE : miFALSE;
}

// Replaces the light list by all lights of the scene.
MI_EXPORT miInteger mi_inclusive_lightlist(miInteger* n_lights, miTag** lights, miState* state) {
  ThreadContext* ctx = Context(state);
  if (ctx == nullptr || n_lights == nullptr || lights == nullptr) return 0;
  auto& tags = ctx->world->lightTags;
  *n_lights = static_cast<miInteger>(tags.size());
  *lights = tags.empty() ? nullptr : const_cast<miTag*>(tags.data());
  return *n_lights;
}

// This renderer connects no shaders to parameters, so every parameter is its own value.
MI_EXPORT void* mi_phen_eval(miState* /*state*/, void* param) { return param; }

// Fresnel reflectance of unpolarised light at the state's point, for the ray's angle of incidence.
MI_EXPORT miScalar mi_fresnel_reflection(miState* state, miScalar ior_in, miScalar ior_out) {
  if (state == nullptr || !(ior_in > 0.0f) || !(ior_out > 0.0f)) return 0.0f;
  const float cosI = std::min(1.0f, std::fabs(gramora::render::Dot(state->dir, state->normal)));
  const float eta = ior_in / ior_out;
  const float sin2T = eta * eta * (1.0f - cosI * cosI);
  if (sin2T >= 1.0f) return 1.0f;  // total internal reflection
  const float cosT = std::sqrt(1.0f - sin2T);
  const float rs = (ior_in * cosI - ior_out * cosT) / (ior_in * cosI + ior_out * cosT);
  const float rp = (ior_out * cosI - ior_in * cosT) / (ior_out * cosI + ior_in * cosT);
  return 0.5f * (rs * rs + rp * rp);
}

// Mirror direction of the state's ray about its shading normal.
MI_EXPORT void mi_reflection_dir(miVector* dir, miState* state) {
  if (dir == nullptr || state == nullptr) return;
  const float k = 2.0f * gramora::render::Dot(state->dir, state->normal);
  *dir = gramora::render::Normalised(state->dir - k * state->normal);
}

}  // extern "C"
