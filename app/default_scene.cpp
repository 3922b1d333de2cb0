#include "app/default_scene.h"

// A 40 x 40 lawn that a circular mower crosses from left to right over frames 0 to 30; with
// "Combine over time" on, frame 30 shows the whole mown trail.
const char* DefaultSceneText() {
  return R"json({
  "frame": 30,
  "nodes": [
    { "class": "Lawn", "name": "Lawn01",
      "params": { "11": 40, "12": 40, "# Blades X": 60, "# Blades Y": 60, "Blade gravity": 0.3 },
      "modifiers": [
        { "class": "LawnMower",
          "params": { "shape": 1, "Radius": 7, "Length": 0.1, "Combine over time": true },
          "gizmo": { "position": { "keys": [[0, [-16, 0, 0]], [30, [16, 0, 0]]] } } } ] }
  ]
})json";
}
