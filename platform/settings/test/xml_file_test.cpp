#include <ostrel/settings/settings_manager.h>
#include <ostrel/settings/xml_file.h>

#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using boost::property_tree::xml_parser_error;
using ostrel::SettingsManager;
using ::testing::HasSubstr;

/// A scratch folder of its own per test, removed afterwards.
class XmlFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::current_path() /
              ("xml_file_test_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string file(std::string const& name, std::string const& content) const {
    fs::path const path = folder_ / name;
    std::ofstream(path) << content;
    return path.string();
  }
  std::string path(std::string const& name) const { return (folder_ / name).string(); }
  static std::string read(std::string const& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::size_t entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), {}));
  }

  fs::path folder_;
};

TEST_F(XmlFiles, LaterFileWinsWhereKeysOverlap) {
  SettingsManager settings;
  settings.addXML(file("algorithm.xml", "<Settings><rate>10</rate><mode>fast</mode></Settings>"));
  settings.addXML(
      file("configuration.xml", "<Settings>\n  <!-- tuned -->\n  <rate> 20 </rate>\n</Settings>"));
  EXPECT_EQ(settings.get<int>("Settings.rate"), 20);
  EXPECT_EQ(settings.get<std::string>("Settings.mode"), "fast");
  EXPECT_FALSE(settings.exists("Settings.<xmlcomment>"));
}

struct BadFile {
  char const* what;
  std::string content;  // empty: the file does not exist
  std::string reason;
};
void PrintTo(BadFile const& c, std::ostream* out) { *out << c.what; }

class BadXmlFiles : public XmlFiles, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadXmlFiles, ThrowNamingFileAndReasonAndLeaveTheTree) {
  SettingsManager settings;
  settings.set("kept", "yes");
  SettingsManager::Tree const before = settings.tree();
  std::string const name =
      GetParam().content.empty() ? path("missing.xml") : file("bad.xml", GetParam().content);
  try {
    settings.addXML(name);
    FAIL() << "no exception";
  } catch (xml_parser_error const& error) {
    EXPECT_THAT(error.what(), HasSubstr(name));
    EXPECT_THAT(error.what(), HasSubstr(GetParam().reason));
  }
  EXPECT_EQ(settings.tree(), before);
}

std::string nested(std::size_t depth) {
  std::string xml;
  for (std::size_t i = 0; i < depth; ++i) xml += "<a>";
  for (std::size_t i = 0; i < depth; ++i) xml += "</a>";
  return xml;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadXmlFiles,
    ::testing::Values(BadFile{"missing file", "", "cannot open file"},
                      BadFile{"unclosed element", "<a>\n<b>1</b>\n", "(3)"},
                      BadFile{"unquoted attribute", "<a>\n<b x=1/></a>", "(2)"},
                      BadFile{"very deep nesting", nested(100000), "nested deeper than 256"},
                      BadFile{"just past the limit", nested(257), "(1): elements are nested"}));

TEST_F(XmlFiles, DepthLimitCountsOnlyElements) {
  std::string xml = "<?xml version=\"1.0\"?>\n<!-- <x><x><x> -->\n";
  for (int i = 0; i < 256; ++i) xml += "<a k=\"/>\"><e/><![CDATA[<c><c>]]>";
  for (int i = 0; i < 256; ++i) xml += "</a>";
  SettingsManager settings;
  EXPECT_NO_THROW(settings.addXML(file("deep.xml", xml)));
}

TEST_F(XmlFiles, DirectoryIsNotASettingsFile) {
  SettingsManager settings;
  EXPECT_THROW(settings.addXML(folder_.string()), xml_parser_error);
}

TEST_F(XmlFiles, WrittenTreeReadsBackTheSame) {
  SettingsManager original;
  original.set("Settings.name", "front & <rear>");
  original.set("Settings.rate", 0.1f);
  original.pathPush("Settings");
  for (int i = 0; i < 2; ++i) {
    original.pathPush("Transform", i, nullptr);
    original.set("<xmlattr>.id", i);  // XML puts attributes first
    original.set("fromFrameName", "Sensor" + std::to_string(i));
    original.pathPop();
  }
  original.pathPop();
  std::string const name = path("saved.xml");
  original.writeXML(name);

  SettingsManager reread;
  reread.addXML(name);
  EXPECT_EQ(reread.tree(), original.tree());
  EXPECT_EQ(reread.get<float>("Settings.rate"), 0.1f);
  EXPECT_THAT(read(name), HasSubstr("encoding=\"utf-8\""));
  EXPECT_THAT(read(name), HasSubstr("\n<Settings>\n    <name>"));
  EXPECT_EQ(entries(), 1u) << "no temporary file is left behind";
}

TEST_F(XmlFiles, FailedWriteLeavesNothingBehind) {
  SettingsManager settings;
  settings.set("a", 1);
  EXPECT_THROW(settings.writeXML(path("no-such-folder/out.xml")), xml_parser_error);
  EXPECT_FALSE(fs::exists(path("no-such-folder")));
  fs::create_directory(path("a-directory"));
  EXPECT_THROW(settings.writeXML(path("a-directory")), xml_parser_error);
  EXPECT_TRUE(fs::is_directory(path("a-directory")));
  EXPECT_EQ(entries(), 1u);
}

TEST_F(XmlFiles, ModeIsWhatAPlainWriteWouldGive) {
  SettingsManager settings;
  settings.set("a", 1);
  mode_t const previous = ::umask(027);
  settings.writeXML(path("new.xml"));
  ::umask(previous);
  EXPECT_EQ(fs::status(path("new.xml")).permissions(), fs::perms(0640));

  std::string const existing = file("existing.xml", "<old/>");
  fs::permissions(existing, fs::perms(0604));
  settings.writeXML(existing);
  EXPECT_EQ(fs::status(existing).permissions(), fs::perms(0604));
  EXPECT_THAT(read(existing), HasSubstr("<a>1</a>"));
}

TEST_F(XmlFiles, SymbolicLinkKeepsPointingAtTheRewrittenFile) {
  std::string const target = file("target.xml", "<old/>");
  fs::create_symlink(target, path("link.xml"));
  SettingsManager settings;
  settings.set("a", 2);
  settings.writeXML(path("link.xml"));
  EXPECT_TRUE(fs::is_symlink(path("link.xml")));
  EXPECT_THAT(read(target), HasSubstr("<a>2</a>"));
}

TEST_F(XmlFiles, StreamPathLeadingToARegularFileWritesThroughTheStream) {
  // /proc/self/fd/N of a file opened for appending leads to that regular
  // file; writing through it must not replace the file behind the stream.
  std::string const target = file("redirected.xml", "");
  FILE* const stream = std::fopen(target.c_str(), "a");
  ASSERT_NE(stream, nullptr);
  std::fputs("before\n", stream);
  std::fflush(stream);
  SettingsManager settings;
  settings.set("a", 3);
  settings.writeXML("/proc/self/fd/" + std::to_string(::fileno(stream)));
  std::fputs("after\n", stream);
  std::fclose(stream);
  std::string const content = read(target);
  EXPECT_THAT(content, ::testing::StartsWith("before\n"));
  EXPECT_THAT(content, HasSubstr("<a>3</a>"));
  EXPECT_THAT(content, ::testing::EndsWith("after\n"));
}

TEST_F(XmlFiles, NonRegularFileIsWrittenDirectly) {
  SettingsManager settings;
  settings.set("a", 1);
  EXPECT_NO_THROW(settings.writeXML("/dev/null"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

}  // namespace
