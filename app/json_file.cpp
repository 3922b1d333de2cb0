#include "app/json_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
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

// Scene files nest a few levels; the tree is copied and walked recursively, so a hostile depth
// would overflow the stack long before it meant anything.
constexpr int kMaxDepth = 256;

// The byte offset of the bracket that opens level kMaxDepth + 1, or npos when the text stays within
// kMaxDepth levels. Brackets inside strings do not count.
std::size_t TooDeepAt(const std::string& text) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxDepth) return i;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return std::string::npos;
}

// nlohmann's own tree builder, remembering where the parser stopped: a number too large for a double
// ("1e400") is reported as out_of_range, which carries no position of its own.
class PositionedDomParser : public nlohmann::detail::json_sax_dom_parser<nlohmann::json> {
 public:
  using json_sax_dom_parser::json_sax_dom_parser;

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& token, const Exception& ex) {
    stoppedAt = position;
    return json_sax_dom_parser::parse_error(position, token, ex);
  }

  std::size_t stoppedAt = 0;
};

}  // namespace

nlohmann::json ParseJsonText(const std::string& text, const std::string& source) {
  if (const std::size_t at = TooDeepAt(text); at != std::string::npos)
    throw InputError(source + ":" + Where(text, at + 1) + ": malformed JSON: nested deeper than " +
                     std::to_string(kMaxDepth) + " levels");
  nlohmann::json doc;
  PositionedDomParser parser(doc, true);
  try {
    nlohmann::json::sax_parse(text, &parser);
  } catch (const nlohmann::json::parse_error& e) {
    throw InputError(source + ":" + Where(text, e.byte) + ": malformed JSON: " + Reason(e.what()));
  } catch (const nlohmann::json::out_of_range& e) {
    const std::string what = e.what();  // "[json.exception.out_of_range.406] number overflow ..."
    throw InputError(source + ":" + Where(text, parser.stoppedAt) + ": malformed JSON: " +
                     what.substr(what.find("] ") == std::string::npos ? 0 : what.find("] ") + 2));
  }
  return doc;
}

nlohmann::json ReadJsonFile(const std::string& path) {
  // A folder opens as a stream and reads as empty text, which would pass for malformed JSON.
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw InputError("cannot read '" + path + "': it is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError("cannot read '" + path + "': " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError("cannot read '" + path + "': read error");
  return ParseJsonText(text.str(), path);
}
