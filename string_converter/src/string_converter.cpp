#include <ostrel/string_converter/string_converter.h>

namespace ostrel::string_converter {

std::string newlineDelimit(std::string const& text) {
  // One allocation, room for every byte and the final line feed. Each byte
  // is stored, and the write position advances only for bytes that are kept:
  // a single branch-free pass.
  std::string line(text.size() + 1, '\0');
  char* out = line.data();
  for (char const byte : text) {
    *out = byte;
    out += (byte != '\t') & (byte != '\n') & (byte != '\r');
  }
  *out++ = '\n';
  line.resize(static_cast<std::size_t>(out - line.data()));
  return line;
}

}  // namespace ostrel::string_converter
