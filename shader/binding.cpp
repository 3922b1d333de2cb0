#include "shader/binding.h"

#include <dlfcn.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace gramora::verdigo {

namespace {

// Slots of the seven renderer functions the shader uses, within the 657-slot interface table.
enum Slot : int {
  kSlotFresnelReflection = 102,
  kSlotInclusiveLightlist = 131,
  kSlotPhenEval = 205,
  kSlotReflectionDir = 248,
  kSlotSampleLight = 262,
  kSlotTraceProbe = 309,
  kSlotTraceReflection = 311,
};
static_assert(kSlotTraceReflection < kBoundEntrySlots);

// Each slot is one pointer-sized word written whole: two threads that find a slot empty both look
// the name up and both store the same address, which is harmless.
std::atomic<void*> gModuleHandle{nullptr};
std::atomic<void*> gBoundEntryCache[kBoundEntrySlots];

// Looks name up in the renderer module, caching the address; null (after the two messages) on failure.
void* Resolve(int slot, const char* name) {
  void* cached = gBoundEntryCache[slot].load(std::memory_order_acquire);
  if (cached != nullptr) return cached;

  void* handle = gModuleHandle.load(std::memory_order_acquire);
  if (handle == nullptr) std::fputs("DYNLOAD: dl_handle null\n", stderr);

  // A null handle names no module: the lookup fails with EINVAL instead of asking dlsym, which would
  // read null as "search the whole process". A name missing from the module fails with ENOENT;
  // dlsym itself reports errors only as text, so these two errno values stand for its error code.
  void* found = nullptr;
  int error = EINVAL;
  if (handle != nullptr) {
    found = dlsym(handle, name);
    error = found != nullptr ? 0 : ENOENT;
  }
  gBoundEntryCache[slot].store(found, std::memory_order_release);
  if (found == nullptr) {
    std::fprintf(stderr, "dlsym failed on \"%s\" (handle: %08x error: %d)\n", name,
                 static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(handle) & 0xFFFFFFFFu), error);
  }
  return found;
}

template <typename Fn>
Fn Bind(int slot, const char* name) {
  void* address = Resolve(slot, name);
  Fn fn = nullptr;
  static_assert(sizeof(fn) == sizeof(address));
  std::memcpy(&fn, &address, sizeof(fn));
  return fn;
}

}  // namespace

void SetRendererModule(void* handle) {
  gModuleHandle.store(handle, std::memory_order_release);
  for (auto& slot : gBoundEntryCache) slot.store(nullptr, std::memory_order_release);
}

miBoolean TraceReflection(miColor* result, miState* state, miVector* dir) {
  auto fn = Bind<mi_trace_reflection_fn>(kSlotTraceReflection, "mi_trace_reflection");
  return fn != nullptr ? fn(result, state, dir) : miFALSE;
}

miBoolean TraceProbe(miState* state, miVector* dir, miVector* org) {
  auto fn = Bind<mi_trace_probe_fn>(kSlotTraceProbe, "mi_trace_probe");
  return fn != nullptr ? fn(state, dir, org) : miFALSE;
}

miBoolean SampleLight(miColor* color, miVector* dir, miScalar* dot_nl, miState* state, miTag light,
                      miInteger* samples) {
  auto fn = Bind<mi_sample_light_fn>(kSlotSampleLight, "mi_sample_light");
  return fn != nullptr ? fn(color, dir, dot_nl, state, light, samples) : miFALSE;
}

miInteger InclusiveLightlist(miInteger* n_lights, miTag** lights, miState* state) {
  auto fn = Bind<mi_inclusive_lightlist_fn>(kSlotInclusiveLightlist, "mi_inclusive_lightlist");
  return fn != nullptr ? fn(n_lights, lights, state) : 0;
}

void* PhenEval(miState* state, void* param) {
  auto fn = Bind<mi_phen_eval_fn>(kSlotPhenEval, "mi_phen_eval");
  return fn != nullptr ? fn(state, param) : nullptr;
}

miScalar FresnelReflection(miState* state, miScalar ior_in, miScalar ior_out) {
  auto fn = Bind<mi_fresnel_reflection_fn>(kSlotFresnelReflection, "mi_fresnel_reflection");
  return fn != nullptr ? fn(state, ior_in, ior_out) : 0.0f;
}

void ReflectionDir(miVector* dir, miState* state) {
  auto fn = Bind<mi_reflection_dir_fn>(kSlotReflectionDir, "mi_reflection_dir");
  if (fn != nullptr) fn(dir, state);
}

}  // namespace gramora::verdigo
