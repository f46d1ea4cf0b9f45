#include <gtest/gtest.h>

#include <sstream>

#include "HostRunner.h"

namespace {

using Args = std::vector<std::string>;

HostResult Edit(HostRunner& host, Args args) {
  args.insert(args.begin(), "edit");
  return host.Run(args);
}

// The show line of one control.
std::string Line(const std::string& shown, const std::string& id) {
  size_t at = shown.find("\n" + id + " ");
  if (at == std::string::npos) return "";
  size_t end = shown.find('\n', at + 1);
  return shown.substr(at + 1, end - at - 1);
}

TEST(EditVerb, ReadmeExampleGivesItsOutput) {
  const std::string readme = SourceText("README.md");
  size_t section = readme.find("### Editing parameters");
  ASSERT_NE(section, std::string::npos);
  const std::string prefix = "build/linux/bin/ryn-host --env tests/env edit ";
  size_t start = readme.find(prefix, section);
  ASSERT_NE(start, std::string::npos);
  size_t end = readme.find("\n```", start);
  std::string command = readme.substr(start + prefix.size(), end - start - prefix.size());
  size_t outStart = readme.find("```\n", end + 4) + 4;
  std::string expected = readme.substr(outStart, readme.find("```", outStart) - outStart);

  HostRunner host;
  HostResult r = host.RunShell("edit " + command);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expected);
}

TEST(EditVerb, PopupsInsertIntoTheSchemeAndReplaceSeparators) {
  HostRunner host;
  HostResult r =
      Edit(host, {"SCHEME=\"r.csv\"", "MODE=RYN_CSV_REPLACE", "VALUE_SEPARATOR=\";\"", "DECIMAL_SEPARATOR=\",\"",
                  "THOUSANDS_SEPARATOR=\"'\"",
                  // <PROTOCOL_HEADER__PART_NAME> is the fifth entry, <hh> the 24th.
                  "caret:1004=1", "click:1028", "menu:20005", "click:1028", "menu:<hh>", "caret:1036=0,1", "click:1040",
                  "menu:horizontal tabulator", "click:1041", "menu:.", "click:1042", "menu:_systemdefault_"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "SCHEME=\"<PROTOCOL_HEADER__PART_NAME><hh>r.csv\"\n"
            "UNITTYPE=MILLI\nMODE=RYN_CSV_REPLACE\nFEATUREPATH=ON\nCONSIDER_EXPORT_FLAG=OFF\n"
            "VALUE_SEPARATOR=\"<HT>\"\nDECIMAL_SEPARATOR=\".\"\n");

  // A menu closes after one choice, and the separator menus have no date entries.
  EXPECT_EQ(Edit(host, {"SCHEME=\"r.csv\"", "click:1028", "menu:Date", "menu:Time"}).err,
            "ryn-host: edit: no pop-up menu is open\n");
  EXPECT_EQ(Edit(host, {"SCHEME=\"r.csv\"", "click:1040", "menu:Date"}).err,
            "ryn-host: edit: the pop-up menu has no entry \"Date\"\n");
}

TEST(EditVerb, AFailedApplyLeavesTheDialogOpen) {
  HostRunner host;
  HostResult r = Edit(host, {"SCHEME=\"r.vxp\"", "MODE=RYN_SCRIPT_EXPORT", "UNITTYPE=MY", "apply",
                             "type:1008=\"s.vxp\"", "select:1007=AFTER", "apply"});
  EXPECT_EQ(r.exitCode, 0);
  // The script export does not use the unit: it was cleared.
  EXPECT_EQ(r.out, "SCHEME=\"r.vxp\"\nMODE=RYN_SCRIPT_EXPORT\nSCRIPT_FILE=\"s.vxp\"\nSCRIPT_MOMENT=AFTER\n");
  EXPECT_EQ(r.err, "[message box] RYN EXPORT: SCRIPT_FILE must be provided\n");

  HostResult twice = Edit(host, {"SCHEME=\"r.txt\"", "MODE=RYN_ASCII_APPEND", "apply", "show"});
  EXPECT_EQ(twice.exitCode, 2);
  EXPECT_EQ(twice.err, "ryn-host: edit: the dialog is closed; 'show' comes after a successful apply\n");
}

TEST(EditVerb, FeatureGridKeepsOneEmptyRowAndRelativePaths) {
  HostRunner host;
  const std::string interface = host.Dir() + "/interface/";
  HostResult r = Edit(
      host, {"SCHEME=\"r.txt\"", "MODE=RYN_ASCII_APPEND", "FEATURES=\"" + interface + "a.fea\", \"b.fea\", \"c.fea\"",
             "page:109", "show", "row:1007:1=", "row:1007:2=  " + interface + "sub/n.lst  ", "show"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Line(r.out, "1007"), "1007 grid shown \"a.fea\" \"b.fea\" \"c.fea\" \"\"");
  EXPECT_EQ(Line(r.out.substr(r.out.find("page 109", 10)), "1007"),
            "1007 grid shown \"a.fea\" \"c.fea\" \"sub/n.lst\" \"\"");
  EXPECT_NE(r.out.find("\nFEATURES=\"a.fea\", \"c.fea\", \"sub/n.lst\"\n"), std::string::npos) << r.out;
}

TEST(EditVerb, DrawingHeaderPageEditsTheFrameworkTexts) {
  HostRunner host;
  HostResult r = Edit(host, {"SCHEME=\"r.txt\"", "MODE=RYN_ASCII_APPEND", "TITLE_2=\"old\"", "REVISION=\"B\"",
                             "page:200", "type:2001=Housing", "type:2002=", "type:2014=\"last one\""});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // TITLE_2 was emptied; the hidden REVISION keeps its value.
  EXPECT_EQ(r.out,
            "SCHEME=\"r.txt\"\nUNITTYPE=MILLI\nMODE=RYN_ASCII_APPEND\nFEATUREPATH=ON\nCONSIDER_EXPORT_FLAG=OFF\n"
            "TITLE_1=\"Housing\"\nREVISION=\"B\"\nTEXT_5=\"last one\"\n");
}

TEST(EditVerb, RefusedActionsAreUsageErrors) {
  struct Case {
    const char* action;
    const char* error;
  } cases[] = {
      // The retired modes are not offered in the combo.
      {"select:1006=RYN_EXPORT_DATA", "combo 1006 has no entry \"RYN_EXPORT_DATA\""},
      {"page:300", "no page on template 300"},
      // Without a mode every control shows; an ASCII mode hides the separators.
      {"select:1006=RYN_ASCII_APPEND\ntype:1036=;", "control 1036 is hidden"},
  };
  for (const Case& c : cases) {
    HostRunner host;
    Args args = {"SCHEME=\"r.txt\""};
    std::istringstream actions(c.action);
    for (std::string action; std::getline(actions, action);) args.push_back(action);
    HostResult r = Edit(host, args);
    EXPECT_EQ(r.exitCode, 2) << c.action;
    EXPECT_EQ(r.err, std::string("ryn-host: edit: ") + c.error + "\n");
  }
}

TEST(EditVerb, UsageErrors) {
  HostRunner host;
  struct Case {
    Args args;
    const char* error;
  } cases[] = {
      {{"--exec-mode=edit", "SCHEME=\"r.txt\""}, "ryn-host: --exec-mode expects a number\n"},
      {{"SCHEME=r t"},
       "ryn-host: invalid value for parameter SCHEME: r t\nryn-host: a text value goes in double quotes: "
       "SCHEME=\"r t\" (for the shell: 'SCHEME=\"r t\"'); a bare name is taken for a host global\n"},
      {{"NOPE=1"}, "ryn-host: unknown parameter 'NOPE'\n"},
  };
  for (const Case& c : cases) {
    HostResult r = Edit(host, c.args);
    EXPECT_EQ(r.exitCode, 2) << c.error;
    EXPECT_EQ(r.err, c.error);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
