// Evaluating the host scene for export and rendering.
#pragma once
#include "app/export_scene.h"
#include "sdk/time.h"

// Every node of the host scene, depth first, evaluated through its pipeline (INode::EvalWorldState)
// at t: meshes in world space (the node's object transform applied) with normals built; group
// heads as parents of their members.
ExportScene EvaluateScene(TimeValue t, const ProgressFn& progress);
