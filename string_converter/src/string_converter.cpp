#include <ostrel/string_converter/string_converter.h>

namespace ostrel::string_converter {

std::string newlineDelimit(std::string const& text) {
  std::string line;
  // One allocation for the kept bytes; the final line feed grows it at most once.
  line.reserve(text.size());
  for (char const byte : text) {
    if (byte != '\t' && byte != '\n' && byte != '\r') {
      line.push_back(byte);
    }
  }
  line.push_back('\n');
  return line;
}

}  // namespace ostrel::string_converter
