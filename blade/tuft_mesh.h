// Tufts: a few blades growing from one point, each shaped by its own share of ranges. The grass
// bundle object and the lawn of tufts both make their tufts here.
#pragma once
#include "blade/blade_mesh.h"

// How many random values a tuft draws, and how many blades they can shape (seven values a blade).
inline constexpr int kTuftDraws = 200;
inline constexpr int kMaxTuftBlades = kTuftDraws / 7;

// The ranges the blades of one tuft take their shape from; each blade lands between a minimum and
// a maximum by its own random share (a minimum above its maximum is not corrected).
struct TuftRanges {
  float size = 1.0f;          // the largest blade size
  float sizeVariance = 0.0f;  // the most taken off a blade's size
  float stiffnessMin = 0.0f, stiffnessMax = 0.0f;
  float gravityMin = 0.0f, gravityMax = 0.0f;
  float weldFactorMin = 0.0f, weldFactorMax = 0.0f;
  int weldingsMin = 0, weldingsMax = 0;
  float rotationXMin = 0.0f, rotationXMax = 0.0f;  // radians
  float maxLength = 0.0f;
};

// The inputs of one blade from its seven random values r[0..6] (each 0 to 1): r0 turns it about
// the tuft's axis, r1 tilts it, r2 takes off size, r3 to r6 pick stiffness, gravity, weld factor
// and weldings. Every blade has thinning 1.25.
BladeParams TuftBladeParams(const TuftRanges& ranges, const float* r);

// Builds `blades` blades with BuildBladeMesh (blade k from randoms[7k .. 7k + 6]) and joins them
// into one mesh in blade order: vertices unchanged (all stand on the origin), faces shifted by the
// vertices before them with edges (on, on, off) and smoothing group 1, texture faces equal to the
// faces. At most count / 7 blades are built, so no value past `count` is read. No normals are
// built. An empty mesh when the arrays cannot be allocated.
Mesh BuildTuftMesh(const TuftRanges& ranges, const float* randoms, int count, int blades);
