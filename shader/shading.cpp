#include "shader/shading.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "shader/binding.h"
#include "shader/r250.h"

namespace gramora::verdigo {

namespace {

constexpr int kProbes = 16;
constexpr float kProbeReach = 100.0f;
// A renderer that keeps answering "one more sample" must not hang the shader.
constexpr int kMaxSamplesPerLight = 1 << 16;

struct Rgb {
  float r, g, b;
};

Rgb ToRgb(const miColor& c) { return {c.r, c.g, c.b}; }
Rgb operator*(float s, const Rgb& c) { return {s * c.r, s * c.g, s * c.b}; }
Rgb operator+(const Rgb& a, const Rgb& b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

miVector Add(const miVector& a, const miVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
miVector Sub(const miVector& a, const miVector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
miVector Scale(float s, const miVector& a) { return {s * a.x, s * a.y, s * a.z}; }
float Dot(const miVector& a, const miVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
miVector Cross(const miVector& a, const miVector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Divides by the length when it is not 0; a zero vector stays zero.
void Normalise(miVector& v) {
  const float len2 = v.x * v.x + v.y * v.y + v.z * v.z;
  if (len2 != 0.0f) {
    const float len = std::sqrt(len2);
    v.x /= len;
    v.y /= len;
    v.z /= len;
  }
}

// The renderer's parameter rule: a field whose ghost word is set is read where mi_phen_eval says.
// A failed evaluation (null) falls back to the field itself rather than reading through null.
template <typename T>
T* Evaluate(miState* state, T* field) {
  const int ghost = state->shader != nullptr ? state->shader->ghost_offs : 0;
  if (ghost != 0) {
    std::int32_t word = 0;
    std::memcpy(&word, reinterpret_cast<const char*>(field) + ghost, sizeof(word));
    if (word != 0) {
      void* value = PhenEval(state, field);
      if (value != nullptr) return static_cast<T*>(value);
    }
  }
  return field;
}

// Two unit vectors completing the unit normal n to a right-handed orthonormal frame.
void Frame(const miVector& n, miVector& t, miVector& b) {
  const float sign = std::copysign(1.0f, n.z);
  const float a = -1.0f / (sign + n.z);
  const float c = n.x * n.y * a;
  t = {1.0f + sign * n.x * n.x * a, sign * c, -sign * n.x};
  b = {c, sign + n.y * n.y * a, -n.y};
}

// Offset of the probe origin along the normal, scaled to the point's magnitude so it clears the
// surface in float precision at any scene scale.
float ProbeOffset(const miVector& p) {
  const float m = std::fmax(std::fabs(p.x), std::fmax(std::fabs(p.y), std::fabs(p.z)));
  return 1e-4f * (1.0f + m);
}

// Share of the probes that leave the surface without hitting anything within reach, as
// 1 - 0.0625 per blocked probe; draws holds r1, r2 for each probe in turn.
float Visibility(miState* state, const miVector& n, const float* draws) {
  miVector tp, bp;
  Frame(n, tp, bp);
  const miVector origin = Add(state->point, Scale(ProbeOffset(state->point), n));
  float visibility = 1.0f;
  for (int i = 0; i < kProbes; ++i) {
    const float r1 = draws[2 * i];
    const float r2 = draws[2 * i + 1];
    const float theta = static_cast<float>(std::asin(std::sqrt(static_cast<double>(r1))));
    const float phi = static_cast<float>(static_cast<double>(r2) * 6.283185307179586);
    const miVector around = Add(Scale(std::cos(phi), tp), Scale(std::sin(phi), bp));
    miVector d = Add(Scale(std::cos(theta), n), Scale(std::sin(theta), around));
    miVector o = origin;
    if (TraceProbe(state, &d, &o) == 1 && state->child != nullptr) {
      const miVector gap = Sub(state->child->point, origin);
      if (std::sqrt(Dot(gap, gap)) < kProbeReach) visibility -= 0.0625f;
    }
  }
  return visibility;
}

}  // namespace

void ShadeGrass(miColor* result, miState* state, VerdigoParams* params) {
  if (result == nullptr) return;
  *result = {0.0f, 0.0f, 0.0f, 1.0f};
  if (state == nullptr || params == nullptr) return;

  // 1. Parameters, in declaration-evaluation order.
  const Rgb tipColor = ToRgb(*Evaluate(state, &params->tipColor));
  const Rgb specularColor = ToRgb(*Evaluate(state, &params->specularColor));
  const Rgb rootColor = ToRgb(*Evaluate(state, &params->rootColor));
  const Rgb exposedColor = ToRgb(*Evaluate(state, &params->exposedColor));
  const float glossiness = *Evaluate(state, &params->glossiness);
  const float tipStart = *Evaluate(state, &params->tipStart);
  const float wetness = *Evaluate(state, &params->wetness);
  const int mode = *Evaluate(state, &params->mode);
  const int iLight = *Evaluate(state, &params->i_light);
  const int nLight = *Evaluate(state, &params->n_light);
  miTag* lightArray = Evaluate(state, &params->light[0]);
  // A negative first index would read before the array: such a list is empty.
  miTag* lights = iLight >= 0 ? lightArray + iLight : nullptr;
  miInteger lightCount = lights != nullptr ? nLight : 0;

  // Blade coordinates; a surface without a texture space shades as u = v = w = 0.
  const miVector t = state->tex_list != nullptr ? state->tex_list[0] : miVector{0.0f, 0.0f, 0.0f};
  const float v = t.y;
  const float w = t.z;
  const miVector n = state->normal;

  // 2. Surface axis halfway between the texture direction in the surface and its perpendicular.
  miVector tangent = Sub(t, Scale(Dot(n, t), n));
  Normalise(tangent);
  miVector bitangent = Cross(n, tangent);
  Normalise(bitangent);
  Normalise(tangent);
  miVector axis = Add(tangent, bitangent);
  Normalise(axis);

  // 3. Highlight exponent.
  const float exponent = 1.0f / std::fmax(1.0f - glossiness, 0.0001f);

  // 4. Light list: modes 1 and 2 both take the renderer's inclusive list.
  if (mode == 1 || mode == 2) InclusiveLightlist(&lightCount, &lights, state);
  if (lights == nullptr) lightCount = 0;

  // All draws of this sample in one consecutive run: the wet test, then r1, r2 per probe.
  float draws[1 + 2 * kProbes];
  const bool exposure = wetness < 0.0f;
  ShaderRandom().drawBatch(draws, exposure ? 1 + 2 * kProbes : 1);

  // 5. Wet test.
  float fresnel = 0.0f;
  Rgb base = tipColor;
  if (wetness > draws[0]) {
    const float s = std::fmin(2.0f * (1.0f - wetness), 1.0f);
    fresnel = std::fmin(FresnelReflection(state, 1.0f, 1.33f), 1.0f);
    base = s * tipColor;
  }

  // 6. Reflection direction, for every sample.
  miVector reflectDir = {0.0f, 0.0f, 0.0f};
  ReflectionDir(&reflectDir, state);

  // 7. Exposure, pulling the colour towards exposedColor where the surroundings are open.
  Rgb highlight = specularColor;
  if (exposure) {
    const float visibility = Visibility(state, n, draws + 1);
    const float top = w > 0.0f ? w + 0.001f : 1.001f;
    const double numerator = std::fabs(static_cast<double>(wetness)) * (static_cast<double>(visibility) * 0.25);
    const double denominator = static_cast<double>(top) - static_cast<double>(v);
    // At the very top (top - v = 0) the term is at its full strength, unless nothing is visible.
    float e = denominator != 0.0 ? static_cast<float>(numerator / denominator) : (numerator > 0.0 ? 1.0f : 0.0f);
    e = std::fmin(e, 1.0f);
    base = (1.0f - e) * base + e * exposedColor;
    highlight = (1.0f - e) * specularColor;
  }

  // 8. Colour along the blade. Only a tipStart of (plus or minus) zero divides by zero (NaN on the
  // root row): it means the tip colour from the root on. A negative one follows the formula.
  const float h = tipStart != 0.0f ? std::fmin(v / tipStart, 1.0f) : 1.0f;
  const Rgb diffuse = h * base + (1.0f - h) * rootColor;

  // 9. Lights, each averaged over the samples the renderer gives.
  const float dry = 1.0f - fresnel;
  Rgb total = {0.0f, 0.0f, 0.0f};
  for (miInteger i = 0; i < lightCount; ++i) {
    Rgb sum = {0.0f, 0.0f, 0.0f};
    miInteger samples = 0;
    miColor lightColour = {0.0f, 0.0f, 0.0f, 0.0f};
    miVector l = {0.0f, 0.0f, 0.0f};
    miScalar dotNl = 0.0f;
    for (int guard = 0; guard < kMaxSamplesPerLight; ++guard) {
      if (!SampleLight(&lightColour, &l, &dotNl, state, lights[i], &samples)) break;
      Normalise(l);
      const float la = Dot(l, axis);
      const float kd = 1.0f - std::sqrt(la * la);
      if (kd > 0.0f) {
        miVector half = Sub(l, state->dir);
        Normalise(half);
        const float ks = std::pow(std::fmax(Dot(n, half), 0.0f), exponent);
        sum.r += (ks * highlight.r + kd * diffuse.r) * dry * lightColour.r;
        sum.g += (ks * highlight.g + kd * diffuse.g) * dry * lightColour.g;
        sum.b += (ks * highlight.b + kd * diffuse.b) * dry * lightColour.b;
      }
    }
    if (samples > 0) {
      const float count = static_cast<float>(samples);
      total = total + Rgb{sum.r / count, sum.g / count, sum.b / count};
    }
  }

  // 10. Reflection of the wet film.
  if (fresnel > 0.0f && Dot(reflectDir, state->normal_geom) > 0.0f) {
    miColor reflected = {0.0f, 0.0f, 0.0f, 0.0f};
    TraceReflection(&reflected, state, &reflectDir);
    total = total + fresnel * ToRgb(reflected);
  }

  // 11. Result with alpha 1.
  *result = {total.r, total.g, total.b, 1.0f};
}

}  // namespace gramora::verdigo
