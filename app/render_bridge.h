// Hands evaluated scene meshes to the renderer.
#pragma once
#include "app/export_scene.h"
#include "render/renderer.h"

// The renderer's scene for `scene`: one grass mesh per node with faces, in world space, with one
// normal and one (u, v, w) per vertex (corners welded as the exporters do, run by run on up to
// `threads` workers, 0: one per core).
gramora::render::Scene ToRenderScene(const ExportScene& scene, int threads = 0);
