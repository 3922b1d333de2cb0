// Reading JSON files with errors that name the file, line and column.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

// Parses the JSON file at `path`; throws InputError "PATH:LINE:COLUMN: ..." when it is malformed
// and "cannot read 'PATH': ..." when it cannot be opened.
nlohmann::json ReadJsonFile(const std::string& path);

// Parses JSON text, naming `source` in errors as ReadJsonFile does.
nlohmann::json ParseJsonText(const std::string& text, const std::string& source);
