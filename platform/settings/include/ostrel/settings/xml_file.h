#pragma once

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <cstddef>
#include <string>

#include <ostrel/settings/export.h>

namespace ostrel::utils {

/// Deepest element nesting a settings XML file may have. Real settings files
/// are a handful of levels deep; the XML reader recurses once per level, so
/// without a limit a hostile file could overflow the stack.
inline constexpr std::size_t MAX_XML_NESTING_DEPTH = 256;

/// Reads the XML file `fileName` into `tree` (replacing its content), with the
/// property tree's parse `flags`, by default trimming white space and dropping
/// comments.
/// @throws boost::property_tree::xml_parser_error whose what() names the file,
///         the line and the reason, when the file cannot be opened, is not
///         well-formed XML, or nests elements deeper than
///         MAX_XML_NESTING_DEPTH. `tree` is then unchanged.
OSTREL_SETTINGS_MANAGER_EXPORT void readXmlFile(
    std::string const& fileName, boost::property_tree::ptree& tree,
    int flags = boost::property_tree::xml_parser::trim_whitespace |
                boost::property_tree::xml_parser::no_comments);

/// Writes `tree` as XML (encoding "utf-8", 4 spaces of indent per level).
/// A regular file (or a path that does not exist yet) is written atomically:
/// the text goes to a temporary file in the same folder, which then replaces
/// the target by rename, so a failed write never leaves a half-written file
/// and an existing file is untouched unless the write succeeds. The file gets
/// the mode a plain write would give it: the existing file's mode, or 0666
/// less the umask. A path that exists but is not a regular file (a device, a
/// pipe) and any path under /dev or /proc (such as /dev/stdout, even when it
/// leads to a regular file) is written directly.
/// @throws boost::property_tree::xml_parser_error naming the file and reason.
OSTREL_SETTINGS_MANAGER_EXPORT void writeXmlFile(std::string const& fileName,
                                                 boost::property_tree::ptree const& tree);

}  // namespace ostrel::utils
