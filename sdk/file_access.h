// Which files may be opened because another file names them. A file that names others (a vector
// field's description naming its data files, a scene naming bitmaps) may be data from a stranger:
// what it names must lie in its own folder or below, unless the host allows paths outside.
#pragma once
#include <string>

// True when `path`, with every symbolic link followed, is `folder` or lies below it. A path that
// cannot be resolved lies nowhere.
bool PathLiesWithin(const std::string& path, const std::string& folder);

// True when `path` lies within `folder` or the host allows paths outside (SetOutsidePathsAllowed).
bool NamedPathAllowed(const std::string& path, const std::string& folder);

// The host's choice, for the whole process; off until a host turns it on. `howToAllow` is the
// host's advice appended to refusals ("--allow-outside-paths reads it").
void SetOutsidePathsAllowed(bool allowed, const std::string& howToAllow = "");
bool OutsidePathsAllowed();

// The text of a refusal: "'PATH' lies outside the folder 'FOLDER'" and the host's advice.
std::string OutsidePathRefusal(const std::string& path, const std::string& folder);
