// Pieces of a scene file shared by building, restoring and saving: parameters of an object's
// block, transforms, modifier gizmos and the load step.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "app/scene_params.h"
#include "sdk/modifier.h"

// Sets the parameters `params` names (internal names or decimal ids) on the object's parameter
// block: texture maps first (assigning a map switches its enable parameter on), then the others in
// id order. Throws InputError for anything the block does not accept.
void ApplyParams(Animatable* obj, const nlohmann::json& params, const ParamSource& src);

// Every saved parameter of the object's block, keyed by decimal id in id order: numbers (single
// precision values in their shortest form), booleans, strings, [x, y, z], {"keys": [[frame, value],
// ...]} and maps.
nlohmann::ordered_json SaveParams(Animatable* obj);

// A transform from [[ax, ay, az], [bx, by, bz], [cx, cy, cz], [tx, ty, tz]] (rows: three axes,
// then the translation).
Matrix3 ParseTransform(const nlohmann::json& rows, const std::string& where);
nlohmann::ordered_json TransformJson(const Matrix3& m);
// [x, y, z] as a point.
Point3 ParsePoint(const nlohmann::json& v, const std::string& where);

// Places the modifier's gizmo: {"position": [x, y, z]} or {"position": {"keys": [[frame, [x, y, z]], ...]}},
// in the object's own space.
void ApplyGizmo(Modifier* mod, const nlohmann::json& gizmo, const std::string& where);
// The gizmo in that form, or null for a modifier without one.
nlohmann::ordered_json SaveGizmo(Modifier* mod);

// Deletes an object that never reached a node when building or restoring it fails half-way.
struct PendingObject {
  ReferenceTarget* obj;
  ~PendingObject() {
    if (obj) obj->DeleteThis();
  }
};

// Runs the object's Load with the host's loader, then the post-load callbacks it registered.
void LoadObject(ReferenceMaker* obj);

// Throws InputError naming the first key of `object` that is not in `allowed`.
void CheckKeys(const nlohmann::json& object, std::initializer_list<const char*> allowed, const std::string& where);
