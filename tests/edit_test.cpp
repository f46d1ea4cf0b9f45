#include <gtest/gtest.h>

#include "HostRunner.h"

namespace {

using Args = std::vector<std::string>;

HostResult Edit(HostRunner& host, Args args) {
  args.insert(args.begin(), "edit");
  return host.Run(args);
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
  };
  for (const Case& c : cases) {
    HostResult r = Edit(host, c.args);
    EXPECT_EQ(r.exitCode, 2) << c.error;
    EXPECT_EQ(r.err, c.error);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
