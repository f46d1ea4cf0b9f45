#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

#include "HostRunner.h"
#include "MCsvFile.h"

namespace {

using Args = std::vector<std::string>;

const std::string kHeaderA = "\"DATE\";\"TIME\";\"VALUE.a\";\"NOMINAL.a\";\"U_TOL.a\";\"L_TOL.a\";\"UNIT.a\"";
const std::string kRowA = "2024.03.06;08:00:00;12.5031;12.5000;0.0200;-0.0100;mm";
const std::string kBom = "\xEF\xBB\xBF", kCompactA = "\"DATE\";\"TIME\";\"VALUE.a\"\r\n2024.01.01;07:00:00;1\r\n";

// The names in a folder of the environment, in order.
std::string FolderHolds(const HostRunner& host, const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(host.Dir() + "/" + folder))
    names.insert(entry.path().filename().string());
  std::string listed;
  for (const std::string& name : names) listed += (listed.empty() ? "" : " ") + name;
  return listed;
}

HostResult Exec(HostRunner& host, Args args, const std::string& now = "2024-03-07 14:05:09") {
  args.insert(args.begin(), "exec");
  return host.Run(args, now);
}

TEST(CsvExport, ReplaceThenAppendsWithNewAndVanishingFeatures) {
  HostRunner host;
  ASSERT_EQ(Exec(host, {"MODE=RYN_CSV_REPLACE", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""}).exitCode, 0);
  EXPECT_EQ(host.Read("export/t.csv"), kHeaderA + "\r\n" + kRowA + "\r\n");

  // holes.lst comes in: its columns go to the right, empty in the old row.
  HostResult r = Exec(host, {"MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\", \"holes.lst\""});
  ASSERT_EQ(r.exitCode, 0) << r.out;
  const std::string holes =
      ";\"VALUE.holes_H1\";\"NOMINAL.holes_H1\";\"U_TOL.holes_H1\";\"L_TOL.holes_H1\";\"UNIT.holes_H1\""
      ";\"VALUE.holes_H2\";\"NOMINAL.holes_H2\";\"U_TOL.holes_H2\";\"L_TOL.holes_H2\";\"UNIT.holes_H2\"";
  const std::string holeValues = ";6.602;6.600;0.100;;mm;6.611;6.600;0.100;;mm";
  const std::string twoRuns = kHeaderA + holes + "\r\n" + kRowA + ";;;;;;;;;;\r\n" + kRowA + holeValues + "\r\n";
  EXPECT_EQ(host.Read("export/t.csv"), twoRuns);

  // a vanishes: its fields stay empty; the date is the first exported feature's.
  ASSERT_EQ(Exec(host, {"MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"holes.lst\""}).exitCode, 0);
  EXPECT_EQ(host.Read("export/t.csv"), twoRuns + "2024.03.06;09:00:00;;;;;" + holeValues + "\r\n");
}

// One export, or the same one twice, into a fresh environment with the given
// files: the file it leaves, byte for byte.
TEST(CsvExport, RunsLeaveExactlyTheseBytes) {
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    Args args;
    int runs;
    std::string file, bytes;
  } cases[] = {
      {"an append to a missing file is a replace", {},
       {"MODE=RYN_CSV_APPEND", "SCHEME=\"new/t.csv\"", "FEATURES=\"a.fea\""}, 1, "export/new/t.csv",
       kHeaderA + "\r\n" + kRowA + "\r\n"},
      {"compact, transposed, with tab and local numbers",
       {{"store/big.fea", "actual = 1234567.25\nnominal = 1234567\nunit = 1\nresolution = 0.01\n"
                          "measured = 2024-03-06 10:00:00\n"}},
       {"MODE=RYN_CSV_COMPACT_APPEND", "SCHEME=\"c.csv\"", "FEATURES=\"big.fea\"", "TRANSPOSE_DATA=ON",
        "VALUE_SEPARATOR=\"<HT>\"", "DECIMAL_SEPARATOR=\",\"", "THOUSANDS_SEPARATOR=\"'\""},
       2, "export/c.csv",
       "\"DATE\"\t2024.03.06\t2024.03.06\r\n\"TIME\"\t10:00:00\t10:00:00\r\n\"VALUE.big\"\t1'234'567,25\t1'234'567,25\r\n"},
      {"the same name twice adds two rows", {},
       {"MODE=RYN_CSV_COMPACT_REPLACE", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\", \"a.fea\"", "CONSIDER_EXPORT_FLAG=1"},
       1, "export/t.csv", "\"DATE\";\"TIME\";\"VALUE.a\"\r\n2024.03.06;08:00:00;12.5031\r\n;;12.5031\r\n"},
      // An existing file is read in its own layout and written as configured.
      {"a transposed file is read transposed even when the run asks for rows",
       {{"export/t.csv", "\"DATE\";2024.01.01\r\n\"TIME\";07:00:00\r\n\"VALUE.a\";1\r\n"}},
       {"MODE=RYN_CSV_COMPACT_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""}, 1, "export/t.csv",
       "\"DATE\";\"TIME\";\"VALUE.a\"\r\n2024.01.01;07:00:00;1\r\n2024.03.06;08:00:00;12.5031\r\n"},
      // A byte-order mark is no text of the first header, and stays first.
      {"a byte-order mark, rows appended in place twice", {{"export/t.csv", kBom + kCompactA}},
       {"MODE=RYN_CSV_COMPACT_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""}, 2, "export/t.csv",
       kBom + kCompactA + "2024.03.06;08:00:00;12.5031\r\n2024.03.06;08:00:00;12.5031\r\n"},
      {"a byte-order mark, rows carried over into new columns", {{"export/t.csv", kBom + kCompactA}},
       {"MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""}, 1, "export/t.csv",
       kBom + kHeaderA + "\r\n2024.01.01;07:00:00;1;;;;\r\n" + kRowA + "\r\n"},
      {"a history file takes any first column", {{"export/h.csv", "\"VALUE.z\";\"TIME.z\"\r\n5;06:00:00\r\n"}},
       {"MODE=RYN_CSV_HISTORY_APPEND", "SCHEME=\"h.csv\"", "FEATURES=\"a.fea\""}, 1, "export/h.csv",
       "\"VALUE.z\";\"TIME.z\";\"VALUE.a\";\"UNIT.a\";\"DATE.a\";\"TIME.a\"\r\n5;06:00:00;;;;\r\n"
       ";;12.5031;mm;2024.03.06;08:00:00\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HostRunner host;
    for (const auto& [path, bytes] : c.files) host.Write(path, bytes);
    for (int i = 0; i < c.runs; ++i) ASSERT_EQ(Exec(host, c.args).exitCode, 0);
    EXPECT_EQ(host.Read(c.file), c.bytes);
  }
}

TEST(CsvExport, TypesDecideTheColumnsAndZeroLimitsStayEmpty) {
  HostRunner host;
  host.Write("store/p.fea", "type = 1\nactual = 0\nupper_tol = 0.03\nunit = 1\nresolution = 0.01\n"
                            "measured = 2024-03-06 10:00:00\n");
  host.Write("store/q.fea", "type = 5\nactual = 2\nlower_tol = -0.5\nresolution = 0.1\n");
  ASSERT_EQ(Exec(host, {"MODE=RYN_CSV_REPLACE", "SCHEME=\"t.csv\"", "FEATURES=\"p.fea\", \"q.fea\""}).exitCode, 0);
  EXPECT_EQ(host.Read("export/t.csv"),
            "\"DATE\";\"TIME\";\"VALUE.p\";\"TOL.p\";\"UNIT.p\";\"VALUE.q\";\"U_TOL.q\";\"L_TOL.q\"\r\n"
            "2024.03.06;10:00:00;0.00;0.03;mm;2.0;;-0.5\r\n");

  host.Write("store/bad.fea", "type = 6\n");
  HostResult r = Exec(host, {"MODE=RYN_CSV_REPLACE", "SCHEME=\"t.csv\"", "FEATURES=\"p.fea\", \"bad.fea\""});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "internal error: unhandled FeatureType. Please report this error to Norvia R&D.\n");
}

TEST(CsvExport, WarningMarksFollowTheHostGlobal) {
  const struct {
    const char* mode;
    const char* header;
  } cases[] = {{"0", "VALUE.Dia"}, {"1", "VALUE.Dia (over!)"}, {"2", "VALUE.Dia"}, {"7", "VALUE.Dia (over!)"}};
  for (const auto& c : cases) {
    HostRunner host;
    host.Write("host.ini", host.Read("host.ini") + "\n[globals]\nryn_export.csv.featname_warning_mode = " + c.mode + "\n");
    host.Write("store/Dia (over!).fea", "actual = 3\nresolution = 1\n");
    ASSERT_EQ(Exec(host, {"MODE=RYN_CSV_COMPACT_REPLACE", "SCHEME=\"w.csv\"", "FEATURES=\"Dia (over!).fea\""}).exitCode,
              0);
    EXPECT_NE(host.Read("export/w.csv").find(std::string("\"") + c.header + "\"\r\n"), std::string::npos)
        << "mode " << c.mode << ": " << host.Read("export/w.csv");
  }
}

// Every read error of the reader is pinned by its own table; here one of each
// layer, to show that the export passes it on and leaves the file as it was,
// and each misfit of a table read in the form found for it ("(…)" below).
TEST(CsvExport, ExistingFilesThatCannotBeReadStayAsTheyWere) {
  const std::string e8 = "ERROR 0008: The Number of Headers is different than the Number of Data Columns!";
  const struct {
    std::string content;
    bool transposed;
    std::string message;
  } cases[] = {
      {"", false, e8},
      {"", true, "ERROR 0009: Empty file!"},
      {"\"X\";\"TIME\"\r\n1;2\r\n", false, "Invalid CSV data file"},
      {"\"DATE\";2024.01.01;2024.01.02\r\n\"TIME\";10:00:00\r\n", true,
       "Invalid CSV data file! Number of samples varied."},
      {"\"DATE\"\r\n", false, "invalid string position"},
      {"DATE,TIME,VALUE.a\r\n1,2,3\r\n", false, "(its first line does not split at the separator ';')"},
      {"DATE;2024.01.01\r\nTIME;07:00:00\r\n", false, "(the header '2024.01.01' is a value)"},
      {"\"TIME\";\"\"\r\n1;2\r\n", false, "(an empty header)"},
      {"\"DATE\";\"TIME\"\r\n1;\"2;3\"\r\n", false, "(the cell '2;3' cannot be written back with the separator ';')"},
  };
  for (const auto& c : cases) {
    HostRunner host;
    host.Write("export/t.csv", c.content);
    Args args = {"MODE=RYN_CSV_APPEND", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\""};
    if (c.transposed) args.push_back("TRANSPOSE_DATA=ON");
    HostResult r = Exec(host, args);
    EXPECT_EQ(r.exitCode, 1) << c.message;
    const std::string misfit = "t.csv' does not read as a table of this export " + c.message + "; it was not changed.";
    EXPECT_TRUE(r.out.ends_with((c.message[0] == '(' ? misfit : c.message) + "\n")) << r.out;
    EXPECT_EQ(host.Read("export/t.csv"), c.content) << c.message;
    EXPECT_EQ(FolderHolds(host, "export"), ".ryn-export.lock t.csv") << "nothing left behind";
  }
}

TEST(HistoryExport, EveryFeatureKeepsItsOwnTimes) {
  HostRunner host;
  host.Write("store/d.fea", "key = parts\\Diameter\nactual = 10.01\nunit = 1\nresolution = 0.01\n"
                            "measured = 2024-03-06 08:00:00\n");
  host.Write("store/x.fea", "actual = 1\nvalid = 0\n");
  const Args args = {"MODE=RYN_CSV_HISTORY_APPEND", "SCHEME=\"h.csv\"", "FEATURES=\"d.fea\", \"x.fea\""};
  ASSERT_EQ(Exec(host, args).exitCode, 0);
  host.Write("store/d.fea", "key = parts\\Diameter\nactual = 10.02\nunit = 1\nresolution = 0.01\n"
                            "measured = 2024-03-06 09:00:00\n");
  ASSERT_EQ(Exec(host, args).exitCode, 0);
  // A third run brings a feature without unit: its columns come last, empty before.
  host.Write("store/e.fea", "name = e\nactual = 4\nresolution = 1\nmeasured = 2024-03-06 10:00:00\n");
  ASSERT_EQ(Exec(host, {"MODE=RYN_CSV_HISTORY_APPEND", "SCHEME=\"h.csv\"", "FEATURES=\"d.fea\", \"e.fea\""})
                .exitCode,
            0);
  EXPECT_EQ(host.Read("export/h.csv"),
            "\"VALUE.Diameter\";\"UNIT.Diameter\";\"DATE.Diameter\";\"TIME.Diameter\";\"VALUE.e\";\"DATE.e\";\"TIME.e\"\r\n"
            "10.01;mm;2024.03.06;08:00:00;;;\r\n"
            "10.02;mm;2024.03.06;09:00:00;;;\r\n"
            "10.02;mm;2024.03.06;09:00:00;4;2024.03.06;10:00:00\r\n");
}

TEST(HistoryExport, NameEndingInASeparatorEndsTheExport) {
  HostRunner host;
  host.Write("store/d.fea", "key = parts\\\nactual = 1\n");
  HostResult r = Exec(host, {"MODE=RYN_CSV_HISTORY_REPLACE", "SCHEME=\"h.csv\"", "FEATURES=\"d.fea\""});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "Invalid feature name\n");
  EXPECT_FALSE(host.Exists("export/h.csv"));
  EXPECT_NE(host.Read("log/errors.log").find("CreateHistoryCSVData() Featurename 'parts\\' invalid"),
            std::string::npos);
}

const char* const kAdditionalNames =
    "TITLE_1;TITLE_2;TITLE_3;OPERATOR;PART_NAME;DRAWING_NO;OPERATION;COMMENT;TEXT_1;TEXT_2;TEXT_3;TEXT_4;TEXT_5;"
    "MACHINE_SERIAL;PROBE_NAME;PROBE_TIP_NAME;PROBE_TIP_RADIUS;LOGGED_IN_USER;DATE;TIME";

TEST(AdditionalData, BesideTheCsvInBothLayouts) {
  HostRunner host;
  const Args common = {"MODE=RYN_CSV_COMPACT_REPLACE", "SCHEME=\"t.csv\"", "FEATURES=\"a.fea\"",
                       "ADDITIONAL_DATA_FILE=\"extra/<PROTOCOL_HEADER__PART_NAME>.txt\"", "PART_NAME=\"HSG\"",
                       "TITLE_1=\"a;b\""};
  ASSERT_EQ(Exec(host, common).exitCode, 0);
  EXPECT_EQ(host.Read("export/extra/HSG.txt"), std::string(kAdditionalNames) +
                                                   "\r\na;b;;;;HSG;;;;;;;;;S-1;P;T1;1.000000;anna;2024_03_07;14-05-09");
  EXPECT_TRUE(host.Exists("export/t.csv"));

  Args transposed = common;
  transposed.push_back("TRANSPOSE_DATA=ON");
  ASSERT_EQ(Exec(host, transposed).exitCode, 0);
  const std::string file = host.Read("export/extra/HSG.txt");
  EXPECT_EQ(file.substr(0, 20), "TITLE_1;a;b\r\nTITLE_2");
  EXPECT_EQ(file.substr(file.size() - 30), "DATE;2024_03_07\r\nTIME;14-05-09");
}

// Tables our command wrote, saved back by a spreadsheet or pandas (tests/saved,
// see make.py there): the append adds one run and keeps every old cell, or it
// is refused and the file stays byte for byte, as outcomes.txt there says.
TEST(SavedTables, AnAppendKeepsEveryOldCellOrRefuses) {
  std::istringstream outcomes(SourceText("tests/saved/outcomes.txt"));
  for (std::string name, outcome; outcomes >> name >> outcome;) {
    SCOPED_TRACE(name);
    const bool transposed = name.find("-cols-") != std::string::npos, german = name.find("-de.") != std::string::npos;
    const std::string separator = german ? ";" : ",", kind = name.substr(0, name.find('-'));
    const std::string saved = (name.find(".lo-other") != std::string::npos) == german ? "," : ";";
    HostRunner host;
    host.Write("export/t.csv", SourceText("tests/saved/" + name));
    const std::string file = host.Dir() + "/export/t.csv", before = host.Read("export/t.csv");
    const std::uint32_t asWhatItIs = MCsvFile::READ_AS_STRING | MCsvFile::RF_BYTE_ORDER_MARK;
    MCsvFile old, now;
    old.strSeparator = saved;
    ASSERT_TRUE(old.Read(file, asWhatItIs, transposed));
    HostResult r = Exec(host, {"MODE=RYN_CSV_" + (kind == "CSV" ? "" : kind + "_") + "APPEND", "SCHEME=\"t.csv\"",
                               "FEATURES=\"a.fea\"", "VALUE_SEPARATOR=\"" + separator + "\"",
                               german ? "DECIMAL_SEPARATOR=\",\"" : "DECIMAL_SEPARATOR=\".\"",
                               transposed ? "TRANSPOSE_DATA=ON" : "TRANSPOSE_DATA=OFF"});
    const bool refused = outcome == "refused";
    EXPECT_EQ(host.Read("export/t.csv") == before, refused) << "the file is as it was";
    ASSERT_EQ(r.exitCode, refused ? 1 : 0) << r.out << r.err;
    if (refused) continue;
    now.strSeparator = separator;
    ASSERT_TRUE(now.Read(file, asWhatItIs, transposed));
    EXPECT_EQ(now.bByteOrderMark, old.bByteOrderMark);
    ASSERT_EQ(now.vHeaders, old.vHeaders);
    for (std::size_t c = 0; c < old.vHeaders.size(); ++c) {
      const StringColumn &was = old.vStringColumns[c], &is = now.vStringColumns[c];
      EXPECT_TRUE(is.size() == was.size() + 1 && std::equal(was.begin(), was.end(), is.begin())) << old.vHeaders[c];
    }
  }
}

// A fresh host knows its unit names: every writer shows u (12.5031 mm, shown in um) in the export unit.
TEST(ExportUnit, EveryWriterShowsTheUnitTypeFromAFreshHost) {
  const char* const writers[] = {"ASCII", "CSV", "CSV_COMPACT", "CSV_HISTORY"};
  const std::string mm[] = {"  12.5;mm;", "12.5031;;;;mm\r\n", ";12.5031\r\n", "12.5031;mm;"};
  const std::string um[] = {";12503.1;\xB5m;", "12503.1;;;;\xB5m\r\n", ";12503.1\r\n", "12503.1;\xB5m;"};
  for (const std::string unitType : {"MILLI", "MY", "INHERENT"})
    for (std::size_t w = 0; w < std::size(writers); ++w) {
      HostRunner host;
      host.Write("store/u.fea", "actual = 12.5031\nresolution = 0.0001\nunit = 1\ndisplay_unit = 1\n");
      Exec(host, {"MODE=RYN_" + std::string(writers[w]) + "_REPLACE", "SCHEME=\"o.txt\"", "FEATURES=\"u.fea\"",
                  "UNITTYPE=" + unitType});
      const std::string& shown = unitType == "MILLI" ? mm[w] : um[w];
      EXPECT_NE(host.Read("export/o.txt").find(shown), std::string::npos) << unitType << " " << writers[w];
    }
}

}  // namespace
