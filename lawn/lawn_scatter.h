// Scattering a lawn as separate objects: when "Single Mesh?" is off, the end of a lawn's creation
// makes one GrassBlade or GrassBundle node per kept grid position over the dragged rectangle and
// groups them.
#pragma once
#include "sdk/geom.h"
#include "sdk/node.h"
#include "sdk/paramblock.h"
#include "sdk/texmap.h"

// Covers the rectangle between the two corners with the blade rollout's grid: eight draws per
// position (seven values, then the keep draw, kept or not, without reseeding), the height map's
// lift and slope, the probability map, and for each kept blade a GrassBlade node named
// `name` + "_Blade" (made unique) whose transform carries the vector field's bend and the position.
// The nodes are grouped, not selected, under `name` made unique. Returns the group head.
INode* ScatterBlades(IParamBlock2* pb, const Point3& firstCorner, const Point3& secondCorner, const MCHAR* name,
                     TimeValue t, Texmap* heightTexture, Texmap* probabilityTexture);

// The same with the tuft rollout's grid: four draws per position (offsets, blade count, keep) and
// for each kept tuft a GrassBundle node named `name` + "_Bundle" (its own constructor draws its
// 200 values), lifted by the height map, without slope or vector field.
INode* ScatterBundles(IParamBlock2* pb, const Point3& firstCorner, const Point3& secondCorner, const MCHAR* name,
                      TimeValue t, Texmap* heightTexture, Texmap* probabilityTexture);
