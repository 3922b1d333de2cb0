// The scene gramora builds when no scene file is given.
#pragma once

// The embedded default scene (JSON text).
const char* DefaultSceneText();
