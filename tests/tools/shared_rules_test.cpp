// The rules hzpack check shares with the setup program that have no table of
// their own (the others: install_plan_test, install_dir_test,
// uninstall_rules_test, program_group_win_test, windows_version_test). Each
// is one function that the program and the check both call, so one row per
// case covers both.
#include "engine/install_plan.h"
#include "system/helpers.h"
#include "system/setup_list.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Rule = std::function<std::string(const std::string&)>;
Rule Asks(bool (*rule)(const std::string&)) {
  return [rule](const std::string& s) { return std::string(rule(s) ? "yes" : "no"); };
}

TEST(SharedRules, OneFunctionDecidesForTheProgramAndTheCheck) {
  const struct {
    const char* rule;
    Rule apply;
    std::vector<std::pair<std::string, std::string>> cases;  // input, answer
  } rules[] = {
      // The plan, the copy step, the uninstaller's group folder and the
      // check's look-up on the medium; install_plan_test has the rest.
      {"name", Asks(StaysInsideFolder), {{"sub\\", "no"}, {"", "no"}, {"a/b c\\d", "yes"}}},
      // A value make writes and the check measures comes back whole up to
      // 2047 characters, without blanks or quotes at its ends.
      {"value", [](const std::string& s) { return std::string(ListValueAsRead(s) == s ? "whole" : "changed"); },
       {{std::string(2047, 'x'), "whole"}, {std::string(2048, 'x'), "changed"}, {"'Notiz.txt'", "changed"},
        {"\"x\"", "changed"}, {" vorn.txt", "changed"}, {"'Notiz.txt", "whole"}, {"a;b", "whole"}}},
      // Start-up, the install run and the check.
      {"defaults",
       [](const std::string& list) {
         const ProfileReader r = ProfileOfText(list);
         return ReadProgramName(r) + "|" + ReadDefaultPath(r) + "|" + ReadStartMenuFolder(r) + "|" + ReadGroupName(r);
       },
       {{"", "Programm|C:\\App|Unbenannt|Gruppex"}, {"[General]\r\nName=\r\n[Group]\r\nName=", "|C:\\App|Unbenannt|"}}},
      // The [SystemDepended] keys the plan reads and the check accepts.
      {"version key", Asks(NamesWindowsVersion), {{"windows 98se", "yes"}, {"Unknown", "yes"}, {"Windows 7", "no"}}},
  };
  for (const auto& rule : rules) {
    for (const auto& [input, answer] : rule.cases) {
      SCOPED_TRACE(std::string(rule.rule) + ": " + input.substr(0, 40));
      EXPECT_EQ(rule.apply(input), answer);
    }
  }
}

}  // namespace
