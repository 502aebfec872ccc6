// What the program makes of the setup list's values, read by ProfileOfText,
// the reader of a list's text that the native tools use. Runs natively and
// under Wine; tests/system/setup_list_test.cpp reads real files, and holds
// ProfileOfText against the system's profile functions.
#include "system/setup_list.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// The text of a list whose sections hold these key=value lines.
class ListInMemory {
public:
  using Lines = std::vector<std::pair<std::string, std::string>>;
  explicit ListInMemory(const std::map<std::string, Lines>& sections) {
    std::string text;
    for (const auto& [name, lines] : sections) {
      text += "[" + name + "]\r\n";
      for (const auto& [key, value] : lines) text += key + "=" + value + "\r\n";
    }
    reader_ = ProfileOfText(text);
  }

  const ProfileReader& Reader() const { return reader_; }

private:
  ProfileReader reader_;
};

TEST(ListValue, MissingEmptyAndDefault) {
  const ListInMemory list({{"General", {{"Name", "Demo Manager"}, {"defaultPath", ""}}}});
  struct Case {
    const char* section;
    const char* key;
    const char* def;
    std::string expected;
  } cases[] = {
      {"General", "Name", "Programm", "Demo Manager"},
      {"General", "defaultPath", "C:\\App", ""},  // present but empty: not the default
      {"General", "Missing", "C:\\App", "C:\\App"},
      {"Nowhere", "Name", "Programm", "Programm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ReadListString(list.Reader(), c.section, c.key, c.def), c.expected);
  }
}

TEST(ListValue, CutAt2047Characters) {
  for (std::size_t length : {2046u, 2047u, 2048u, 3000u}) {
    SCOPED_TRACE(length);
    const std::string value(length, 'x');
    const ListInMemory list({{"General", {{"Name", value}}}});
    EXPECT_EQ(ReadListString(list.Reader(), "General", "Name", ""), value.substr(0, 2047));
  }
}

// What a value written as "key=value" reads back as: the profile functions
// pass over ^Z, form feed and vertical tab at its ends as over blanks.
TEST(ListValue, AsReadBack) {
  const std::pair<std::string, std::string> cases[] = {
      {"Demo", "Demo"},          {" \tDemo Manager\t ", "Demo Manager"}, {"\x1a" "Demo\x1a", "Demo"},
      {"\fDemo\f", "Demo"},      {"\vDemo\v", "Demo"},                   {"\x1a\f\v 'Notiz.txt' \v", "Notiz.txt"},
      {"De\fmo", "De\fmo"},     {"Demo\r\nName=X", "Demo"},              {"\"x\" ", "x"},
  };
  for (const auto& [written, read] : cases) {
    SCOPED_TRACE(written);
    EXPECT_EQ(ListValueAsRead(written), read);
  }
}

TEST(ListBool, IntegersDecimalAndHexadecimal) {
  struct Case {
    const char* value;  // nullptr for a missing key
    bool def;
    bool expected;
  } cases[] = {
      {"1", false, true},           {"0", true, false},         {"-1", false, true},
      {"0x1", false, true},         {"0X10", false, true},      {"0x0", true, false},
      {"$A", false, true},          {"$0", true, false},        {"yes", false, false},
      {"yes", true, true},          {"1x", false, false},       {"0x", true, true},
      {"$", true, true},            {"", true, true},           {"", false, false},
      {nullptr, true, true},        {nullptr, false, false},    {"00", true, false},
      {"+7", false, true},          {"-0", true, false},        {"\" 1\"", false, false},
      {"$FFFFFFFF", false, true},   {"$100000000", false, false}, {"2147483647", false, true},
      {"2147483648", false, false}, {"-2147483648", false, true}, {"-2147483649", false, false},
      {"99999999999", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.value ? c.value : "(missing)") + (c.def ? ", default true" : ", default false"));
    ListInMemory::Lines lines;
    if (c.value) lines.emplace_back("MobileOption", c.value);
    const ListInMemory list({{"General", lines}});
    EXPECT_EQ(ReadListBool(list.Reader(), "General", "MobileOption", c.def), c.expected);
  }
}

TEST(ListSection, PairsInFileOrderWithoutEmptyValues) {
  const ListInMemory list({{"Items",
                            {{"DEMO.EXE", "Demo Manager"},
                             {"LEER.EXE", ""},
                             {"Uninstal.exe", "Programm entfernen"},
                             {"HILFE.HLP", "Hilfe"}}}});
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"DEMO.EXE", "Demo Manager"}, {"Uninstal.exe", "Programm entfernen"}, {"HILFE.HLP", "Hilfe"}};
  EXPECT_EQ(ReadListSection(list.Reader(), "Items"), expected);
  EXPECT_TRUE(ReadListSection(list.Reader(), "Missing").empty());
}

// 4,000 names of 7 characters fill 32,000 bytes, twice the buffer the names
// are read through first (which held 2,047 of them).
TEST(ListSection, EveryKeyNameIsSeenHoweverLongTheSection) {
  ListInMemory::Lines lines;
  for (int n = 1; n <= 4000; ++n) {
    const std::string number = std::to_string(n);
    lines.emplace_back("Key" + std::string(4 - number.size(), '0') + number, "x");
  }
  const auto pairs = ReadListSection(ListInMemory({{"Items", lines}}).Reader(), "Items");
  ASSERT_EQ(pairs.size(), 4000u);
  EXPECT_EQ(pairs[2047].first, "Key2048");
  EXPECT_EQ(pairs.back().first, "Key4000");
}

TEST(NumberedList, CountsNonEmptyPairsAndFetchesByNumber) {
  struct Case {
    const char* name;
    ListInMemory::Lines lines;
    std::vector<std::string> expected;
  } cases[] = {
      {"in order", {{"1", "DEMO.EX_"}, {"2", "beispiel.hd_"}}, {"DEMO.EX_", "beispiel.hd_"}},
      {"file order ignored", {{"2", "B"}, {"1", "A"}}, {"A", "B"}},
      {"gap: 3 is empty, 4 never read", {{"1", "A"}, {"2", "B"}, {"4", "D"}}, {"A", "B", ""}},
      {"empty value not counted", {{"1", "A"}, {"2", ""}, {"3", "C"}}, {"A", ""}},
      {"leading zero is another key", {{"01", "A"}, {"2", "B"}}, {"", "B"}},
      {"other keys count", {{"1", "A"}, {"Hinweis", "x"}}, {"A", ""}},
      {"empty section", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ListInMemory list({{"programfiles", c.lines}});
    EXPECT_EQ(ReadNumberedList(list.Reader(), "programfiles"), c.expected);
  }
}

TEST(NumberedList, KeysWithAPrefix) {
  // The install log numbers its files File1, File2, ...
  const ListInMemory log({{"InstalledFiles", {{"File2", "B"}, {"File1", "A"}, {"File4", "D"}, {"1", "X"}}}});
  EXPECT_EQ(ReadNumberedList(log.Reader(), "InstalledFiles", "File"), (std::vector<std::string>{"A", "B", "", "D"}));
}

TEST(FileList, SemicolonSeparatedNames) {
  struct Case {
    std::string text;
    std::vector<std::string> expected;
  } cases[] = {
      {"a.dll;b.dll;", {"a.dll", "b.dll"}},
      {"a.dll;b.dll", {"a.dll", "b.dll"}},
      {"OLDHELP.DL_", {"OLDHELP.DL_"}},
      {"", {}},
      {";", {""}},
      {"a;;b", {"a", "", "b"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.text + "\"");
    EXPECT_EQ(SplitFileList(c.text), c.expected);
  }
}

}  // namespace
