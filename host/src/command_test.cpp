#include "norvia/command.h"
#include "norvia/module.h"
#include "norvia/sibling.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "norvia/diag.h"
#include "norvia/env.h"
#include "norvia/translate.h"
#include "testing/temp_dir.h"

namespace {

CNamedLong kMode("MODE", 0, 0, CNamedObject::kOptional);
CNamedString kScheme("SCHEME", 0, 0, CNamedObject::kMandatory);
CNamedStringArray kFeatures("FEATURES", 0, 0, CNamedObject::kOptional);
CNamedLong kAppend("RYN_CSV_APPEND", 7L);

class FakeCommand : public CTrelmGeneric {
 public:
  CNamedObject** IdentifyArgs() override { return args; }
  CNamedObject** IdentifyConsts() override { return consts; }
  const char* ExecCommand(bool checkOnly) override { return checkOnly ? nullptr : "done"; }
  CNamedObject* args[4] = {&kScheme, &kMode, &kFeatures, nullptr};
  CNamedObject* consts[2] = {&kAppend, nullptr};
};

// How each kind prints itself is pinned through the emulator's params verb.
TEST(Framework, ParametersRoundTripThroughTheirTextOrAreRefused) {
  FakeCommand command;
  const std::string text = "SCHEME=\"x.csv\"\nMODE=RYN_CSV_APPEND\nFEATURES=\"a.fea\", \"b.lst\"";
  EXPECT_TRUE(command.SetParameter(text.c_str()));
  EXPECT_EQ(std::string(command.GetParameter()), text);
  EXPECT_EQ(kMode.GetValue(), 7);
  EXPECT_STREQ(command.SetParameterEx("MODE", "BOGUS"), "invalid value for parameter MODE: BOGUS");
  EXPECT_STREQ(command.SetParameterEx("NOPE", "1"), "unknown parameter 'NOPE'");
  EXPECT_EQ(command.GetExtendedParameterInformation("NOPE"), -1);
}

TEST(Framework, ExecAlgReportsTheCommandsMessage) {
  FakeCommand command;
  int status = -1;
  EXPECT_STREQ(command.ExecAlg(&status, false, nullptr), "done");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(command.ExecAlg(&status, true, nullptr), nullptr);
  EXPECT_EQ(status, 0);
}

struct CountingPage : TrelmTabDialog {
  explicit CountingPage(int* applied) : TrelmTabDialog(1, nullptr), applied(applied) {}
  int OnApply() override { return ++*applied, 1; }
  int* applied;
};

TEST(Framework, ExecGUIAppliesPagesOnceAndForgetsThem) {
  FakeCommand command;
  int applied = 0;
  CountingPage page(&applied);
  command.AddPrepDlg(&page, 0, nullptr);
  command.AddPrepDlg(nullptr, 0, nullptr);  // a failed allocation is tolerated
  EXPECT_EQ(command.CTrelmGeneric::ExecGUI(TRELM_EXEC_MODE_EDIT, nullptr, nullptr, 1, nullptr), nullptr);
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(page.GetExecMode(), TRELM_EXEC_MODE_EDIT);
  EXPECT_TRUE(command.PrepDialogs().empty());

  // Each library shows its pages through the runner of its own module state;
  // another library's runner, or none, serves no call made for it.
  static int runs = 0;
  NorviaModuleState kit{"KIT", nullptr, [](CTrelmGeneric&, const std::vector<TrelmTabDialog*>& pages, int) {
                          runs += static_cast<int>(pages.size());
                          return "shown";
                        }};
  NorviaModuleState plain{"PLAIN", nullptr, nullptr};
  const struct {
    NorviaModuleState* state;
    const char* result;
    int runs, applied;
  } calls[] = {{&kit, "shown", 1, 1}, {&plain, nullptr, 1, 2}, {nullptr, nullptr, 1, 3}, {&kit, "shown", 2, 3}};
  for (const auto& call : calls) {
    NorviaModuleStateGuard guard(call.state);
    command.AddPrepDlg(&page, 0, nullptr);
    const char* result = command.CTrelmGeneric::ExecGUI(0, nullptr, nullptr, 1, nullptr);
    EXPECT_STREQ(result, call.result) << AfxGetAppName();
    EXPECT_EQ(runs, call.runs) << AfxGetAppName();
    EXPECT_EQ(applied, call.applied) << AfxGetAppName();
  }
}

TEST(SiblingCommands, AnswerFromMachineSettingsOrThrow) {
  ryntest::TempDir dir;
  dir.Write("host.ini", "[machine]\nserial = S-7\ntip_diameter = 2.0\nfail = probesystem\n");
  ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
  std::string serial;
  CTrelmExec machine("GET MACHINE INFO.DLL");
  machine.SetParameterAlgEx("&SERIALNO", &serial);
  machine.ExecAlgEx(false);
  EXPECT_EQ(serial, "S-7");
  double diameter = 0;
  CTrelmExec probe("GET PROBE INFO.DLL");
  probe.SetParameterAlgEx("&D", &diameter);
  probe.ExecAlgEx(false);
  EXPECT_DOUBLE_EQ(diameter, 2.0);
  std::string system;
  CTrelmExec probeSystem("GET PROBESYSTEM.DLL");
  probeSystem.SetParameterAlgEx("&NAME", &system);
  EXPECT_ANY_THROW(probeSystem.ExecAlgEx(false));
  // The library answers a failure as a value; only the caller's inline wrapper throws.
  const char* failure = nullptr;
  EXPECT_EQ(CTrelmExec("NO SUCH.DLL").RunAlgEx(false, &failure), nullptr);
  EXPECT_STREQ(failure, "command library not found");
}

TEST(Diagnostics, ContextIsDumpedWithItsMessageOrCleared) {
  norvia::ClearLogs();
  MErrTrace_BeginContext();
  MErrTrace_Location("M.dll", "src\\a", 10);
  MErrTrace_Add("inner %d", 1);
  MErrTrace_DumpContextToMErrLog("outer %s", "failed");
  MErrTrace_EndContext();
  EXPECT_EQ(norvia::ErrorLogText().find("outer failed"), norvia::ErrorLogText().find(": outer") + 2);
  EXPECT_NE(norvia::ErrorLogText().find("M.dll src\\a(10): inner 1"), std::string::npos);
  MErrTrace_BeginContext();
  MErrTrace_Add("expected");
  MErrTrace_ClearContext();
  EXPECT_EQ(norvia::ErrTraceDepth(), 0);
  MErrTrace_EndContext();
}

TEST(Diagnostics, TraceHonoursTheMasterLevel) {
  norvia::ClearLogs();
  norvia::SetTraceMasterLevel(2);
  EXPECT_TRUE(MTrace_TestMasterLevel(2));
  EXPECT_FALSE(MTrace_TestMasterLevel(3));
  norvia::TraceAt("f", 1, 3, "hidden");
  norvia::TraceAt("f", 1, 1, "shown %d", 5);
  EXPECT_EQ(norvia::TraceText().find("hidden"), std::string::npos);
  EXPECT_NE(norvia::TraceText().find("shown 5"), std::string::npos);
  norvia::SetTraceMasterLevel(0);
  EXPECT_FALSE(MTrace_TestMasterLevel(1));
}

TEST(Diagnostics, LinesGoToTheCurrentDirectoryAndMemoryKeepsTheirEnd) {
  ryntest::TempDir first, second;
  auto read = ryntest::ReadFile;
  norvia::ClearLogs();
  MErrLog_Location("M", "f", 1);
  norvia::SetLogDirectory(first.path);
  MErrLog_Add("one");
  norvia::SetLogDirectory(second.path);
  MErrLog_Add("two");
  norvia::SetLogDirectory(first.path);
  MErrLog_Add("three");
  EXPECT_EQ(read(first.path + "/errors.log"), "M f(1): one\nM f(1): three\n") << "each line reaches the file at once";
  EXPECT_EQ(read(second.path + "/errors.log"), "M f(1): two\n");

  norvia::SetLogDirectory("");
  const std::string line(99, 'x');
  for (int i = 0; i < 2000; ++i) MErrLog_Add("%04d %s", i, line.c_str());
  const std::string& kept = norvia::ErrorLogText();
  EXPECT_LE(kept.size(), 64u * 1024) << "the memory keeps the end only";
  EXPECT_GE(kept.size(), 32u * 1024);
  const std::string last = "M f(1): 1999 " + line + "\n";
  EXPECT_EQ(kept.rfind(last), kept.size() - last.size());
  EXPECT_EQ(kept.compare(0, 8, "M f(1): "), 0) << "from the start of a line";
  norvia::ClearLogs();
}

TEST(Translate, DomainThenSharedThenTheKeyItself) {
  ryntest::TempDir dir;
  dir.Write("Cmd.loc", "; comment\nSchema.txt = Scheme\n");
  dir.Write("shared.loc", "Schema.txt = Shared\nEinheit.txt = Unit\n");
  dir.Write("bad.loc", "line without separator\n");
  norvia::SetLocDirectory(dir.path);
  norvia::ResetTranslations();
  EXPECT_TRUE(Translate_AddLocFile("", "", "", "shared.loc"));
  EXPECT_EQ(Translate("Schema.txt", 0, nullptr, "Cmd"), "Scheme");
  EXPECT_EQ(Translate("Einheit.txt", 0, nullptr, "Cmd"), "Unit");
  EXPECT_EQ(Translate("Unbekannt", 0, nullptr, "Cmd"), "Unbekannt");
  EXPECT_FALSE(Translate_AddLocFile("", "", "", "bad.loc"));
  EXPECT_NE(norvia::ErrorLogText().find("bad.loc:1: expected 'key = text'"), std::string::npos);
  norvia::SetLocDirectory("");
  norvia::ResetTranslations();
}

}  // namespace
