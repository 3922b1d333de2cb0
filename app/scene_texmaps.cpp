#include "app/scene_texmaps.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>

#include "app/errors.h"
#include "app/json_file.h"
#include "app/path_policy.h"
#include "app/scene_params.h"

using nlohmann::json;

namespace {

// Deletes a map that was never handed to a block (the reference system frees it otherwise).
struct MapDeleter {
  void operator()(Texmap* m) const { m->DeleteThis(); }
};
using MapPtr = std::unique_ptr<Texmap, MapDeleter>;

BMM_Color_fl Color(const json& v, const std::string& where, const char* key) {
  // Outside 0 to 1 a colour means nothing to a map, and a component beyond a float would be saved as null.
  const bool ok =
      v.is_array() && (v.size() == 3 || v.size() == 4) && std::all_of(v.begin(), v.end(), [](const json& c) {
        return c.is_number() && c.get<double>() >= 0.0 && c.get<double>() <= 1.0;
      });
  if (!ok) throw InputError(where + ": map option \"" + key + "\" must be [r, g, b] (0 to 1), not " + v.dump());
  return {v[0].get<float>(), v[1].get<float>(), v[2].get<float>(), v.size() == 4 ? v[3].get<float>() : 1.0f};
}

json ColorJson(const BMM_Color_fl& c) {
  return json::array({ShortestDouble(c.r), ShortestDouble(c.g), ShortestDouble(c.b), ShortestDouble(c.a)});
}

// The noise size scales lattice coordinates that are taken as 64-bit integers; this bound keeps them
// exact and far from overflow.
constexpr double kMaxNoiseSize = 1e9;

float Number(const json& v, const std::string& where, const char* key) {
  if (!v.is_number() || !(std::fabs(v.get<double>()) <= kMaxNoiseSize))
    throw InputError(where + ": map option \"" + key + "\" must be a number from -1e9 to 1e9, not " + v.dump());
  return v.get<float>();
}

int Whole(const json& v, const std::string& where, const char* key) {
  const bool ok = v.is_number_integer() &&
                  (v.is_number_unsigned() ? v.get<std::uint64_t>() <= INT_MAX
                                          : v.get<std::int64_t>() >= INT_MIN && v.get<std::int64_t>() <= INT_MAX);
  if (!ok)
    throw InputError(where + ": map option \"" + key + "\" must be a whole number from " + std::to_string(INT_MIN) +
                     " to " + std::to_string(INT_MAX) + ", not " + v.dump());
  return v.get<int>();
}

[[noreturn]] void UnknownOption(const std::string& where, const std::string& kind, const std::string& key,
                                const char* known) {
  throw InputError(where + ": the " + kind + " map has no option \"" + key + "\" (it has " + known + ")");
}

Texmap* MakeBitmap(const json& spec, const std::string& baseDir, const std::string& where) {
  if (spec.size() != 1) throw InputError(where + ": a bitmap map takes only {\"bitmap\": PATH}");
  if (!spec["bitmap"].is_string()) throw InputError(where + ": \"bitmap\" must be a file path");
  const std::string path = SceneFile(spec["bitmap"].get<std::string>(), baseDir, "bitmap", where);
  MapPtr map(new BitmapTex());
  std::string why;
  if (!static_cast<BitmapTex*>(map.get())->SetMapName(path.c_str(), &why))
    throw InputError(where + ": cannot read the bitmap '" + path + "': " + why);
  return map.release();
}

}  // namespace

Texmap* MakeTexmap(const json& spec, const std::string& baseDir, const std::string& where) {
  if (spec.contains("bitmap")) return MakeBitmap(spec, baseDir, where);
  if (!spec.contains("procedural") || !spec["procedural"].is_string())
    throw InputError(where + ": a map is {\"bitmap\": PATH} or {\"procedural\": KIND, ...}, not " + spec.dump());
  const std::string kind = spec["procedural"].get<std::string>();
  MapPtr map(CreateProceduralTex(kind));
  if (!map)
    throw InputError(where + ": unknown procedural map \"" + kind +
                     "\" (known: \"constant\", \"gradient\", \"checker\", \"noise\")");
  for (const auto& [key, v] : spec.items()) {
    if (key == "procedural") continue;
    if (auto* c = dynamic_cast<ConstantTex*>(map.get())) {
      if (key != "color") UnknownOption(where, kind, key, "\"color\"");
      c->color = Color(v, where, "color");
    } else if (auto* g = dynamic_cast<GradientTex*>(map.get())) {
      if (key == "color1") g->color1 = Color(v, where, "color1");
      else if (key == "color2") g->color2 = Color(v, where, "color2");
      else if (key == "direction" && v == "u") g->direction = GradientTex::kAlongU;
      else if (key == "direction" && v == "v") g->direction = GradientTex::kAlongV;
      else if (key == "direction") throw InputError(where + ": map option \"direction\" is \"u\" or \"v\"");
      else UnknownOption(where, kind, key, "\"color1\", \"color2\", \"direction\"");
    } else if (auto* k = dynamic_cast<CheckerTex*>(map.get())) {
      if (key == "color1") k->color1 = Color(v, where, "color1");
      else if (key == "color2") k->color2 = Color(v, where, "color2");
      else if (key == "tiles") k->tiles = Whole(v, where, "tiles");
      else UnknownOption(where, kind, key, "\"color1\", \"color2\", \"tiles\"");
    } else if (auto* n = dynamic_cast<NoiseTex*>(map.get())) {
      if (key == "color1") n->color1 = Color(v, where, "color1");
      else if (key == "color2") n->color2 = Color(v, where, "color2");
      else if (key == "size") n->size = Number(v, where, "size");
      else if (key == "seed") n->seed = Whole(v, where, "seed");
      else UnknownOption(where, kind, key, "\"color1\", \"color2\", \"size\", \"seed\"");
    }
  }
  return map.release();
}

json DescribeTexmap(Texmap* map) {
  if (!map) return nullptr;
  if (auto* b = dynamic_cast<BitmapTex*>(map)) return {{"bitmap", b->GetMapName()}};
  if (auto* c = dynamic_cast<ConstantTex*>(map)) return {{"procedural", "constant"}, {"color", ColorJson(c->color)}};
  if (auto* g = dynamic_cast<GradientTex*>(map))
    return {{"procedural", "gradient"},
            {"color1", ColorJson(g->color1)},
            {"color2", ColorJson(g->color2)},
            {"direction", g->direction == GradientTex::kAlongV ? "v" : "u"}};
  if (auto* k = dynamic_cast<CheckerTex*>(map))
    return {{"procedural", "checker"},
            {"color1", ColorJson(k->color1)},
            {"color2", ColorJson(k->color2)},
            {"tiles", k->tiles}};
  if (auto* n = dynamic_cast<NoiseTex*>(map))
    return {{"procedural", "noise"},
            {"color1", ColorJson(n->color1)},
            {"color2", ColorJson(n->color2)},
            {"size", ShortestDouble(n->size)},
            {"seed", n->seed}};
  throw InputError("cannot save a texture map of an unknown kind");
}
