#include "sdk/module.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "sdk/classdir.h"
#include "sdk/host.h"
#include "sdk/plugapi.h"

HINSTANCE MakeModuleRecord(const std::string& path, void* dl, const ResourceTable* resources) {
  auto* m = new HINSTANCE__();
  m->path = path;
  m->dl = dl;
  m->resources = resources;
  return m;
}

void FreeModuleRecord(HINSTANCE module) { delete module; }

namespace {
struct Exports {
  LibDescriptionFn description = nullptr;
  LibNumberClassesFn num_classes = nullptr;
  LibClassDescFn class_desc = nullptr;
  LibVersionFn version = nullptr;
  DllMainFn dll_main = nullptr;
  LibResourcesFn resources = nullptr;
};

template <class F>
F Sym(void* dl, const char* name) {
  return reinterpret_cast<F>(dlsym(dl, name));
}

// True when the node's object or one of its modifiers is of a class of the module.
bool UsesModule(INode* node, HINSTANCE module) {
  const ClassDirectory& dir = GetClassDirectory();
  auto of_module = [&](Animatable* a) {
    if (!a) return false;
    ClassDesc* cd = dir.FindClass(a->SuperClassID(), a->ClassID());
    return cd && dir.ModuleOf(cd) == module;
  };
  if (of_module(node->GetObjectRef())) return true;
  for (int i = 0; i < node->NumModifiers(); ++i)
    if (of_module(node->GetModifier(i))) return true;
  return false;
}
}  // namespace

PluginLoader::~PluginLoader() { UnloadAll(); }

HINSTANCE PluginLoader::Load(const std::string& path, std::string& error) {
  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    const char* why = dlerror();
    error = path + ": not a plug-in (" + (why ? why : "cannot be opened") + ")";
    return nullptr;
  }
  Exports ex;
  ex.description = Sym<LibDescriptionFn>(dl, "LibDescription");
  ex.num_classes = Sym<LibNumberClassesFn>(dl, "LibNumberClasses");
  ex.class_desc = Sym<LibClassDescFn>(dl, "LibClassDesc");
  ex.version = Sym<LibVersionFn>(dl, "LibVersion");
  ex.dll_main = Sym<DllMainFn>(dl, "DllMain");
  ex.resources = Sym<LibResourcesFn>(dl, kResourceSymbol);
  const char* missing = !ex.description   ? "LibDescription"
                        : !ex.num_classes ? "LibNumberClasses"
                        : !ex.class_desc  ? "LibClassDesc"
                        : !ex.version     ? "LibVersion"
                        : !ex.dll_main    ? "DllMain"
                                          : nullptr;
  if (missing) {
    dlclose(dl);
    error = path + ": not a plug-in (no export " + missing + ")";
    return nullptr;
  }
  HINSTANCE module = MakeModuleRecord(path, dl, ex.resources ? ex.resources() : nullptr);
  ex.dll_main(module, DLL_PROCESS_ATTACH, nullptr);
  ULONG version = ex.version();
  if (version != POLYVALE_SDK_VERSION) {
    char buf[128];
    std::snprintf(buf, sizeof buf, ": plug-in built for SDK version 0x%08X, this host is 0x%08X",
                  static_cast<unsigned>(version), static_cast<unsigned>(POLYVALE_SDK_VERSION));
    error = path + buf;
    ex.dll_main(module, DLL_PROCESS_DETACH, nullptr);
    dlclose(dl);
    FreeModuleRecord(module);
    return nullptr;
  }
  LoadedPlugin p;
  p.module = module;
  if (const char* d = ex.description()) p.description = d;
  int n = ex.num_classes();
  for (int i = 0; i < n; ++i) {
    ClassDesc* cd = ex.class_desc(i);
    if (cd && GetClassDirectory().AddClass(cd, module)) p.classes.push_back(cd);
  }
  plugins_.push_back(std::move(p));
  return module;
}

int PluginLoader::LoadFolder(const std::string& dir, std::vector<std::string>& errors) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.path().extension() == ".dlo") files.push_back(e.path().string());
  if (ec) {
    errors.push_back(dir + ": cannot list the plug-in folder (" + ec.message() + ")");
    return 0;
  }
  std::sort(files.begin(), files.end());
  int loaded = 0;
  for (const std::string& f : files) {
    std::string err;
    if (Load(f, err)) ++loaded;
    else errors.push_back(err);
  }
  return loaded;
}

void PluginLoader::Unload(HINSTANCE module) {
  auto it = std::find_if(plugins_.begin(), plugins_.end(), [&](const LoadedPlugin& p) { return p.module == module; });
  if (it == plugins_.end()) return;
  // Objects whose code is about to go away go first.
  Host& host = TheHost();
  for (INode* n : host.AllNodes())
    if (UsesModule(n, module)) {
      GetCommandPanel().RemoveAllObjectPages();
      break;
    }
  bool again = true;
  while (again) {
    again = false;
    for (INode* n : host.AllNodes())
      if (UsesModule(n, module)) {
        host.DeleteNode(n);
        again = true;
        break;
      }
  }
  GetClassDirectory().RemoveModule(module);
  if (auto dll_main = Sym<DllMainFn>(module->dl, "DllMain")) dll_main(module, DLL_PROCESS_DETACH, nullptr);
  dlclose(module->dl);
  FreeModuleRecord(module);
  plugins_.erase(it);
}

void PluginLoader::UnloadAll() {
  while (!plugins_.empty()) Unload(plugins_.back().module);
}
