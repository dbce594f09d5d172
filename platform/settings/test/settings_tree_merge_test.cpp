#include <ostrel/settings/settings_tree_merge.h>

#include <boost/property_tree/xml_parser.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using Tree = boost::property_tree::ptree;

Tree parse(std::string const& xml) {
  Tree tree;
  std::istringstream in(xml);
  boost::property_tree::read_xml(in, tree, boost::property_tree::xml_parser::trim_whitespace);
  return tree;
}

TEST(SettingsTreeMerge, LaterValuesWinAndNewKeysAreAdded) {
  Tree base = parse("<S><a>1</a><b>2</b><N><x>old</x></N></S>");
  ostrel::utils::mergeSettingsTree(base, parse("<S><b>20</b><c>30</c><N><y>new</y></N></S>"));
  EXPECT_EQ(base, parse("<S><a>1</a><b>20</b><N><x>old</x><y>new</y></N><c>30</c></S>"));
}

TEST(SettingsTreeMerge, RepeatedChildrenMatchByPosition) {
  Tree base = parse(
      "<T><Transform><id>a</id><v>1</v></Transform><Transform><id>b</id><v>2</v></Transform></T>");
  ostrel::utils::mergeSettingsTree(
      base, parse("<T><Transform><v>10</v></Transform><Transform><v>20</v></Transform>"
                  "<Transform><id>c</id></Transform></T>"));
  EXPECT_EQ(base, parse("<T><Transform><id>a</id><v>10</v></Transform>"
                        "<Transform><id>b</id><v>20</v></Transform>"
                        "<Transform><id>c</id></Transform></T>"));
}

TEST(SettingsTreeMerge, EmptyLeafReplacesButParentWithoutTextKeepsIt) {
  Tree base = parse("<S><value>set</value><group>text<x>1</x></group></S>");
  ostrel::utils::mergeSettingsTree(base, parse("<S><value/><group><x>2</x></group></S>"));
  EXPECT_EQ(base.get<std::string>("S.value"), "");
  EXPECT_EQ(base.get<std::string>("S.group"), "text");
  EXPECT_EQ(base.get<int>("S.group.x"), 2);
}

TEST(SettingsTreeMerge, AttributesMergeLikeChildren) {
  Tree base = parse(R"(<S mode="a" keep="k"/>)");
  ostrel::utils::mergeSettingsTree(base, parse(R"(<S mode="b"/>)"));
  EXPECT_EQ(base.get<std::string>("S.<xmlattr>.mode"), "b");
  EXPECT_EQ(base.get<std::string>("S.<xmlattr>.keep"), "k");
}

}  // namespace
