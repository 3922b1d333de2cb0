// Binding of renderer functions: a cache of entry points looked up by name, on first use, in the
// module whose handle the renderer handed over, and one stub per function the shader calls.
#pragma once
#include "render/shader_interface.h"

namespace gramora::verdigo {

// Number of pointer slots in BoundEntryCache, one per function of the renderer's interface.
constexpr int kBoundEntrySlots = 657;

// Stores the renderer module handle and empties every cache slot.
void SetRendererModule(void* handle);

// Binding stubs: same arguments and result as the renderer function of the same name. When the
// lookup fails they return the function's neutral result (false, null, 0) and leave outputs untouched.
miBoolean TraceReflection(miColor* result, miState* state, miVector* dir);
miBoolean TraceProbe(miState* state, miVector* dir, miVector* org);
miBoolean SampleLight(miColor* color, miVector* dir, miScalar* dot_nl, miState* state, miTag light, miInteger* samples);
miInteger InclusiveLightlist(miInteger* n_lights, miTag** lights, miState* state);
void* PhenEval(miState* state, void* param);
miScalar FresnelReflection(miState* state, miScalar ior_in, miScalar ior_out);
void ReflectionDir(miVector* dir, miState* state);

}  // namespace gramora::verdigo
