// Reading JSON files with errors that name the file, line and column, and writing them for people.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

// Parses the JSON file at `path`; throws InputError "PATH:LINE:COLUMN: ..." when it is malformed
// and "cannot read 'PATH': ..." when it cannot be opened.
nlohmann::json ReadJsonFile(const std::string& path);

// Parses JSON text, naming `source` in errors as ReadJsonFile does.
nlohmann::json ParseJsonText(const std::string& text, const std::string& source);

// The double a single-precision value is written as: the one nearest to the float's shortest
// decimal text, so a file shows 0.15 rather than 0.15000000596046448, unless that double would not
// round back to the float (then the float's exact value). Reading the text back as a double and
// rounding it to single precision gives the same float, bit for bit.
double ShortestDouble(float value);

// JSON text laid out for reading and diffs: two-space indentation, one key per line in the
// object's own order, and an array that holds no object on one line ([30, [140, 75, 0]]). Throws
// nlohmann's type_error for a string that is not UTF-8, as dump() does.
std::string FormatJson(const nlohmann::ordered_json& value);
