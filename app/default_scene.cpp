#include "app/default_scene.h"

const char* DefaultSceneText() {
  return R"json({
  "frame": 0,
  "nodes": [
    { "class": "GrassBlade", "name": "Blade01", "params": { "size": 1.2, "Gravity": 0.3, "#Weldings": 2 },
      "position": [0, 0, 0] },
    { "class": "GrassBlade", "name": "Blade02",
      "params": { "size": 1, "Gravity": 0.5, "Stiffness": 0.4, "Z rotation": 1.2 }, "position": [2, 1, 0] },
    { "class": "GrassBlade", "name": "Blade03", "create": { "from": [-2, 1], "to": [22, 1] },
      "params": { "Gravity": 0.15, "Weld factor": 0.5 } }
  ]
})json";
}
