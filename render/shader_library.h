// The verdigo shader library as the renderer loads it: dlopen, the exported entry points, the
// version check, and the renderer's own module handle handed over through miSetModuleHandle.
#pragma once
#include <string>

#include "render/shader_interface.h"

namespace gramora::render {

class ShaderLibrary {
 public:
  ShaderLibrary() = default;
  ~ShaderLibrary();
  ShaderLibrary(const ShaderLibrary&) = delete;
  ShaderLibrary& operator=(const ShaderLibrary&) = delete;

  // Loads the library at path (empty: verdigo.so beside the renderer library); "" or an error.
  std::string Load(const std::string& path);
  bool Loaded() const { return library_ != nullptr; }

  // Shader-wide init; returns whether the shader asked for per-instance init calls too.
  bool InitShader();
  void InitInstance(VerdigoParams* params);
  void ExitInstance(VerdigoParams* params);
  void ExitShader();

  verdigo_fn shade = nullptr;

 private:
  void* library_ = nullptr;
  void* self_ = nullptr;
  verdigo_init_fn init_ = nullptr;
  verdigo_exit_fn exit_ = nullptr;
};

// Folder of the renderer library itself (where verdigo.so is installed beside it).
std::string RendererLibraryFolder();

}  // namespace gramora::render
