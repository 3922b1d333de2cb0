#include "render/shader_library.h"

#include <dlfcn.h>

#include <cstring>

namespace gramora::render {

namespace {

template <typename Fn>
Fn Symbol(void* library, const char* name) {
  void* address = dlsym(library, name);
  Fn fn = nullptr;
  static_assert(sizeof(fn) == sizeof(address));
  std::memcpy(&fn, &address, sizeof(fn));
  return fn;
}

std::string LastDlError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown error";
}

std::string RendererLibraryPath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&mi_trace_probe), &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

}  // namespace

std::string RendererLibraryFolder() {
  const std::string path = RendererLibraryPath();
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

ShaderLibrary::~ShaderLibrary() {
  if (library_ != nullptr) dlclose(library_);
  if (self_ != nullptr) dlclose(self_);
}

std::string ShaderLibrary::Load(const std::string& requested) {
  const std::string path = requested.empty() ? RendererLibraryFolder() + "/verdigo.so" : requested;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return "cannot load shader library " + path + ": " + LastDlError();

  auto version = Symbol<verdigo_version_fn>(library, "verdigo_version");
  auto init = Symbol<verdigo_init_fn>(library, "verdigo_init");
  auto shade = Symbol<verdigo_fn>(library, "verdigo");
  auto exit = Symbol<verdigo_exit_fn>(library, "verdigo_exit");
  auto setHandle = Symbol<miSetModuleHandle_fn>(library, "miSetModuleHandle");
  const char* missing = version == nullptr     ? "verdigo_version"
                        : init == nullptr      ? "verdigo_init"
                        : shade == nullptr     ? "verdigo"
                        : exit == nullptr      ? "verdigo_exit"
                        : setHandle == nullptr ? "miSetModuleHandle"
                                               : nullptr;
  if (missing != nullptr) {
    dlclose(library);
    return "shader library " + path + " does not export " + missing;
  }

  // The shader binds the renderer's functions in the module it is handed: this library itself.
  const std::string selfPath = RendererLibraryPath();
  void* self = selfPath.empty() ? nullptr : dlopen(selfPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (self == nullptr) {
    dlclose(library);
    return "cannot find the renderer's own module for the shader library";
  }
  setHandle(self);
  const int got = version();
  if (got != VERDIGO_VERSION) {
    dlclose(library);
    dlclose(self);
    return "shader library " + path + " has version " + std::to_string(got) + ", expected " +
           std::to_string(VERDIGO_VERSION);
  }
  library_ = library;
  self_ = self;
  init_ = init;
  exit_ = exit;
  this->shade = shade;
  return {};
}

bool ShaderLibrary::InitShader() {
  miState state{};
  miBoolean requested = miFALSE;
  init_(&state, nullptr, &requested);
  return requested != miFALSE;
}

void ShaderLibrary::InitInstance(VerdigoParams* params) {
  miState state{};
  miBoolean unused = miFALSE;
  init_(&state, params, &unused);
}

void ShaderLibrary::ExitInstance(VerdigoParams* params) {
  miState state{};
  exit_(&state, params);
}

void ShaderLibrary::ExitShader() {
  miState state{};
  exit_(&state, nullptr);
}

}  // namespace gramora::render
