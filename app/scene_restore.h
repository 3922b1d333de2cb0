// Loading the host's save form.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

class INode;

// Makes one saved node (or group) in the host scene: Create(TRUE), the saved parameters, name,
// transform and modifiers restored, then each object's Load followed by the post-load callbacks
// it registered, node by node, so the scene comes back in the order it was first made.
INode* RestoreEntry(const nlohmann::json& entry, const std::string& where, const std::string& baseDir);
