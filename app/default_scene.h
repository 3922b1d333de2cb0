// The scene gramora builds when no scene file is given.
#pragma once

// The embedded default scene (JSON text): docs/examples/default.json, a mown lawn seen from eye
// height under the default sun and sky.
const char* DefaultSceneText();
