// Shader interface of the Gramora renderer: the types a shader library sees, the shading state,
// the renderer functions a shader may bind by name, and the declared parameter record of verdigo.
// This header is plain C-compatible data and declarations only; shader libraries include nothing else.
#pragma once
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Marks a function that a shader library or the renderer exports under its plain name. */
#define MI_EXPORT __attribute__((visibility("default")))

typedef int miBoolean;
typedef int miInteger;
typedef float miScalar;
typedef uint32_t miTag;

#define miFALSE 0
#define miTRUE 1
#define miNULLTAG 0u

/* A colour of four single-precision components; shaders compute r, g, b and set a. */
typedef struct miColor {
  miScalar r, g, b, a;
} miColor;

/* A point or direction in world space. */
typedef struct miVector {
  miScalar x, y, z;
} miVector;

/* The shader instance being evaluated: which function, and where its parameter ghost lives. */
typedef struct miShaderInstance {
  miTag function;       /* the shader function's tag in the renderer */
  miInteger ghost_offs; /* byte offset from a parameter to its ghost word; 0 when nothing is connected */
} miShaderInstance;

/* The shading state the renderer hands to a shader for one sample. */
typedef struct miState {
  miVector org;                   /* origin of the ray that reached this point */
  miVector dir;                   /* unit direction of that ray */
  miScalar dist;                  /* distance from org to point along dir */
  miVector point;                 /* the hit point */
  miVector normal;                /* interpolated shading normal, unit, facing the ray */
  miVector normal_geom;           /* geometric normal, unit, facing the ray */
  miVector* tex_list;             /* texture spaces at the hit point, null when the surface has none */
  miInteger tex_count;            /* number of texture spaces in tex_list */
  struct miState* child;          /* state filled in by the last probe or secondary ray */
  struct miState* parent;         /* state that spawned this one, null for eye rays */
  const miShaderInstance* shader; /* the shader instance being evaluated */
  miInteger reflection_level;     /* number of reflections on the path to this point */
  miTag instance;                 /* renderer tag of the object that was hit */
  void* renderer_private;         /* renderer's per-thread context; shaders never touch it */
} miState;

/* Signatures of the renderer functions a shader binds by name at run time. */
typedef miBoolean (*mi_trace_reflection_fn)(miColor* result, miState* state, miVector* dir);
typedef miBoolean (*mi_trace_probe_fn)(miState* state, miVector* dir, miVector* org);
typedef miBoolean (*mi_sample_light_fn)(miColor* color, miVector* dir, miScalar* dot_nl, miState* state, miTag light,
                                        miInteger* samples);
typedef miInteger (*mi_inclusive_lightlist_fn)(miInteger* n_lights, miTag** lights, miState* state);
typedef void* (*mi_phen_eval_fn)(miState* state, void* param);
typedef miScalar (*mi_fresnel_reflection_fn)(miState* state, miScalar ior_in, miScalar ior_out);
typedef void (*mi_reflection_dir_fn)(miVector* dir, miState* state);

/* The renderer's exports (defined by the renderer library, never linked by shaders). */
MI_EXPORT miBoolean mi_trace_reflection(miColor* result, miState* state, miVector* dir);
MI_EXPORT miBoolean mi_trace_probe(miState* state, miVector* dir, miVector* org);
MI_EXPORT miBoolean mi_sample_light(miColor* color, miVector* dir, miScalar* dot_nl, miState* state, miTag light,
                                    miInteger* samples);
MI_EXPORT miInteger mi_inclusive_lightlist(miInteger* n_lights, miTag** lights, miState* state);
MI_EXPORT void* mi_phen_eval(miState* state, void* param);
MI_EXPORT miScalar mi_fresnel_reflection(miState* state, miScalar ior_in, miScalar ior_out);
MI_EXPORT void mi_reflection_dir(miVector* dir, miState* state);

/* Declaration of the verdigo shader: its version and its parameter record, in declaration order.
   The light array follows the renderer's array convention: index of the first element, element
   count, then the elements (the record is allocated with room for all of them). */
#define VERDIGO_VERSION 2

typedef struct VerdigoParams {
  miColor tipColor;      /* base colour of the blade's upper part */
  miColor rootColor;     /* colour at the blade's root */
  miColor specularColor; /* colour of the highlight */
  miColor exposedColor;  /* colour the exposure term blends in */
  miScalar glossiness;   /* highlight exponent is 1 / max(1 - glossiness, 0.0001) */
  miScalar tipStart;     /* blade coordinate from which tipColor is reached in full */
  miScalar wetness;      /* >= 0: chance of a wet sample; < 0: strength of the exposure term */
  miInteger mode;        /* light-list mode; 1 and 2 ask the renderer for the list */
  miInteger i_light;     /* index of the first light used */
  miInteger n_light;     /* number of lights used */
  miTag light[1];        /* the light tags (variable length) */
} VerdigoParams;

/* Entry points of the verdigo shader library. */
typedef int (*verdigo_version_fn)(void);
typedef miBoolean (*verdigo_init_fn)(miState* state, VerdigoParams* params, miBoolean* instance_init_requested);
typedef miBoolean (*verdigo_fn)(miColor* result, miState* state, VerdigoParams* params);
typedef miBoolean (*verdigo_exit_fn)(miState* state, VerdigoParams* params);
typedef void (*miSetModuleHandle_fn)(void* handle);

#ifdef __cplusplus
}

static_assert(offsetof(VerdigoParams, tipColor) == 0);
static_assert(offsetof(VerdigoParams, rootColor) == 16);
static_assert(offsetof(VerdigoParams, specularColor) == 32);
static_assert(offsetof(VerdigoParams, exposedColor) == 48);
static_assert(offsetof(VerdigoParams, glossiness) == 64);
static_assert(offsetof(VerdigoParams, tipStart) == 68);
static_assert(offsetof(VerdigoParams, wetness) == 72);
static_assert(offsetof(VerdigoParams, mode) == 76);
static_assert(offsetof(VerdigoParams, i_light) == 80);
static_assert(offsetof(VerdigoParams, n_light) == 84);
static_assert(offsetof(VerdigoParams, light) == 88);
static_assert(sizeof(miColor) == 16 && sizeof(miTag) == 4 && sizeof(miInteger) == 4);
#endif
