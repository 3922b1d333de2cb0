// The example scenes that ship with gramora (docs/examples/), for `--example NAME` and
// `gramora examples`.
#pragma once
#include <string>
#include <vector>

// The folder of the examples: share/gramora/examples beside the program's folder, installed or
// in the build tree (the build copies docs/examples there).
std::string ExamplesDir();

// The names of the examples (their file names without ".json"), sorted.
std::vector<std::string> ExampleNames();

// The scene file of example `name`; throws InputError for a name that is not an example, naming
// the nearest ones and listing them all.
std::string ExamplePath(const std::string& name);
