#include "app/json_file.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

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

// The byte offset of the opening quote of the `index`-th object key (1-based) in the text, in the
// order the parser meets them: a string followed by a colon. npos when there is no such key.
std::size_t KeyOffset(const std::string& text, std::size_t index) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '"') continue;
    const std::size_t start = i;
    for (++i; i < text.size() && text[i] != '"'; ++i)
      if (text[i] == '\\') ++i;
    std::size_t after = i + 1;
    while (after < text.size() && std::strchr(" \t\r\n", text[after])) ++after;
    if (after < text.size() && text[after] == ':' && ++seen == index) return start;
  }
  return std::string::npos;
}

// nlohmann's own tree builder, remembering where the parser stopped: a number too large for a double
// ("1e400") is reported as out_of_range, which carries no position of its own. It also stops at a
// key given twice in one object, which the tree would keep only once, silently dropping a value.
class PositionedDomParser : public nlohmann::detail::json_sax_dom_parser<nlohmann::json> {
 public:
  using json_sax_dom_parser::json_sax_dom_parser;

  template <class Exception>
  bool parse_error(std::size_t position, const std::string& token, const Exception& ex) {
    stoppedAt = position;
    return json_sax_dom_parser::parse_error(position, token, ex);
  }
  bool start_object(std::size_t size) {
    keys_.emplace_back();
    return json_sax_dom_parser::start_object(size);
  }
  bool end_object() {
    keys_.pop_back();
    return json_sax_dom_parser::end_object();
  }
  bool key(std::string& name) {
    ++keysSeen_;
    if (!keys_.back().insert(name).second) {
      duplicate = name;
      duplicateIndex = keysSeen_;
      return false;
    }
    return json_sax_dom_parser::key(name);
  }

  std::size_t stoppedAt = 0;
  std::string duplicate;           // the key given twice, when the parser stopped there
  std::size_t duplicateIndex = 0;  // which key of the text it was (1-based)

 private:
  std::vector<std::set<std::string>> keys_;  // the keys of every object still open
  std::size_t keysSeen_ = 0;
};

}  // namespace

nlohmann::json ParseJsonText(const std::string& text, const std::string& source) {
  if (const std::size_t at = TooDeepAt(text); at != std::string::npos)
    throw InputError(source + ":" + Where(text, at + 1) + ": malformed JSON: nested deeper than " +
                     std::to_string(kMaxDepth) + " levels");
  nlohmann::json doc;
  PositionedDomParser parser(doc, true);
  try {
    if (!nlohmann::json::sax_parse(text, &parser) && parser.duplicateIndex != 0) {
      const std::size_t at = KeyOffset(text, parser.duplicateIndex);
      throw InputError(source + ":" + Where(text, at == std::string::npos ? text.size() : at + 1) + ": the key " +
                       nlohmann::json(parser.duplicate).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
                       " is given twice in one object (one of its values would be lost)");
    }
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
  // A device never ends and a pipe may never deliver: only regular files are scenes.
  if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec))
    throw InputError("cannot read '" + path + "': not a regular file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError("cannot read '" + path + "': " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw InputError("cannot read '" + path + "': read error");
  return ParseJsonText(text.str(), path);
}

double ShortestDouble(float value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text - 1, value).ptr;
  *end = '\0';
  const double shortest = std::strtod(text, nullptr);
  // Read as a double and rounded again, the shortest text can land on the other float, when it
  // lies a hair from the midpoint between two: of all positive floats only 7.038531e-26 does. Such
  // a value is written exactly instead, in more digits.
  return static_cast<float>(shortest) == value ? shortest : static_cast<double>(value);
}

namespace {

bool HoldsObject(const nlohmann::ordered_json& value) {
  if (value.is_object()) return true;
  if (!value.is_array()) return false;
  for (const auto& v : value)
    if (HoldsObject(v)) return true;
  return false;
}

void Format(const nlohmann::ordered_json& value, const std::string& indent, std::string& out) {
  const bool open = value.is_object() || (value.is_array() && HoldsObject(value));
  if (!open && value.is_array()) {
    out += '[';
    for (std::size_t i = 0; i < value.size(); ++i) {
      if (i > 0) out += ", ";
      Format(value[i], indent, out);
    }
    out += ']';
    return;
  }
  if (!open || value.empty()) {
    out += value.dump();
    return;
  }
  const std::string inner = indent + "  ";
  out += value.is_object() ? "{\n" : "[\n";
  bool first = true;
  for (auto it = value.begin(); it != value.end(); ++it) {
    out += first ? "" : ",\n";
    first = false;
    out += inner;
    if (value.is_object()) out += nlohmann::ordered_json(it.key()).dump() + ": ";
    Format(*it, inner, out);
  }
  out += "\n" + indent + (value.is_object() ? "}" : "]");
}

}  // namespace

std::string FormatJson(const nlohmann::ordered_json& value) {
  std::string out;
  Format(value, "", out);
  return out + "\n";
}
