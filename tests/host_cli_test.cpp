#include <gtest/gtest.h>

#include "HostRunner.h"

namespace {

TEST(HostCli, InformationGoesToStdout) {
  const struct {
    std::vector<std::string> args;
    std::string out;
  } cases[] = {
      {{"identify"},
       "RYN EXPORT\n400\n"
       "SCHEME\nUNITTYPE\nMODE\nFEATUREPATH\nCONSIDER_EXPORT_FLAG\n"
       "TITLE_1\nTITLE_2\nTITLE_3\nREVISION\nOPERATOR\nPART_NAME\nDRAWING_NO\nOPERATION\nCOMMENT\n"
       "TEXT_1\nTEXT_2\nTEXT_3\nTEXT_4\nTEXT_5\n"
       "FEATURES\n$NAMES\nSCRIPT_FILE\nSCRIPT_MOMENT\nSCRIPT_CONFIG_FILE\n$CSV_HISTORY_DELIMITER\n"
       "ADDITIONAL_DATA_FILE\nTRANSPOSE_DATA\nVALUE_SEPARATOR\nTHOUSANDS_SEPARATOR\nDECIMAL_SEPARATOR\n"
       "MY=1\nMILLI=0\nINHERENT=2\nON=1\nOFF=0\nRYN_EXPORT_DATA=0\nRYN_ADDITIONAL_DATA=1\n"
       "RYN_ASCII_REPLACE=2\nRYN_ASCII_APPEND=3\nRYN_ASCII_APPEND_LINE=4\nRYN_SCRIPT_EXPORT=5\n"
       "RYN_CSV_REPLACE=6\nRYN_CSV_APPEND=7\nRYN_CSV_COMPACT_REPLACE=8\nRYN_CSV_COMPACT_APPEND=9\n"
       "RYN_CSV_HISTORY_REPLACE=10\nRYN_CSV_HISTORY_APPEND=11\nALL=0\nBEFORE=1\nAFTER=2\n"},
      // The build's one version, also in the Windows version resources.
      {{"--version", "identify"}, "ryn-host (RYN EXPORT) " RYN_VERSION "\n"},
      {{"params", "MODE=RYN_CSV_APPEND", "SCHEME=\"x.csv\"", "FEATURES=\"a.fea\", \"b.lst\""},
       "SCHEME=\"x.csv\"\nMODE=RYN_CSV_APPEND\nFEATURES=\"a.fea\", \"b.lst\"\n"},
      // The texts themselves are pinned by the command's own test.
      {{"text", "0", "SCHEME=\"r.txt\""}, "Scheme: r.txt \n"},
  };
  HostRunner host;
  for (const auto& c : cases) {
    HostResult r = host.Run(c.args);
    EXPECT_EQ(r.exitCode, 0) << c.args[0] << r.err;
    EXPECT_EQ(r.out, c.out);
  }
  HostResult r = host.Run({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  for (const char* part : {"usage: ryn-host", "identify", "the modes among them", "built-in example"})
    EXPECT_NE(r.out.find(part), std::string::npos) << part;
}

TEST(HostCli, UsageAndEnvironmentErrorsExitTwo) {
  HostRunner host;
  struct Case {
    std::vector<std::string> args;
    const char* stderrPart;
  } cases[] = {
      // The emulator adds what it would have taken.
      {{"exec", "MODE=RYN_CSV_APEND"},
       "invalid value for parameter MODE: RYN_CSV_APEND\nryn-host: valid names: RYN_EXPORT_DATA RYN_ADDITIONAL_DATA "
       "RYN_ASCII_REPLACE RYN_ASCII_APPEND RYN_ASCII_APPEND_LINE RYN_SCRIPT_EXPORT RYN_CSV_REPLACE RYN_CSV_APPEND "
       "RYN_CSV_COMPACT_REPLACE RYN_CSV_COMPACT_APPEND RYN_CSV_HISTORY_REPLACE RYN_CSV_HISTORY_APPEND\n"},
      {{"exec", "UNITTYPE=MICRO"}, "valid names: MY MILLI INHERENT ON OFF RYN_EXPORT_DATA"},
      {{"exec", "SCHEME=run.csv"},
       "invalid value for parameter SCHEME: run.csv\nryn-host: a text value goes in double quotes: SCHEME=\"run.csv\""},
      {{"exec", "NOPE=1"}, "unknown parameter 'NOPE'"},
      {{"exec", "MODE"}, "expected NAME=VALUE"},
      {{"frobnicate"}, "unknown verb 'frobnicate'"},
      {{"--plugin", "/nonexistent/x.so", "identify"}, "cannot load plug-in"},
      {{}, "no verb given"},
      {{"text"}, "text expects an INDEX"},
      {{"text", "16"}, "text INDEX must be 0 to 15, found '16'"},
      {{"text", "-1"}, "text INDEX must be 0 to 15, found '-1'"},
      {{"text", "99999"}, "text INDEX must be 0 to 15, found '99999'"},
      {{"text", "99999999999999999999"}, "found '99999999999999999999'"},
      {{"--env", "", "identify"}, "--env expects a directory, found an empty text"},
  };
  for (const Case& c : cases) {
    HostResult r = host.Run(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.stderrPart;
    EXPECT_NE(r.err.find(c.stderrPart), std::string::npos) << r.err;
  }
}

}  // namespace
