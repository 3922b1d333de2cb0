#include "app/json_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/errors.h"

namespace {

// nlohmann reports the byte count read when the error was found; the line and column of the last
// byte read are what an editor shows.
std::string Where(const std::string& text, std::size_t bytesRead) {
  std::size_t line = 1, column = 0;
  const std::size_t end = std::min(bytesRead, text.size());
  for (std::size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 0;
    } else {
      ++column;
    }
  }
  if (column == 0) column = 1;
  return std::to_string(line) + ":" + std::to_string(column);
}

// The parser's own text after its "[json.exception...] parse error at line L, column C: " prefix.
std::string Reason(const std::string& what) {
  const std::size_t colon = what.find(": ");
  std::string reason = colon == std::string::npos ? what : what.substr(colon + 2);
  if (reason.rfind("syntax error while parsing value - ", 0) == 0) reason.erase(0, 35);
  return reason;
}

}  // namespace

nlohmann::json ParseJsonText(const std::string& text, const std::string& source) {
  try {
    return nlohmann::json::parse(text);
  } catch (const nlohmann::json::parse_error& e) {
    throw InputError(source + ":" + Where(text, e.byte) + ": malformed JSON: " + Reason(e.what()));
  }
}

nlohmann::json ReadJsonFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError("cannot read '" + path + "': " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError("cannot read '" + path + "': read error");
  return ParseJsonText(text.str(), path);
}
