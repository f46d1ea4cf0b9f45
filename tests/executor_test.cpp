#include <gtest/gtest.h>

#include <filesystem>

#include "HostRunner.h"

namespace {

struct MessageCase {
  std::vector<std::string> args;
  const char* message;
};

// Every message of the executor, reached from the command line. Linux has no
// drives: a drive-letter scheme fails as on a host without that drive, and
// nothing lands in the folder the host was started from.
TEST(Executor, MessagesComeOutExactly) {
  const std::string allowed =
      " Allowed characters are: <HT> <FS> <GS> <RS> <US> ! # $ % & ' * , . / : ; < = > ? @ ^ _ ` | ~ ";
  const MessageCase cases[] = {
      {{"exec", "MODE=RYN_ASCII_REPLACE"}, "SCHEME must be provided"},
      {{"check", "MODE=RYN_ASCII_REPLACE"}, "SCHEME must be provided"},
      {{"exec", "SCHEME=\"\""}, "SCHEME must not be empty"},
      {{"exec", "SCHEME=\"r?.txt\""}, "SCHEME has invalid pathname"},
      {{"exec", "SCHEME=\"r_<date>.txt\""}, "SCHEME has invalid pathname"},
      // Each parameter's refusal in each mode is pinned by the page test; here the
      // first of two refused ones is named, and OFF is refused as well as ON.
      {{"exec", "SCHEME=\"r.txt\"", "TRANSPOSE_DATA=ON", "ADDITIONAL_DATA_FILE=\"a.txt\""},
       "ADDITIONAL_DATA_FILE cannot be used within this mode"},
      {{"exec", "SCHEME=\"r.txt\"", "MODE=RYN_ASCII_APPEND", "TRANSPOSE_DATA=OFF"},
       "TRANSPOSE_DATA cannot be used within this mode"},
      {{"exec", "SCHEME=\"r.csv\"", "MODE=RYN_CSV_APPEND", "TRANSPOSE_DATA=2"}, "TRANSPOSE_DATA must be either ON or OFF"},
      {{"exec", "SCHEME=\"r.csv\"", "MODE=RYN_CSV_APPEND", "VALUE_SEPARATOR=\",\"", "DECIMAL_SEPARATOR=\",\""},
       "VALUE_SEPARATOR and DECIMAL_SEPARATOR have to be different!"},
      {{"exec", "SCHEME=\"r.csv\"", "MODE=RYN_CSV_APPEND", "THOUSANDS_SEPARATOR=\".\""},
       "THOUSANDS_SEPARATOR and DECIMAL_SEPARATOR have to be different!"},
      {{"exec", "SCHEME=\"r.csv\"", "MODE=RYN_CSV_APPEND", "VALUE_SEPARATOR=\"x\""}, nullptr},
      {{"exec", "SCHEME=\"r.csv\"", "MODE=RYN_CSV_APPEND", "VALUE_SEPARATOR=\"ab\""}, nullptr},
      {{"exec", "SCHEME=\"r.txt\"", "MODE=RYN_SCRIPT_EXPORT"}, "No export script provided!"},
      {{"exec", "SCHEME=\"r.txt\"", "MODE=RYN_SCRIPT_EXPORT", "SCRIPT_FILE=\"  \""}, "No export script provided!"},
      {{"exec", "SCHEME=\"r.txt\"", "MODE=RYN_SCRIPT_EXPORT", "SCRIPT_FILE=\"s.vxp\"", "SCRIPT_MOMENT=7"},
       "Unknown SCRIPT_MOMENT provided!"},
      {{"exec", "SCHEME=\"r.txt\"", "MODE=12"}, "The selected MODE is unknown!"},
      {{"exec", "SCHEME=\"r.txt\"", "MODE=RYN_ADDITIONAL_DATA"},
       "The data-transfer-tools option is no longer supported by the host application. "
       "Please contact your system administrator."},
      {{"exec", "SCHEME=\"<ENVIRONMENT__MACHINE_SERIAL>.txt\""}, nullptr},
      {{"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"f.txt\"", "FEATURES=\"a.fea\", \"b.fea\", \"c.fea\"",
        "$NAMES=\"X\", \"Y\""},
       "FEATURES and NAMES differs in number of elements!"},
      {{"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"g.txt\"", "FEATURES=\"missing.fea\""},
       "FEATURELIST_NAME contains element of a wrong kind!"},
      {{"exec", "MODE=RYN_CSV_APPEND", "SCHEME=\"D:\\Data\\Out.csv\"", "ADDITIONAL_DATA_FILE=\"d:\\data\\out.CSV\""},
       "SCHEME and ADDITIONAL_DATA_FILE must not be the same!"},
      {{"exec", "MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "ADDITIONAL_DATA_FILE=\"extra_<FOO>.txt\""},
       "ADDITIONAL_DATA_FILE has invalid pathname"},
      // A folder missing two levels up, and a name longer than the system allows.
      {{"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"deep/er/x.txt\""}, "Could not open temporary file"},
      {{"exec", "MODE=RYN_ASCII_REPLACE", "TITLE_1=\"" + std::string(300, 't') + "\"",
        "SCHEME=\"<PROTOCOL_HEADER__TITLE_1><DATE><DATE><DATE>.txt\""},
       "Could not open temporary file"},
      {{"exec", "SCHEME=\"a:b.csv\""}, "Could not open temporary file"},
      {{"exec", "MODE=RYN_CSV_REPLACE", "SCHEME=\"a:b.csv\""},
       "Could not write the file 'a:b.csv': The system cannot find the path specified."},
      {{"exec", "MODE=RYN_CSV_HISTORY_APPEND", "SCHEME=\"Q:\\x\\h.csv\""},
       "Could not write the file 'Q:\\x\\h.csv': The system cannot find the path specified."},
      // A check that passes says nothing and writes nothing.
      {{"check", "SCHEME=\"r.txt\"", "MODE=RYN_ASCII_REPLACE"}, ""},
      {{"check", "SCHEME=\"r.txt\"", "MODE=RYN_CSV_REPLACE"}, ""},
      {{"check", "SCHEME=\"r.txt\"", "MODE=RYN_CSV_HISTORY_APPEND"}, ""},
      {{"check", "SCHEME=\"r.txt\"", "MODE=RYN_EXPORT_DATA"}, ""},
      {{"check", "MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "ADDITIONAL_DATA_FILE=\"x.txt\""}, ""},
  };
  HostRunner host;
  ryntest::TempDir startedIn;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(startedIn.path);
  for (const MessageCase& c : cases) {
    HostResult r = host.Run(c.args);
    if (!c.message) continue;
    const std::string expected = *c.message ? c.message + std::string("\n") : "";
    EXPECT_EQ(r.exitCode, expected.empty() ? 0 : 1) << c.message << r.err;
    // Another system words its reason its own way; the file named stays ours.
    const size_t reason = RunsOtherHost() ? expected.find("': ") : std::string::npos;
    if (reason != std::string::npos)
      EXPECT_EQ(r.out.substr(0, reason + 3), expected.substr(0, reason + 3));
    else
      EXPECT_EQ(r.out, expected);
  }
  std::filesystem::current_path(before);
  EXPECT_TRUE(std::filesystem::is_empty(startedIn.path));
  for (const char* refused : {"export/f.txt", "export/t.csv", "export/deep", "export/r.txt", "export/x.txt"})
    EXPECT_FALSE(host.Exists(refused));
  HostResult x = host.Run(cases[10].args);
  EXPECT_EQ(x.out, "character \"x\" in VALUE_SEPARATOR is not allowed!" + allowed + "\n");
  HostResult ab = host.Run(cases[11].args);
  EXPECT_EQ(ab.out, "character \"b\" in VALUE_SEPARATOR is not allowed!" + allowed + "\n");
}

TEST(Executor, FailedMachineQueryEndsTheExport) {
  HostRunner host;
  host.Write("host.ini", host.Read("host.ini") + "fail = machine\n");
  HostResult r = host.Run({"exec", "MODE=RYN_ASCII_REPLACE", "SCHEME=\"r_<ENVIRONMENT__MACHINE_SERIAL>.txt\""});
  EXPECT_EQ(r.out, "AutoKey ENVIRONMENT__MACHINE_SERIAL: No access to machine information!\n");
  EXPECT_EQ(r.exitCode, 1);
  const std::string log = host.Read("log/errors.log");
  const size_t line = log.find("RYN_EXPORT.dll commands\\RYN_HOSTQUERY\\src\\helper(");
  ASSERT_NE(line, std::string::npos) << log;
  EXPECT_NE(log.find("): Error: could not run GET MACHINE INFO()!", line), std::string::npos) << log;
}

}  // namespace
