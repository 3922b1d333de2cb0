#include "app/scene_params.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <set>

#include "app/errors.h"
#include "app/scene_texmaps.h"
#include "app/suggest.h"

using nlohmann::json;

namespace {

// The shortest text that reads back as the same number, so a range bound shows as the single-precision
// value the block holds ("1.65", not "1.64999998" or a rounded "6.28319").
template <typename T>
std::string Num(T v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// The block holds single-precision values, so a scene number is in range when the float it becomes is:
// the decimal 1.65 is the range's top 1.65f although the double 1.65 lies just above it.
bool InFloatRange(double v, float lo, float hi) {
  if (v >= lo && v <= hi) return true;
  if (!(std::fabs(v) <= std::numeric_limits<float>::max())) return false;
  const float f = static_cast<float>(v);
  return f >= lo && f <= hi;
}

std::string TypeName(const ParamDef& def) {
  if (def.IsFloat()) return def.flags & P_ANIMATABLE ? "a number or {\"keys\": [[frame, number], ...]}" : "a number";
  switch (def.type) {
    case TYPE_INT: return "a whole number";
    case TYPE_BOOL: return "true or false";
    case TYPE_POINT3: return "[x, y, z]";
    case TYPE_STRING:
    case TYPE_FILENAME: return "a string";
    case TYPE_TEXMAP: return "a map {\"bitmap\": PATH} or {\"procedural\": KIND}";
    default: return "a value of another type";
  }
}

[[noreturn]] void WrongType(const ParamDef& def, const json& value, const ParamSource& src) {
  throw InputError(src.where + ": parameter \"" + def.int_name + "\" (id " + std::to_string(def.id) + ") expects " +
                   TypeName(def) + ", not " + value.dump());
}

// The block clamps values into the range; a scene asking for more is reported, not silently cut.
float CheckedFloat(const ParamDef& def, const json& value, const ParamSource& src) {
  if (!value.is_number()) WrongType(def, value, src);
  const double v = value.get<double>();
  const float lo = def.range.lo, hi = def.range.hi;
  if (!InFloatRange(v, lo, hi)) {
    throw InputError(src.where + ": parameter \"" + def.int_name + "\" = " + Num(v) + " is outside its range " +
                     Num(lo) + " to " + Num(hi) + "; the parameter block clamps it to " + Num(v < lo ? lo : hi));
  }
  return static_cast<float>(v);
}

int CheckedInt(const ParamDef& def, const json& value, const ParamSource& src) {
  if (def.type == TYPE_BOOL) {
    if (value.is_boolean()) return value.get<bool>() ? TRUE : FALSE;
    if (value.is_number_integer() && (value.get<long long>() == 0 || value.get<long long>() == 1))
      return static_cast<int>(value.get<long long>());
    WrongType(def, value, src);
  }
  if (!value.is_number()) WrongType(def, value, src);
  const double v = value.get<double>();
  if (v != std::floor(v)) WrongType(def, value, src);
  CheckedFloat(def, value, src);  // the range check, on the whole number
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) WrongType(def, value, src);
  return static_cast<int>(v);
}

void SetKeys(IParamBlock2& block, const ParamDef& def, const json& keys, const ParamSource& src) {
  if (!def.IsFloat() || !(def.flags & P_ANIMATABLE))
    throw InputError(src.where + ": parameter \"" + std::string(def.int_name) + "\" is not animatable; give it one " +
                     "value instead of keys");
  if (!keys.is_array() || keys.empty())
    throw InputError(src.where + ": \"keys\" of parameter \"" + def.int_name +
                     "\" must be a non-empty list of [frame, value] pairs");
  block.ClearKeys(def.id);
  std::set<TimeValue> times;
  for (const json& k : keys) {
    if (!k.is_array() || k.size() != 2)
      throw InputError(src.where + ": each key of parameter \"" + def.int_name + "\" must be [frame, value], not " +
                       k.dump());
    const TimeValue t = FrameToTicks(k[0], src.where + ": key of parameter \"" + def.int_name + "\"");
    // A second key at the same tick would silently replace the first.
    if (!times.insert(t).second)
      throw InputError(src.where + ": parameter \"" + def.int_name + "\" has two keys at frame " + k[0].dump() +
                       " (keys fall on ticks of 1/" + std::to_string(GetTicksPerFrame()) + " frame)");
    if (!block.SetKey(def.id, t, CheckedFloat(def, k[1], src)))
      throw InputError(src.where + ": parameter \"" + std::string(def.int_name) + "\" refused the key " + k.dump());
  }
}

}  // namespace

TimeValue FrameToTicks(const json& frame, const std::string& where) {
  if (!frame.is_number()) throw InputError(where + ": a frame must be a number, not " + frame.dump());
  const double v = frame.get<double>();
  if (!(std::fabs(v) <= kMaxFrame)) {
    // JSON writes a NaN or an infinity (from --frame nan) as null; show the number as it came.
    throw InputError(where + ": frame " + (std::isfinite(v) ? frame.dump() : Num(v)) +
                     " is outside the time line (frames -12500000 to 12500000)");
  }
  return static_cast<TimeValue>(std::lround(v * GetTicksPerFrame()));
}

const ParamDef& FindParam(const ParamBlockDesc2& desc, const std::string& key, const ParamSource& src) {
  const bool numeric = !key.empty() && key.find_first_not_of("0123456789") == std::string::npos;
  if (numeric) {
    const ParamDef* def = key.size() <= 5 ? desc.GetParamDef(static_cast<ParamID>(std::stoi(key))) : nullptr;
    if (def) return *def;
  }
  std::vector<const ParamDef*> matches;
  std::vector<std::string> names;
  for (int i = 0; i < desc.Count(); ++i) {
    const ParamDef* def = desc.GetParamDefByIndex(i);
    names.push_back(def->int_name);
    if (key == def->int_name) matches.push_back(def);
  }
  if (matches.size() == 1) return *matches.front();
  if (matches.size() > 1) {
    std::vector<std::string> ids;
    for (const ParamDef* d : matches) ids.push_back(std::to_string(d->id));
    throw InputError(src.where + ": parameter name \"" + key + "\" is ambiguous: it names ids " +
                     QuotedList(ids, " and ") + "; use the id instead");
  }
  std::string message = src.where + ": unknown parameter \"" + key + "\"";
  if (numeric) message = src.where + ": no parameter has id " + key;
  const std::vector<std::string> near = NearestNames(key, names);
  if (!near.empty()) message += "; did you mean " + QuotedList(near) + "?";
  message += " (see: gramora params CLASS)";
  throw InputError(message);
}

void SetParamFromJson(IParamBlock2& block, const ParamDef& def, const json& value, const ParamSource& src) {
  BOOL ok = TRUE;
  if (value.is_object() && value.contains("keys") && def.type != TYPE_TEXMAP) {
    if (value.size() != 1)
      throw InputError(src.where + ": parameter \"" + std::string(def.int_name) + "\" takes {\"keys\": [...]} alone");
    SetKeys(block, def, value["keys"], src);
    return;
  }
  if (def.IsFloat()) {
    block.ClearKeys(def.id);
    ok = block.SetValue(def.id, 0, CheckedFloat(def, value, src));
  } else if (def.IsInt()) {
    ok = block.SetValue(def.id, 0, CheckedInt(def, value, src));
  } else if (def.IsString()) {
    if (!value.is_string()) WrongType(def, value, src);
    ok = block.SetValue(def.id, 0, value.get<std::string>().c_str());
  } else if (def.type == TYPE_POINT3) {
    if (!value.is_array() || value.size() != 3 || !value[0].is_number() || !value[1].is_number() ||
        !value[2].is_number())
      WrongType(def, value, src);
    ok = block.SetValue(def.id, 0, Point3(value[0].get<double>(), value[1].get<double>(), value[2].get<double>()));
  } else if (def.type == TYPE_TEXMAP) {
    if (value.is_null()) {
      ok = block.SetValue(def.id, 0, nullptr);
    } else {
      if (!value.is_object()) WrongType(def, value, src);
      Texmap* map = MakeTexmap(value, src.baseDir, src.where + ": parameter \"" + def.int_name + "\"");
      ok = block.SetValue(def.id, 0, map);
      if (!ok) map->MaybeAutoDelete();
    }
  } else {
    WrongType(def, value, src);
  }
  if (!ok)
    throw InputError(src.where + ": parameter \"" + std::string(def.int_name) + "\" refused the value " + value.dump());
}
