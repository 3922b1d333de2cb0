// Exports of the verdigo library: version, init, exit, the module handle, and the shader itself
// (whose body lives in shading.cpp).
#include "render/shader_interface.h"
#include "shader/binding.h"
#include "shader/r250.h"
#include "shader/shading.h"

namespace gramora::verdigo {

SharedR250& ShaderRandom() {
  static SharedR250 generator;
  return generator;
}

}  // namespace gramora::verdigo

extern "C" {

MI_EXPORT int verdigo_version(void) { return VERDIGO_VERSION; }

// Requests per-instance init on the shader-wide call (null params); every call restarts the random sequence.
MI_EXPORT miBoolean verdigo_init(miState* /*state*/, VerdigoParams* params, miBoolean* instance_init_requested) {
  if (params == nullptr && instance_init_requested != nullptr) *instance_init_requested = miTRUE;
  gramora::verdigo::ShaderRandom().seed(10021);
  return miTRUE;
}

MI_EXPORT miBoolean verdigo_exit(miState* /*state*/, VerdigoParams* /*params*/) { return miTRUE; }

// Stores the renderer's module handle and clears the binding cache.
MI_EXPORT void miSetModuleHandle(void* handle) { gramora::verdigo::SetRendererModule(handle); }

MI_EXPORT miBoolean verdigo(miColor* result, miState* state, VerdigoParams* params) {
  gramora::verdigo::ShadeGrass(result, state, params);
  return miTRUE;
}

}  // extern "C"
