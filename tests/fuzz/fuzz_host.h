// What every fuzz target shares: a host with the plug-ins loaded once, a folder of its own holding
// the files a scene may name (a height map, a vector field and its data), and bounds that keep one
// input from taking the machine (memory, passes), as gramora's own limits would.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The folder inputs are read from and written to; created, filled and set as the scene folder on
// first use. Loads the plug-ins beside the fuzz target on first use.
const std::string& Folder();

// After each input: deletes the scene's nodes and empties the plug-ins' log.
void Reset();

// The input as text.
inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Writes bytes to a file in Folder(); returns its path.
std::string WriteFile(const std::string& name, const void* data, std::size_t size);

}  // namespace fuzz
