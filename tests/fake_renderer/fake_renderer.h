// A scripted stand-in for the renderer module: exports the seven mi_* functions, answering from a
// script the test fills in and recording how the shader called them.
#pragma once
#include "render/shader_interface.h"

struct FakeLightSample {
  miColor colour;
  miVector dir;
};

struct FakeLight {
  miTag tag;
  int count;  // samples this light gives before answering false
  FakeLightSample samples[4];
};

struct FakeProbe {
  int hit;         // 1: mi_trace_probe reports a hit
  float distance;  // from the probe origin to child->point along the probe direction
};

struct FakeScript {
  int id;  // which fake module this is (set by the module)
  // mi_phen_eval: fields with a substitute value, and the fields asked for, in order.
  const void* phenField[16];
  void* phenValue[16];
  int phenEntries;
  const void* phenAsked[32];
  int phenCalls;
  // mi_inclusive_lightlist
  miInteger listCount;
  miTag* list;
  int lightlistCalls;
  // mi_sample_light
  FakeLight lights[4];
  int lightCount;
  miTag sampledTags[64];  // tag of every sample handed out
  int sampleCalls;        // every call, the final false included
  int samplesGiven;
  // mi_fresnel_reflection
  float fresnel;
  float iorIn, iorOut;
  int fresnelCalls;
  // mi_reflection_dir
  miVector reflectionDir;
  int reflectionDirCalls;
  // mi_trace_probe
  FakeProbe probes[16];
  miVector probeDirs[16];
  miVector probeOrigins[16];
  int probeCalls;
  // mi_trace_reflection
  miColor reflected;
  miVector tracedDir;
  int traceReflectionCalls;
};

extern "C" {
// The module's script (one per loaded fake module).
MI_EXPORT FakeScript* fake_script(void);
typedef FakeScript* (*fake_script_fn)(void);
}
