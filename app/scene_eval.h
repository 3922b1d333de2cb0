// Evaluating the host scene for export and rendering.
#pragma once
#include "app/export_scene.h"
#include "sdk/time.h"

// What a command does with the evaluated scene, for the memory estimate.
enum class PeakWork { kSave, kExport, kRender };

// How many copies of an evaluated mesh gramora holds at its peak, all told, as measured (see
// docs/performance.md). The SDK's peak estimate (EstimatePeakBytes) multiplies a mesh by this
// number, so it is changed here when copies come or go.
unsigned PeakMeshCopies(PeakWork work);

// Where an evaluation spent its time, in seconds.
struct EvaluationTimes {
  double build = 0;      // objects building their meshes, and the check that they are finite
  double modifiers = 0;  // conversion to triangle objects and the modifier stacks
};

// Every node of the host scene, depth first, evaluated through its pipeline (INode::EvalWorldState)
// at t: each node borrows its evaluated mesh (the object's own, or the pipeline's copy that the
// modifiers changed) and carries its object transform; nothing is copied. The meshes stay valid
// until a node is evaluated again or deleted. Group heads are parents of their members. What a
// plug-in refused while a node was evaluated (a lawn too large to hold) is thrown as InputError
// naming the node.
ExportScene EvaluateScene(TimeValue t, const ProgressFn& progress, EvaluationTimes* times = nullptr);
