// Reads typed values out of one JSON object of the scene file's "render" section, remembering the
// first error with its key path ("render.camera.fov: expected a number").
#pragma once
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>

#include "render/renderer.h"

namespace gramora::render {

class Reader {
 public:
  Reader(const nlohmann::json& object, std::string path) : object_(object), path_(std::move(path)) {}

  // "" when the object has no key but the known ones, else the first unknown key's message.
  std::string Check(std::initializer_list<const char*> known) const {
    if (!object_.is_object()) return path_ + ": expected an object";
    for (auto it = object_.begin(); it != object_.end(); ++it) {
      bool found = false;
      for (const char* k : known) found = found || it.key() == k;
      if (!found) return path_ + "." + it.key() + ": unknown key";
    }
    return {};
  }

  bool Has(const char* key) const { return object_.contains(key); }
  const nlohmann::json& At(const char* key) const { return object_.at(key); }
  std::string Path(const char* key) const { return path_ + "." + key; }

  // Each reader leaves `out` alone when the key is absent or an error came before.
  void Number(const char* key, float& out, double lo = -std::numeric_limits<double>::max(),
              double hi = std::numeric_limits<double>::max()) {
    if (!error.empty() || !Has(key)) return;
    const nlohmann::json& v = At(key);
    if (!v.is_number()) return Fail(key, "expected a number");
    const double d = v.get<double>();
    if (d < lo || d > hi) return Fail(key, "must lie between " + Format(lo) + " and " + Format(hi));
    out = static_cast<float>(d);
  }

  void Integer(const char* key, int& out, long long lo, long long hi) {
    if (!error.empty() || !Has(key)) return;
    const nlohmann::json& v = At(key);
    if (!v.is_number_integer()) return Fail(key, "expected a whole number");
    const long long n = v.get<long long>();
    if (n < lo || n > hi) return Fail(key, "must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
    out = static_cast<int>(n);
  }

  void Boolean(const char* key, bool& out) {
    if (!error.empty() || !Has(key)) return;
    if (!At(key).is_boolean()) return Fail(key, "expected true or false");
    out = At(key).get<bool>();
  }

  void Text(const char* key, std::string& out) {
    if (!error.empty() || !Has(key)) return;
    if (!At(key).is_string()) return Fail(key, "expected a string");
    out = At(key).get<std::string>();
  }

  bool Triple(const char* key, float (&out)[3]) {
    if (!error.empty() || !Has(key)) return false;
    const nlohmann::json& v = At(key);
    if (!v.is_array() || v.size() != 3 || !v[0].is_number() || !v[1].is_number() || !v[2].is_number()) {
      Fail(key, "expected an array of three numbers");
      return false;
    }
    for (int i = 0; i < 3; ++i) out[i] = v[i].get<float>();
    return true;
  }

  void Colour(const char* key, Rgb& out) {
    float c[3];
    if (Triple(key, c)) out = {c[0], c[1], c[2]};
  }

  void Vector(const char* key, Vec3& out) {
    float c[3];
    if (Triple(key, c)) out = {c[0], c[1], c[2]};
  }

  void Fail(const char* key, const std::string& what) {
    if (error.empty()) error = Path(key) + ": " + what;
  }

  std::string error;

 private:
  static std::string Format(double d) {
    std::string s = std::to_string(d);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
  }

  const nlohmann::json& object_;
  std::string path_;
};

}  // namespace gramora::render
