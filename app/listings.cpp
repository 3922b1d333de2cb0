// `gramora plugins` and `gramora params CLASS`: what the loaded plug-ins offer, for people writing
// scene files.
#include <dlfcn.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/class_lookup.h"
#include "app/commands.h"
#include "app/errors.h"
#include "app/examples.h"
#include "app/host_session.h"
#include "sdk/paramdesc.h"

namespace {

std::string Text(const char* s) { return s ? s : "(none)"; }

std::string Hex(ULONG v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08x", v);
  return buf;
}

std::string Version(const WORD v[4]) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

std::string Number(float v) {
  if (v <= -3.0e38f) return "-inf";
  if (v >= 3.0e38f) return "inf";
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

const char* TypeName(ParamType2 t) {
  switch (t) {
    case TYPE_FLOAT: return "float";
    case TYPE_INT: return "int";
    case TYPE_POINT3: return "point3";
    case TYPE_BOOL: return "bool";
    case TYPE_ANGLE: return "angle";
    case TYPE_WORLD: return "world";
    case TYPE_STRING: return "string";
    case TYPE_FILENAME: return "filename";
    case TYPE_TEXMAP: return "texmap";
  }
  return "?";
}

std::string DefaultText(const ParamDef& d) {
  if (d.IsFloat()) return Number(d.def.f);
  if (d.type == TYPE_BOOL) return d.def.i ? "true" : "false";
  if (d.type == TYPE_INT) return std::to_string(d.def.i);
  if (d.type == TYPE_POINT3) {
    std::string text = "[";
    text += Number(d.def.p.x) + ", " + Number(d.def.p.y) + ", " + Number(d.def.p.z);
    return text += "]";
  }
  if (d.IsString()) {
    std::string text = "\"";
    text += d.def.s ? d.def.s : "";
    return text += "\"";
  }
  return "none";
}

std::string RangeText(const ParamDef& d) {
  if (!(d.IsFloat() || d.type == TYPE_INT)) return "-";
  if (d.range.lo <= -3.0e38f && d.range.hi >= 3.0e38f) return "any";
  return Number(d.range.lo) + " to " + Number(d.range.hi);
}

// The text a person sees for the control: its own caption (check boxes, radio buttons, buttons)
// or the text standing left of it on the same row (spinners; map buttons, beside their switch).
std::string ControlLabel(const ParamBlockDesc2& desc, const ParamDef& d, HINSTANCE module) {
  if (d.ui.type == TYPE_NO_CONTROL) return "(no control)";
  const RolloutDesc* rollout = desc.GetRolloutByMapID(d.map_id);
  if (!module || !module->resources || !rollout) return "";
  const DialogTemplate* dialog = module->resources->FindDialog(rollout->dialog);
  if (!dialog) return "";
  std::string own;
  // A map button's caption names the map it holds ("None"), not the parameter.
  for (int k = 0; d.ui.type != TYPE_TEXMAPBUTTON && k < d.NumControlIds(); ++k) {
    const DialogItem* item = dialog->Find(d.ui.ids[k]);
    if (item && item->text && *item->text) own += (own.empty() ? "" : " / ") + std::string(item->text);
  }
  if (!own.empty()) return own;
  const DialogItem* item = dialog->Find(d.ui.ids[0]);
  if (!item) return "";
  const DialogItem* best = nullptr;
  for (const DialogItem& label : dialog->items) {
    const bool sameRow = label.y < item->y + item->h && item->y < label.y + label.h;
    const bool text = label.kind == ControlKind::kStatic || label.kind == ControlKind::kCheckBox;
    if (text && sameRow && label.x < item->x && (!best || label.x > best->x)) best = &label;
  }
  return best && best->text ? best->text : "";
}

void PrintBlock(const ParamBlockDesc2& desc, HINSTANCE module) {
  std::printf("block %d \"%s\" (%d parameters)\n", desc.ID(), desc.InternalName(), desc.Count());
  std::printf("  %4s  %-30s %-8s %-10s %-20s %-5s %s\n", "id", "internal name", "type", "default", "range", "anim",
              "control label");
  for (int i = 0; i < desc.Count(); ++i) {
    const ParamDef& d = *desc.GetParamDefByIndex(i);
    const std::string name = std::string("\"") + d.int_name + "\"";
    std::printf("  %4d  %-30s %-8s %-10s %-20s %-5s %s\n", d.id, name.c_str(), TypeName(d.type), DefaultText(d).c_str(),
                RangeText(d).c_str(), (d.flags & P_ANIMATABLE) ? "yes" : "no", ControlLabel(desc, d, module).c_str());
  }
}

}  // namespace

int RunPlugins(const HostOptions& host) {
  HostSession session(host.pluginDir);
  if (session.Loader().Plugins().empty()) std::printf("no plug-ins in %s\n", session.PluginDir().c_str());
  for (const LoadedPlugin& p : session.Loader().Plugins()) {
    const std::string file = std::filesystem::path(p.module->path).filename().string();
    std::printf("%s (%s)\n", file.c_str(), p.module->path.c_str());
    std::printf("  description: %s\n", p.description.c_str());
    auto libVersion = reinterpret_cast<ULONG (*)()>(p.module->dl ? dlsym(p.module->dl, "LibVersion") : nullptr);
    if (libVersion) std::printf("  version: %s\n", Hex(libVersion()).c_str());
    if (p.module->resources) {
      const VersionResource& v = p.module->resources->Version();
      std::printf("  version resource: file %s, product %s\n", Version(v.file_version).c_str(),
                  Version(v.product_version).c_str());
      for (const auto& [key, text] : v.strings) std::printf("    %s: %s\n", key.c_str(), text.c_str());
    }
    std::printf("  classes:\n");
    for (ClassDesc* cd : p.classes) {
      // ClassName and Category may share the plug-in's one string buffer: copy each at once.
      const std::string name = Text(cd->ClassName());
      const std::string category = Text(cd->Category());
      std::printf("    %-14s internal %-12s category %-8s super %s (%s) class id %s, %s\n", name.c_str(),
                  ClassKey(cd).c_str(), category.c_str(), Hex(cd->SuperClassID()).c_str(),
                  SuperClassName(cd->SuperClassID()).c_str(), Hex(cd->ClassID().PartA()).c_str(),
                  Hex(cd->ClassID().PartB()).c_str());
    }
  }
  return 0;
}

int RunParams(const HostOptions& host, const std::string& className) {
  HostSession session(host.pluginDir);
  ClassDesc* cd = FindClassOrThrow(className, "params");
  const std::string name = Text(cd->ClassName());
  std::printf("%s (internal name %s, %s)\n", name.c_str(), ClassKey(cd).c_str(),
              SuperClassName(cd->SuperClassID()).c_str());
  auto* cd2 = dynamic_cast<ClassDesc2*>(cd);
  if (!cd2 || cd2->NumParamBlockDescs() == 0) {
    std::printf("no parameter blocks\n");
    return 0;
  }
  for (int b = 0; b < cd2->NumParamBlockDescs(); ++b) PrintBlock(*cd2->GetParamBlockDesc(b), cd->HInstance());
  return 0;
}

int RunExamples() {
  const std::vector<std::string> names = ExampleNames();
  if (names.empty()) std::printf("no examples in %s\n", ExamplesDir().c_str());
  for (const std::string& name : names)
    std::printf("%-12s %s\n", name.c_str(), (std::filesystem::path(ExamplesDir()) / (name + ".json")).c_str());
  return 0;
}
