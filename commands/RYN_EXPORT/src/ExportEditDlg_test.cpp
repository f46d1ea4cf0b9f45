#include <map>

#include "ModeKinds.h"
#include "PageTestFixture.h"
#include "Pages.h"
#include "Parameters.h"

using namespace ryn;

namespace {

class ExportPageTest : public PageTest {
 protected:
  // The operator picks the combo entry whose value is `value` ("" for none).
  void Select(int id, const std::string& value) {
    ui::Control& combo = Item(id);
    int selection = -1;
    for (int i = 0; i < combo.GetItemCount(); ++i)
      if (combo.GetItemValue(i) == value) selection = i;
    ASSERT_TRUE(value.empty() || selection >= 0) << id << " has no " << value;
    combo.SetCurSel(selection);
    window->Fire(id, ui::Event::SelChange);
  }
  std::string Value(int id) {
    ui::Control& combo = Item(id);
    return combo.GetItemValue(combo.GetCurSel());
  }
  std::string HiddenIds() const {
    std::string ids;
    for (const auto& control : window->Controls())
      if (!control->IsVisible()) ids += (ids.empty() ? "" : " ") + std::to_string(control->Id());
    return ids;
  }
  // Opens the pop-up of `button` and answers it with `label`.
  void Choose(int button, const std::string& label) {
    window->Fire(button, ui::Event::Clicked);
    ASSERT_TRUE(window->ChooseMenuEntry(label)) << label;
  }
  CExportEditDlg page{&theExport};
};

const std::string kAsciiHidden =
    "1022 1007 1026 1008 1027 1009 1029 1034 1039 1030 1035 1031 1036 1040 1032 1037 1041 1033 1038 1042";
const std::string kScriptHidden =
    "1024 1003 1025 1005 1043 1044 1029 1034 1039 1030 1035 1031 1036 1040 1032 1037 1041 1033 1038 1042";
const std::string kCsvHidden = "1022 1007 1026 1008 1027 1009";

const char* const kTxt = "ASCII-file (*.txt)|*.txt|All files (*.*)|*.*||";
const char* const kCsv = "CSV-file (*.csv)|*.csv|All files (*.*)|*.*||";
const char* const kVxp = "Vexlo (*.vxp)|*.vxp|All files (*.*)|*.*||";
const char* const kAll = "All files (*.*)|*.*||";

struct ModeCase {
  const char* mode;  // selected in the combo; a retired one only as MODE, "" for none
  bool selectable;
  const std::string& hidden;
  const char* schemeLabel;
  const char* filter;
  const char* extension;
  int kind;
};
const std::string kNothing;
const ModeCase kModeCases[] = {
    {"RYN_ASCII_REPLACE", true, kAsciiHidden, "Scheme name", kTxt, "txt", 6},
    {"RYN_ASCII_APPEND", true, kAsciiHidden, "Scheme name", kTxt, "txt", 6},
    {"RYN_ASCII_APPEND_LINE", true, kAsciiHidden, "Scheme name", kTxt, "txt", 6},
    {"RYN_SCRIPT_EXPORT", true, kScriptHidden, "Calling measuring program", kVxp, "vxp", 3},
    {"RYN_CSV_REPLACE", true, kCsvHidden, "Scheme name", kCsv, "csv", 6},
    {"RYN_CSV_APPEND", true, kCsvHidden, "Scheme name", kCsv, "csv", 6},
    {"RYN_CSV_COMPACT_REPLACE", true, kCsvHidden, "Scheme name", kCsv, "csv", 6},
    {"RYN_CSV_COMPACT_APPEND", true, kCsvHidden, "Scheme name", kCsv, "csv", 6},
    {"RYN_CSV_HISTORY_REPLACE", true, kCsvHidden, "Scheme name", kCsv, "csv", 6},
    {"RYN_CSV_HISTORY_APPEND", true, kCsvHidden, "Scheme name", kCsv, "csv", 6},
    {"RYN_EXPORT_DATA", false, kNothing, "Scheme name", kAll, "", 6},
    {"RYN_ADDITIONAL_DATA", false, kNothing, "Scheme name", kAll, "", 6},
    {"", true, kNothing, "Scheme name", kAll, "", 6},
};

TEST_F(ExportPageTest, EveryModeShowsItsControlsLabelAndFilter) {
  for (const ModeCase& c : kModeCases) {
    SCOPED_TRACE(std::string("mode ") + c.mode);
    if (c.selectable) {
      Open(page);
      Select(IDC_MODE, c.mode);
    } else {
      Set("MODE", c.mode);
      Open(page);
      EXPECT_EQ(Item(IDC_MODE).GetCurSel(), -1) << "the combo offers no retired mode";
    }
    EXPECT_EQ(HiddenIds(), c.hidden);
    EXPECT_EQ(Item(IDC_LABEL_SCHEME).GetText(), c.schemeLabel);
    const ui::FileSettings& scheme = Item(IDC_SCHEME).GetFileSettings();
    EXPECT_EQ(scheme.filter, c.filter);
    EXPECT_EQ(scheme.extension, c.extension);
    EXPECT_EQ(scheme.pathKind, c.kind);
    MODE.Reset();
  }
}

// Each parameter's value in its control is pinned for every mode below; here
// a number given for a constant, and the labels the combos show.
TEST_F(ExportPageTest, InitialisationSelectsTheConstantOfANumber) {
  Set("MODE", "7");
  Set("UNITTYPE", "1");
  Open(page);
  EXPECT_EQ(Value(IDC_MODE), "RYN_CSV_APPEND");
  EXPECT_EQ(Item(IDC_MODE).GetText(), "CSV export (continue file)");
  EXPECT_EQ(Value(IDC_UNITTYPE), "MY");
  EXPECT_EQ(Item(IDC_UNITTYPE).GetText(), "um/uinch");
  EXPECT_FALSE(page.IsModified());
}

TEST_F(ExportPageTest, SchemeExtensionFollowsTheMode) {
  constexpr int kEdit = TRELM_EXEC_MODE_EDIT;
  struct Case {
    const char* scheme;  // SCHEME as given, null for none
    const char* mode;    // MODE as given, null for none
    int execMode;
    const char* typed;   // into the edit after opening, null for nothing
    const char* select;  // the mode selected then
    const char* shown;   // the edit afterwards
  } cases[] = {
      {"\"out/r.txt\"", nullptr, kEdit, nullptr, "RYN_CSV_APPEND", "\"out/r.csv\""},
      {"\"D:\\exp\\r.csv\"", nullptr, kEdit, nullptr, "RYN_ASCII_REPLACE", "\"D:\\exp\\r.txt\""},
      {"\"out/r.txt\"", nullptr, kEdit, nullptr, "RYN_SCRIPT_EXPORT", "\"out/r.vxp\""},
      // Names without an extension of their own get one; a dot in a directory is not one.
      {"\"report\"", nullptr, kEdit, nullptr, "RYN_CSV_HISTORY_APPEND", "\"report.csv\""},
      {"\"exp.v2/report\"", nullptr, kEdit, nullptr, "RYN_ASCII_APPEND", "\"exp.v2/report.txt\""},
      {"\"r.tar.gz\"", nullptr, kEdit, nullptr, "RYN_CSV_REPLACE", "\"r.tar.csv\""},
      {"\"\"", nullptr, kEdit, nullptr, "RYN_CSV_REPLACE", "\"\""},
      // No mode, no extension of its own: the name stays.
      {"\"out/r.txt\"", nullptr, kEdit, nullptr, "", "\"out/r.txt\""},
      {"\"out/r.txt\"", nullptr, 0, nullptr, "RYN_CSV_APPEND", "\"out/r.csv\""},
      // While editing an expression is left alone; without SCHEME nothing is adapted.
      {"\"r.txt\"", nullptr, kEdit, "\"out/\" + name.txt", "RYN_CSV_APPEND", "\"out/\" + name.txt"},
      {nullptr, nullptr, kEdit, "\"r.txt\"", "RYN_CSV_APPEND", "\"r.txt\""},
      // Without a selection the run-time dialog takes MODE; while editing the name stays.
      {"\"r.txt\"", "RYN_CSV_REPLACE", 0, "\"r.txt\"", "", "\"r.csv\""},
      {"\"r.txt\"", "RYN_CSV_REPLACE", kEdit, "\"r.txt\"", "", "\"r.txt\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.scheme ? c.scheme : "no SCHEME") + " " + c.select + " " + std::to_string(c.execMode));
    SCHEME.Reset();
    MODE.Reset();
    if (c.scheme) Set("SCHEME", c.scheme);
    if (c.mode) Set("MODE", c.mode);
    Open(page, c.execMode);
    if (c.typed) Item(IDC_SCHEME).SetText(c.typed);
    Select(IDC_MODE, c.select);
    EXPECT_EQ(Item(IDC_SCHEME).GetText(), c.shown);
  }
}

TEST_F(ExportPageTest, LeavingTheSchemeOrTheModeActsAtOnce) {
  Open(page);
  Item(IDC_SCHEME).SetText("\"r.txt\"");
  window->SetFocus(IDC_SCHEME);
  window->SetFocus(IDC_MODE);
  EXPECT_EQ(SCHEME.GetString(), "\"r.txt\"");
  // A mode chosen without a selection event counts when the combo is left,
  // and adapts the scheme that was typed.
  Item(IDC_MODE).SetCurSel(3);  // the script export
  window->SetFocus(IDC_SCRIPT_FILE);
  EXPECT_EQ(HiddenIds(), kScriptHidden);
  EXPECT_EQ(Item(IDC_SCHEME).GetText(), "\"r.vxp\"");
}

TEST_F(ExportPageTest, SchemePopupInsertsAtTheSelection) {
  struct Case {
    int button, edit;
    const char* text;
    int start, end;
    const char* entry;
    const char* after;
    int caret;
  } cases[] = {
      // An entry is chosen by label or by command id: the ids count from 20001 on
      // through both sub-menus, so 20019 is the date, the first of the second.
      {IDC_BROWSE_SCHEME, IDC_SCHEME, "\"a/r.txt\"", 3, 3, "20019", "\"a/<DATE>r.txt\"", 9},
      {IDC_BROWSE_SCHEME, IDC_SCHEME, "\"a/r.txt\"", 3, 4, "<hh>", "\"a/<hh>.txt\"", 7},
      {IDC_BROWSE_SCHEME, IDC_SCHEME, "", 0, 0, "<PROTOCOL_HEADER__PART_NAME>", "<PROTOCOL_HEADER__PART_NAME>", 28},
      // The text is trimmed before the selection applies to it.
      {IDC_BROWSE_SCHEME, IDC_SCHEME, "  \"r\"", 5, 5, "<ss>", "\"r\"<ss>", 7},
      // The additional-data file has the same pop-up, inserting into its own edit.
      {IDC_BROWSE_ADDITIONAL_DATA_FILE, IDC_ADDITIONAL_DATA_FILE, "x.txt", 1, 1, "Time", "x<TIME>.txt", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Open(page);
    ui::Control& edit = Item(c.edit);
    edit.SetText(c.text);
    edit.SetSel(c.start, c.end);
    window->SetFocus(c.button);
    Choose(c.button, c.entry);
    EXPECT_EQ(edit.GetText(), c.after);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, c.caret);
    EXPECT_EQ(end, c.caret);
    EXPECT_EQ(window->GetFocus(), c.edit);
  }
}

TEST_F(ExportPageTest, SeparatorPopupsReplaceTheWholeTextAndApplyQuotesIt) {
  struct Case {
    int button, edit;
    const char* before;
    const char* entry;
    const char* after;
  } cases[] = {
      {IDC_BROWSE_VALUE_SEPARATOR, IDC_VALUE_SEPARATOR, "abc", "|", "|"},
      {IDC_BROWSE_VALUE_SEPARATOR, IDC_VALUE_SEPARATOR, "\";\"", "_systemdefault_", ""},
      {IDC_BROWSE_VALUE_SEPARATOR, IDC_VALUE_SEPARATOR, "\";\"", "horizontal tabulator", "<HT>"},
      {IDC_BROWSE_DECIMAL_SEPARATOR, IDC_DECIMAL_SEPARATOR, ".", "20002", ","},  // each pop-up counts anew
      {IDC_BROWSE_THOUSANDS_SEPARATOR, IDC_THOUSANDS_SEPARATOR, "'", "_systemdefault_", ""},
  };
  Set("MODE", "RYN_CSV_APPEND");
  Open(page);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entry);
    ui::Control& edit = Item(c.edit);
    edit.SetText(c.before);
    edit.SetSel(1, 1);
    Choose(c.button, c.entry);
    EXPECT_EQ(edit.GetText(), c.after);
  }
  // Applied, a bare separator becomes a quoted text, trimmed; a quoted one stays.
  Item(IDC_DECIMAL_SEPARATOR).SetText(" , ");
  Item(IDC_THOUSANDS_SEPARATOR).SetText("\"'\"");
  ASSERT_EQ(page.OnApply(), 1) << Boxes();
  EXPECT_EQ(VALUE_SEPARATOR.GetString(), "\"<HT>\"");
  EXPECT_EQ(VALUE_SEPARATOR.GetText(), "<HT>");
  EXPECT_EQ(DECIMAL_SEPARATOR.GetString(), "\",\"");
  EXPECT_EQ(THOUSANDS_SEPARATOR.GetString(), "\"'\"");
}

TEST_F(ExportPageTest, PopupCommandsWithoutTargetAreIgnored) {
  Open(page);
  Item(IDC_SCHEME).SetText("\"r\"");
  window->FireCommand(20001);
  EXPECT_EQ(Item(IDC_SCHEME).GetText(), "\"r\"") << "no pop-up opened yet";
  Choose(IDC_BROWSE_SCHEME, "20001");
  EXPECT_EQ(Item(IDC_SCHEME).GetText(), "<PROTOCOL_HEADER__TITLE_1>\"r\"");
  window->FireCommand(20001);
  EXPECT_EQ(Item(IDC_SCHEME).GetText(), "<PROTOCOL_HEADER__TITLE_1>\"r\"") << "the target is forgotten";
  window->Fire(IDC_BROWSE_SCHEME, ui::Event::Clicked);
  window->FireCommand(20900);  // in range, but no entry of this pop-up
  EXPECT_EQ(Item(IDC_SCHEME).GetText(), "<PROTOCOL_HEADER__TITLE_1>\"r\"");
}

// Every row of the parameter table that has a control on the page, in every
// mode and with MODE left open, through the executor and the page with only
// that parameter given: the executor refuses it exactly where its row says,
// and the page loads it, shows it, and keeps it on an edit apply, exactly
// where the mode's kind uses it.
TEST_F(ExportPageTest, ExecutorAndPageAgreeOnWhatEachModeUses) {
  const std::map<std::string, const char*> samples = {
      {"UNITTYPE", "MY"},
      {"FEATUREPATH", "OFF"},
      {"CONSIDER_EXPORT_FLAG", "ON"},
      {"SCRIPT_MOMENT", "BEFORE"},
      {"SCRIPT_FILE", "\"s.vxp\""},
      {"SCRIPT_CONFIG_FILE", "\"c.export\""},
      {"ADDITIONAL_DATA_FILE", "\"a.txt\""},
      {"TRANSPOSE_DATA", "ON"},
      {"VALUE_SEPARATOR", "\"<HT>\""},
      {"THOUSANDS_SEPARATOR", "\"'\""},
      {"DECIMAL_SEPARATOR", "\",\""},
  };
  const struct {
    CNamedObject* parameter;
    int control;
  } rows[] = {
#define PAGE_ROW(ident, name, type, initial, argument, use, refused, control, ...) {&ident, control},
      RYN_PARAMETER_TABLE(PAGE_ROW)
#undef PAGE_ROW
  };
  std::vector<long> modes{-1};
  for (const ModeRow& row : kModes) modes.push_back(row.mode);
  size_t walked = 0;
  for (size_t i = 0; i < std::size(rows); ++i) {
    const ModeParameter& row = kModeParameters[i];
    const std::string name = row.parameter->GetName();
    // SCHEME and MODE make the case; a row without a control is not on the page.
    if (row.usedBy == kUsedByAll || !rows[i].control) continue;
    ASSERT_TRUE(samples.count(name)) << "a sample value for " << name;
    ++walked;
    for (long mode : modes) {
      SCOPED_TRACE(name + " in mode " + std::to_string(mode));
      for (CNamedObject** arg = theExport.IdentifyArgs(); *arg; ++arg) (*arg)->Reset();
      if (mode >= 0) MODE = mode;
      Set(name.c_str(), samples.at(name));
      // Refused only after the mode check: nothing is written.
      Set("SCHEME", "\"r?.txt\"");
      const char* message = theExport.ExecCommand(false);
      const bool refused = row.refusedElsewhere && !ModeUses(mode, row);
      EXPECT_STREQ(message, refused ? (name + " cannot be used within this mode").c_str()
                                    : "SCHEME has invalid pathname");

      Open(page);
      ui::Control& control = Item(rows[i].control);
      EXPECT_EQ(control.IsCombo() ? Value(rows[i].control) : control.GetText(), samples.at(name));
      const bool shown = UseOf(mode) == 0 || ModeUses(mode, row);
      EXPECT_EQ(control.IsVisible(), shown);
      page.OnApply();
      const bool kept = control.IsCombo() ? control.GetCurSel() >= 0 : !control.GetText().empty();
      EXPECT_EQ(kept, shown) << "an edit apply clears what the mode does not use";
    }
  }
  EXPECT_EQ(walked, samples.size());
}

TEST_F(ExportPageTest, RunTimeApplyKeepsHiddenControlsAndChecksMandatoryOnes) {
  Set("SCHEME", "\"r.txt\"");
  Set("MODE", "RYN_ASCII_APPEND");
  Set("VALUE_SEPARATOR", "\";\"");
  Open(page, 0);
  // The script file is mandatory but hidden in an ASCII mode: nobody could fill it.
  EXPECT_EQ(page.OnApply(), 1) << Boxes();
  EXPECT_EQ(VALUE_SEPARATOR.GetString(), "\";\"") << "only the edit mode clears";

  Item(IDC_SCHEME).SetText("  ");
  EXPECT_EQ(page.OnApply(), 0);
  EXPECT_EQ(Boxes(), "[message box] RYN EXPORT: SCHEME must be provided\n");
  EXPECT_EQ(window->GetFocus(), IDC_SCHEME);

  // While editing, an empty scheme is allowed: it is filled in later.
  page.SetExecMode(TRELM_EXEC_MODE_EDIT);
  EXPECT_EQ(page.OnApply(), 1);
  EXPECT_FALSE(SCHEME.IsValueAvailable());
}

unsigned g_boxStyle = 0;
int RecordStyle(const char*, const char*, unsigned style) {
  g_boxStyle = style;
  return 1;
}

TEST_F(ExportPageTest, RefusedAppliesShowTheirMessageAndWriteNothing) {
  struct Case {
    const char* mode;  // MODE before opening
    const char* select;
    const char* box;
    int focus;
  } cases[] = {
      {"RYN_SCRIPT_EXPORT", nullptr, "SCRIPT_FILE must be provided", IDC_SCRIPT_FILE},
      {"RYN_EXPORT_DATA", nullptr, "The data-transfer option RYN_EXPORT_DATA is no longer supported.", IDC_MODE},
      {"RYN_ADDITIONAL_DATA", nullptr, "The data-transfer option RYN_ADDITIONAL_DATA is no longer supported.",
       IDC_MODE},
      // Without a selection nothing is cleared: the unit stays for the mode chosen next.
      {"RYN_SCRIPT_EXPORT", "", "MODE must be provided", IDC_MODE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    for (CNamedObject** arg = theExport.IdentifyArgs(); *arg; ++arg) (*arg)->Reset();
    Set("SCHEME", "\"r.txt\"");
    Set("MODE", c.mode);
    Set("UNITTYPE", "MY");
    Open(page);
    if (c.select) Select(IDC_MODE, c.select);
    Item(IDC_SCHEME).SetText("\"changed.txt\"");
    window->SetFocus(IDC_UNITTYPE);
    size_t before = norvia::MessageBoxLog().size();
    g_boxStyle = 0;
    MessageBoxHandler previous = SetMessageBoxHandler(&RecordStyle);
    EXPECT_EQ(page.OnApply(), 0);
    SetMessageBoxHandler(previous);
    EXPECT_EQ(g_boxStyle, 0x30u) << "the exclamation icon";
    EXPECT_EQ(norvia::MessageBoxLog().substr(before), std::string("[message box] RYN EXPORT: ") + c.box + "\n");
    EXPECT_EQ(window->GetFocus(), c.focus);
    if (c.select) {  // the MODE message comes after the controls were written
      EXPECT_EQ(Value(IDC_UNITTYPE), "MY");
      continue;
    }
    EXPECT_EQ(SCHEME.GetString(), "\"r.txt\"") << "a refused apply writes nothing";
  }
}

TEST_F(ExportPageTest, ApplyStopsAtTheFirstRefusedControl) {
  Set("SCHEME", "\"r.txt\"");
  Set("MODE", "RYN_CSV_APPEND");
  Set("VALUE_SEPARATOR", "\";\"");
  Open(page);
  // A combo entry that is no constant cannot be written back.
  Item(IDC_TRANSPOSE_DATA).AddItem("maybe", "MAYBE");
  Item(IDC_TRANSPOSE_DATA).SetCurSel(2);
  Item(IDC_VALUE_SEPARATOR).SetText("|");
  EXPECT_EQ(page.OnApply(), 0);
  EXPECT_EQ(Boxes(), "[message box] RYN EXPORT: Invalid value for TRANSPOSE_DATA: MAYBE\n");
  EXPECT_EQ(VALUE_SEPARATOR.GetString(), "\";\"") << "the separators come after TRANSPOSE_DATA";
  EXPECT_EQ(window->GetFocus(), IDC_TRANSPOSE_DATA);
}

}  // namespace
