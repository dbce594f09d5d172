#include <ostrel/settings/xml_file.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

namespace ostrel::utils {

namespace {

namespace fs = std::filesystem;
using boost::property_tree::xml_parser_error;

/// Line of the first start tag that opens an element deeper than `limit`, if
/// any. A light scan, not a validator: comments, CDATA sections, processing
/// instructions, declarations and quoted attribute values are skipped, and
/// anything malformed is left for the XML reader to report.
std::optional<unsigned long> lineBeyondDepth(std::string_view text, std::size_t limit) {
  std::size_t depth = 0;
  unsigned long line = 1;
  std::size_t i = 0;
  auto const skipPast = [&](std::string_view end) {
    std::size_t stop = text.find(end, i);
    stop = stop == std::string_view::npos ? text.size() : stop + end.size();
    line += static_cast<unsigned long>(std::count(text.begin() + i, text.begin() + stop, '\n'));
    i = stop;
  };
  auto const startsWith = [&](std::string_view prefix) {
    return text.compare(i, prefix.size(), prefix) == 0;
  };
  while (i < text.size()) {
    char const c = text[i];
    if (c != '<') {
      line += c == '\n' ? 1 : 0;
      ++i;
    } else if (startsWith("<!--")) {
      skipPast("-->");
    } else if (startsWith("<![CDATA[")) {
      skipPast("]]>");
    } else if (startsWith("<?")) {
      skipPast("?>");
    } else if (startsWith("<!")) {
      skipPast(">");
    } else if (startsWith("</")) {
      depth -= depth > 0 ? 1 : 0;
      skipPast(">");
    } else {
      std::size_t const tagLine = line;
      char quote = 0;
      std::size_t j = i + 1;
      for (; j < text.size(); ++j) {
        char const d = text[j];
        line += d == '\n' ? 1 : 0;
        if (quote != 0) {
          quote = d == quote ? 0 : quote;
        } else if (d == '"' || d == '\'') {
          quote = d;
        } else if (d == '>') {
          break;
        }
      }
      bool const selfClosing = j < text.size() && text[j - 1] == '/';
      if (!selfClosing && ++depth > limit) {
        return tagLine;
      }
      i = j + 1;
    }
  }
  return std::nullopt;
}

std::string readWholeFile(std::string const& fileName) {
  std::error_code ignored;
  std::ifstream in;
  if (!fs::is_directory(fileName, ignored)) {
    in.open(fileName, std::ios::binary);
  }
  if (!in.is_open()) {
    throw xml_parser_error("cannot open file", fileName, 0);
  }
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) {
    throw xml_parser_error("read error", fileName, 0);
  }
  return std::move(content).str();
}

/// 0666 less the process umask, read without changing it (changing the
/// umask to read it would race with other threads creating files).
mode_t newFileMode() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) {
      return static_cast<mode_t>(0666 & ~std::stoul(line.substr(6), nullptr, 8));
    }
  }
  mode_t const mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

[[noreturn]] void throwSystemError(std::string const& fileName, int error) {
  throw xml_parser_error(std::strerror(error), fileName, 0);
}

void writeAll(int fd, std::string const& text, std::string const& fileName) {
  std::size_t written = 0;
  while (written < text.size()) {
    ssize_t const n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      throwSystemError(fileName, errno);
    }
    written += static_cast<std::size_t>(n);
  }
}

/// Removes the temporary file unless it was renamed into place.
struct TemporaryFile {
  std::string path;
  int fd = -1;
  bool committed = false;
  ~TemporaryFile() {
    if (fd >= 0) ::close(fd);
    if (!committed) ::unlink(path.c_str());
  }
};

}  // namespace

void readXmlFile(std::string const& fileName, boost::property_tree::ptree& tree, int flags) {
  std::string const text = readWholeFile(fileName);
  if (auto const line = lineBeyondDepth(text, MAX_XML_NESTING_DEPTH)) {
    throw xml_parser_error(
        "elements are nested deeper than " + std::to_string(MAX_XML_NESTING_DEPTH) + " levels",
        fileName, *line);
  }
  boost::property_tree::ptree parsed;
  std::istringstream stream(text);
  try {
    boost::property_tree::read_xml(stream, parsed, flags);
  } catch (xml_parser_error const& error) {
    throw xml_parser_error(error.message(), fileName, error.line());
  }
  tree.swap(parsed);
}

void writeXmlFile(std::string const& fileName, boost::property_tree::ptree const& tree) {
  std::ostringstream text;
  boost::property_tree::write_xml(
      text, tree, boost::property_tree::xml_writer_make_settings<std::string>(' ', 4, "utf-8"));
  std::string const content = std::move(text).str();

  std::error_code error;
  fs::file_status const status = fs::status(fileName, error);
  if (fs::is_directory(status)) {
    throwSystemError(fileName, EISDIR);
  }
  // Paths under /dev and /proc (such as /dev/stdout) name an open stream,
  // even when it leads to a regular file: replacing that file by rename would
  // cut the stream off from it.
  bool const streamPath = fileName.rfind("/dev/", 0) == 0 || fileName.rfind("/proc/", 0) == 0;
  if (streamPath || (fs::exists(status) && !fs::is_regular_file(status))) {
    // A device or pipe cannot be replaced by rename: write to it directly,
    // appending so that a stream leading to a regular file is not truncated.
    std::ofstream out(fileName, std::ios::binary | std::ios::app);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      throw xml_parser_error("write error", fileName, 0);
    }
    return;
  }

  // Replace what a symbolic link points at, not the link itself.
  fs::path target = fileName;
  if (fs::is_symlink(fs::symlink_status(target, error))) {
    fs::path const resolved = fs::weakly_canonical(target, error);
    if (!error) target = resolved;
  }
  mode_t const mode =
      fs::exists(status) ? static_cast<mode_t>(status.permissions()) : newFileMode();

  fs::path const folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  TemporaryFile temporary;
  // mkstemp replaces the six trailing 'X' characters of the template.
  temporary.path =
      (folder / ("." + target.filename().string() + "." + std::string(6, 'X'))).string();
  std::vector<char> name(temporary.path.begin(), temporary.path.end());
  name.push_back('\0');
  temporary.fd = ::mkstemp(name.data());
  if (temporary.fd < 0) {
    temporary.committed = true;  // nothing was created
    throwSystemError(fileName, errno);
  }
  temporary.path = name.data();

  writeAll(temporary.fd, content, fileName);
  if (::fchmod(temporary.fd, mode) != 0 || ::fsync(temporary.fd) != 0) {
    throwSystemError(fileName, errno);
  }
  int const fd = temporary.fd;
  temporary.fd = -1;
  if (::close(fd) != 0) {
    throwSystemError(fileName, errno);
  }
  if (::rename(temporary.path.c_str(), target.c_str()) != 0) {
    throwSystemError(fileName, errno);
  }
  temporary.committed = true;
}

}  // namespace ostrel::utils
