// What a scene may make gramora read or load. Scene and saved files are data from strangers: the
// files they name (bitmaps, vector fields, and the data files a field's description names) must lie
// beside the scene, in its folder or below, unless the user passes --allow-outside-paths; shader
// libraries are never given by path but named, and found only in the folder the user chose
// (beside gramora, or --shaders DIR). Every command, and every other front end, goes through here.
#pragma once
#include <string>

// The user's choices from the command line.
struct PathPolicy {
  bool allowOutsidePaths = false;  // scene-named files may lie anywhere
  std::string shaderDir;           // where shader libraries are found; empty: beside gramora
};

// Sets the policy for the whole process (and tells the plug-ins' SDK whether outside paths are allowed).
void SetPathPolicy(const PathPolicy& policy);
const PathPolicy& GetPathPolicy();

// `name` written in a scene, as an absolute path: relative names start from `baseDir`.
std::string ResolveScenePath(const std::string& name, const std::string& baseDir);

// The file a scene names, resolved against the scene's folder `baseDir` and checked: it must lie
// in that folder or below (unless outside paths are allowed) and, when it exists, be a regular file.
// `what` names the kind ("bitmap", "vector field"); throws InputError "WHERE: cannot read the WHAT
// 'PATH': REASON". A missing file passes; the caller reports it as it sees fit.
std::string SceneFile(const std::string& name, const std::string& baseDir, const std::string& what,
                      const std::string& where);

// Throws InputError unless `path` is a regular file that can be opened for reading; the message
// gives the system's reason ("No such file or directory").
void CheckReadableFile(const std::string& path, const std::string& what, const std::string& where);

// True for a shader library name without any folder: "verdigo" or "verdigo.so".
bool IsLibraryName(const std::string& name);

// Throws InputError "WHERE: ..." unless `name` is a library name; nothing is looked up or loaded.
void CheckShaderName(const std::string& name, const std::string& where);

// The path of the shader library `name` ("" for verdigo) in the shader folder; throws InputError
// for a path or a library that is not there.
std::string FindShaderLibrary(const std::string& name, const std::string& where);
