#include "tests/fake_renderer/fake_renderer.h"

#include <cstring>

#ifndef FAKE_RENDERER_ID
#define FAKE_RENDERER_ID 0
#endif

namespace {
FakeScript gScript{};
}

extern "C" {

MI_EXPORT FakeScript* fake_script(void) {
  gScript.id = FAKE_RENDERER_ID;
  return &gScript;
}

MI_EXPORT miBoolean mi_trace_reflection(miColor* result, miState*, miVector* dir) {
  ++gScript.traceReflectionCalls;
  gScript.tracedDir = *dir;
  *result = gScript.reflected;
  return miTRUE;
}

MI_EXPORT miBoolean mi_trace_probe(miState* state, miVector* dir, miVector* org) {
  const int k = gScript.probeCalls++ % 16;
  gScript.probeDirs[k] = *dir;
  gScript.probeOrigins[k] = *org;
  const FakeProbe& p = gScript.probes[k];
  if (!p.hit) return miFALSE;
  if (state->child != nullptr) {
    state->child->org = *org;
    state->child->point = {org->x + p.distance * dir->x, org->y + p.distance * dir->y, org->z + p.distance * dir->z};
  }
  return miTRUE;
}

MI_EXPORT miBoolean mi_sample_light(miColor* color, miVector* dir, miScalar* dot_nl, miState*, miTag light,
                                    miInteger* samples) {
  ++gScript.sampleCalls;
  for (int i = 0; i < gScript.lightCount; ++i) {
    const FakeLight& l = gScript.lights[i];
    if (l.tag != light) continue;
    if (*samples >= l.count) return miFALSE;
    *color = l.samples[*samples].colour;
    *dir = l.samples[*samples].dir;
    *dot_nl = -12345.0f;  // the shader must not use it
    ++*samples;
    if (gScript.samplesGiven < 64) gScript.sampledTags[gScript.samplesGiven] = light;
    ++gScript.samplesGiven;
    return miTRUE;
  }
  return miFALSE;
}

MI_EXPORT miInteger mi_inclusive_lightlist(miInteger* n_lights, miTag** lights, miState*) {
  ++gScript.lightlistCalls;
  *n_lights = gScript.listCount;
  *lights = gScript.list;
  return gScript.listCount;
}

MI_EXPORT void* mi_phen_eval(miState*, void* param) {
  if (gScript.phenCalls < 32) gScript.phenAsked[gScript.phenCalls] = param;
  ++gScript.phenCalls;
  for (int i = 0; i < gScript.phenEntries; ++i) {
    if (gScript.phenField[i] == param) return gScript.phenValue[i];
  }
  return param;
}

MI_EXPORT miScalar mi_fresnel_reflection(miState*, miScalar ior_in, miScalar ior_out) {
  ++gScript.fresnelCalls;
  gScript.iorIn = ior_in;
  gScript.iorOut = ior_out;
  return gScript.fresnel;
}

MI_EXPORT void mi_reflection_dir(miVector* dir, miState*) {
  ++gScript.reflectionDirCalls;
  *dir = gScript.reflectionDir;
}

}  // extern "C"
