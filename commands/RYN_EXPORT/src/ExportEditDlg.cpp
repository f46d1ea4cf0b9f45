// The export parameter page: one control per parameter, shown as the mode
// needs it, pop-ups that insert placeholders and separators, and the apply
// that writes the controls back.
#include <cstdio>

#include "Export.h"
#include "ModeParameters.h"
#include "Pages.h"
#include "Parameters.h"
#include "TextReplace.h"
#include "massert.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "ui/kit.h"
#include "norvia/transfer.h"

using namespace ryn;

namespace {

constexpr const char* kPageSource = "commands\\RYN_EXPORT\\src\\ExportEditDlg";
constexpr unsigned kIconExclamation = 0x30;

const char* const kFilterTxt = "ASCII-file (*.txt)|*.txt|All files (*.*)|*.*||";
const char* const kFilterCsv = "CSV-file (*.csv)|*.csv|All files (*.*)|*.*||";
const char* const kFilterVxp = "Vexlo (*.vxp)|*.vxp|All files (*.*)|*.*||";
const char* const kFilterExport = "Export-Configuration (*.export)|*.export|All files (*.*)|*.*||";
const char* const kFilterAll = "All files (*.*)|*.*||";

std::string Tr(const char* key) { return Translate(key, 0, nullptr, AfxGetAppName()); }

// How the scheme is labelled, browsed and extended for a mode; the retired
// modes and a mode left open are Other.
enum class ModeClass { Ascii, Script, Csv, Other };

ModeClass ClassOf(int mode) {
  const ModeRow* row = FindMode(mode);
  if (!row) return ModeClass::Other;
  if (row->kind == ModeKind::Ascii) return ModeClass::Ascii;
  if (row->kind == ModeKind::Script) return ModeClass::Script;
  if (IsCsvKind(row->kind)) return ModeClass::Csv;
  return ModeClass::Other;
}

CNamedObject* g_onOff[] = {&C_ON, &C_OFF, nullptr};
CNamedObject* g_units[] = {&C_MY, &C_INHERENT, &C_MILLI, nullptr};
CNamedObject* g_moments[] = {&C_ALL, &C_BEFORE, &C_AFTER, nullptr};

// A parameter's label, control and "..." button, shown and hidden together.
struct Group {
  const CNamedObject* parameter;
  int label, control, button;
};
const Group kGroups[] = {
    {&UNITTYPE, IDC_LABEL_UNIT, IDC_UNITTYPE, 0},
    {&FEATUREPATH, IDC_LABEL_FEATUREPATH, IDC_FEATUREPATH, 0},
    {&CONSIDER_EXPORT_FLAG, IDC_LABEL_EXPORT_FLAG, IDC_CONSIDER_EXPORT_FLAG, 0},
    {&SCRIPT_MOMENT, IDC_LABEL_MOMENT, IDC_SCRIPT_MOMENT, 0},
    {&SCRIPT_FILE, IDC_LABEL_SCRIPT, IDC_SCRIPT_FILE, 0},
    {&SCRIPT_CONFIG_FILE, IDC_LABEL_CONFIG, IDC_SCRIPT_CONFIG_FILE, 0},
    {&ADDITIONAL_DATA_FILE, IDC_LABEL_ADDITIONAL, IDC_ADDITIONAL_DATA_FILE, IDC_BROWSE_ADDITIONAL},
    {&TRANSPOSE_DATA, IDC_LABEL_TRANSPOSE, IDC_TRANSPOSE_DATA, 0},
    {&VALUE_SEPARATOR, IDC_LABEL_VALUE_SEP, IDC_VALUE_SEPARATOR, IDC_BROWSE_VALUE_SEP},
    {&DECIMAL_SEPARATOR, IDC_LABEL_DECIMAL_SEP, IDC_DECIMAL_SEPARATOR, IDC_BROWSE_DECIMAL_SEP},
    {&THOUSANDS_SEPARATOR, IDC_LABEL_THOUSANDS_SEP, IDC_THOUSANDS_SEPARATOR, IDC_BROWSE_THOUSANDS_SEP},
};

// The controls of a parameter of the mode table; every one has them, else
// an inert group with no control.
const Group& GroupOf(const ModeParameter& row) {
  static const Group none{nullptr, 0, 0, 0};
  for (const Group& group : kGroups)
    if (group.parameter == row.parameter) return group;
  MAssert_Soft(__FILE__, __LINE__, "GroupOf(row)", "no controls for %s", row.parameter->GetName());
  return none;
}

// A mode left open or retired shows everything, so nothing is hidden from a
// mode chosen later.
bool Shows(int mode, const ModeParameter& row) { return UseOf(mode) == 0 || ModeUses(mode, row); }

// How each mode class labels and browses the scheme.
struct SchemeView {
  const char* label;
  const char* filter;
  const char* extension;
  int kind;
};
const SchemeView& SchemeViewOf(ModeClass modeClass) {
  static const SchemeView ascii{"Schemaname.dlg", kFilterTxt, "txt", 6};
  static const SchemeView script{"Aufrufendes Messprogramm.dlg", kFilterVxp, "vxp", 3};
  static const SchemeView csv{"Schemaname.dlg", kFilterCsv, "csv", 6};
  static const SchemeView other{"Schemaname.dlg", kFilterAll, "", 6};
  switch (modeClass) {
    case ModeClass::Ascii: return ascii;
    case ModeClass::Script: return script;
    case ModeClass::Csv: return csv;
    case ModeClass::Other: break;
  }
  return other;
}

const char* ExtensionOf(int mode) {
  switch (ClassOf(mode)) {
    case ModeClass::Ascii: return ".txt";
    case ModeClass::Csv: return ".csv";
    case ModeClass::Script: return ".vxp";
    case ModeClass::Other: break;
  }
  return "";
}

// Replaces the extension of the file part; a name without one gets it appended.
std::string ReplaceExtension(const std::string& path, const std::string& extension) {
  size_t slash = path.find_last_of("/\\");
  size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart || dot == nameStart) return path + extension;
  return path.substr(0, dot) + extension;
}

bool IsQuotedLiteral(const std::string& text) {
  return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

ui::FileSettings FileSetup(int kind, int openArg, const char* filter, const char* extension) {
  ui::FileSettings settings;
  settings.pathKind = kind;
  settings.openArg = openArg;
  settings.filter = Tr(filter);
  settings.extension = extension;
  return settings;
}

}  // namespace

CExportEditDlg::CExportEditDlg(CTrelmGeneric* owner) : TrelmTabDialog(kTemplateId, owner) {
  static const char* const autoKeys[] = {
      "<PROTOCOL_HEADER__TITLE_1>",     "<PROTOCOL_HEADER__TITLE_2>",      "<PROTOCOL_HEADER__TITLE_3>",
      "<PROTOCOL_HEADER__OPERATOR>",    "<PROTOCOL_HEADER__PART_NAME>",    "<PROTOCOL_HEADER__DRAWING_NO>",
      "<PROTOCOL_HEADER__OPERATION>",   "<PROTOCOL_HEADER__COMMENT>",      "<PROTOCOL_HEADER__TEXT_1>",
      "<PROTOCOL_HEADER__TEXT_2>",      "<PROTOCOL_HEADER__TEXT_3>",       "<PROTOCOL_HEADER__TEXT_4>",
      "<PROTOCOL_HEADER__TEXT_5>",      "<ENVIRONMENT__MACHINE_SERIAL>",   "<ENVIRONMENT__PROBE_NAME>",
      "<ENVIRONMENT__PROBE_TIP_NAME>",  "<ENVIRONMENT__PROBE_TIP_RADIUS>", "<ENVIRONMENT__LOGGED_IN_USER>"};
  for (const char* key : autoKeys) m_autoContent.emplace_back(key, "");
  m_dateTime = {{"<DATE>", "Datum"}, {"<TIME>", "Uhrzeit"}, {"<YYYY>", ""}, {"<MM>", ""},
                {"<DD>", ""},        {"<hh>", ""},         {"<mm>", ""},   {"<ss>", ""}};
  m_valueSeparators = {{"", "_systemdefault_"},    {"<HT>", "horizontal tabulator"}, {"<FS>", "file separator"},
                       {"<GS>", "group separator"}, {"<RS>", "record separator"},     {"<US>", "unit separator"}};
  for (char c : std::string("!#$%&'*,./:;<=>?@^_`|~")) m_valueSeparators.emplace_back(std::string(1, c), "");
  m_decimalSeparators = {{"", "_systemdefault_"}, {",", ""}, {".", ""}};
  m_thousandsSeparators = {{"", "_systemdefault_"}, {"'", ""}};
}

void CExportEditDlg::DoDataExchange() {
  ryn::GuardedLogged(kPageSource, __LINE__, [&] { BindControls(); });
}

int CExportEditDlg::OnInitDialog() {
  return ryn::GuardedLogged(kPageSource, __LINE__, 0, [&] { return InitPage(); });
}

int CExportEditDlg::OnApply() {
  return ryn::GuardedLogged(kPageSource, __LINE__, 0, [&] { return ApplyPage(); });
}

void CExportEditDlg::BindControls() {
  ui::PageWindow& w = ui::WindowOf(*this);
  m_pScheme = &w.Item(IDC_SCHEME);
  m_pMode = &w.Item(IDC_MODE);
  m_pUnit = &w.Item(IDC_UNITTYPE);
  m_pFeaturePath = &w.Item(IDC_FEATUREPATH);
  m_pMoment = &w.Item(IDC_SCRIPT_MOMENT);
  m_pScript = &w.Item(IDC_SCRIPT_FILE);
  m_pConfig = &w.Item(IDC_SCRIPT_CONFIG_FILE);
  m_pExportFlag = &w.Item(IDC_CONSIDER_EXPORT_FLAG);
  m_pAdditional = &w.Item(IDC_ADDITIONAL_DATA_FILE);
  m_pTranspose = &w.Item(IDC_TRANSPOSE_DATA);
  m_pValueSep = &w.Item(IDC_VALUE_SEPARATOR);
  m_pDecimalSep = &w.Item(IDC_DECIMAL_SEPARATOR);
  m_pThousandsSep = &w.Item(IDC_THOUSANDS_SEPARATOR);
}

int CExportEditDlg::InitPage() {
  TrelmTabDialog::OnInitDialog();
  if (!m_pThousandsSep) return 0;  // the binding failed (logged)
  ui::PageWindow& w = ui::WindowOf(*this);
  m_pPopupTarget = nullptr;

  m_pUnit->ResetContent();
  m_pUnit->AddItem(Tr("mm/inch"), "MILLI");
  m_pUnit->AddItem(Tr("um/uinch"), "MY");
  m_pUnit->AddItem(Tr("Inhaerent"), "INHERENT");
  m_pMode->ResetContent();
  // The modes in the order of the mode table, the retired ones not offered.
  for (const ModeRow& mode : kModes)
    if (mode.label) m_pMode->AddItem(Tr(mode.label), mode.keyword);
  for (ui::Control* combo : {m_pFeaturePath, m_pTranspose, m_pExportFlag}) {
    combo->ResetContent();
    combo->AddItem(Tr("ON"), "ON");
    combo->AddItem(Tr("OFF"), "OFF");
  }

  m_pScheme->SetMandatory(true);
  m_pScript->SetMandatory(true);
  for (ui::Control* optional : {m_pUnit, m_pFeaturePath, m_pExportFlag, m_pConfig}) optional->SetMandatory(false);

  SetControlEntry(m_pScheme, SCHEME);
  SetControlEntry(m_pUnit, UNITTYPE, g_units);
  SetControlEntry(m_pMode, MODE, g_ModeConsts);
  SetControlEntry(m_pFeaturePath, FEATUREPATH, g_onOff);
  SetControlEntry(m_pExportFlag, CONSIDER_EXPORT_FLAG, g_onOff);
  FillComboList(m_pMoment, g_moments);
  SetControlEntry(m_pMoment, SCRIPT_MOMENT, g_moments);
  SetControlEntry(m_pScript, SCRIPT_FILE);
  SetControlEntry(m_pConfig, SCRIPT_CONFIG_FILE);
  SetControlEntry(m_pAdditional, ADDITIONAL_DATA_FILE);
  SetControlEntry(m_pTranspose, TRANSPOSE_DATA, g_onOff);
  SetControlEntry(m_pValueSep, VALUE_SEPARATOR);
  SetControlEntry(m_pDecimalSep, DECIMAL_SEPARATOR);
  SetControlEntry(m_pThousandsSep, THOUSANDS_SEPARATOR);

  m_pScheme->SetFileSettings(FileSetup(6, 0, kFilterAll, ""));
  m_pScript->SetFileSettings(FileSetup(3, 1, kFilterVxp, "vxp"));
  m_pConfig->SetFileSettings(FileSetup(0, 1, kFilterExport, "export"));
  m_pAdditional->SetFileSettings(FileSetup(6, 0, kFilterAll, ""));

  for (int button : {IDC_BROWSE_SCHEME, IDC_BROWSE_ADDITIONAL, IDC_BROWSE_VALUE_SEP, IDC_BROWSE_DECIMAL_SEP,
                     IDC_BROWSE_THOUSANDS_SEP}) {
    w.Item(button).SetImage(kPopupButtonImage);
    w.On(button, ui::Event::Clicked, [this](int id, int) { OnPopupButton(id); });
  }
  w.On(IDC_MODE, ui::Event::SelChange, [this](int, int) { OnModeChanged(); });
  w.On(IDC_MODE, ui::Event::KillFocus, [this](int, int) { OnModeChanged(); });
  w.On(IDC_SCHEME, ui::Event::KillFocus, [this](int, int) { OnSchemeKillFocus(); });
  w.OnCommandRange(kFirstPopupCommand, kLastPopupCommand, [this](int command) { OnPopupCommand(command); });

  UpdateVisibleControls();
  AdaptSchemeExtension();
  w.TranslateTexts(AfxGetAppName());
  SetModified(false);
  return 1;
}

int CExportEditDlg::SelectedMode() const {
  if (!m_pMode) return -1;
  int selection = m_pMode->GetCurSel();
  if (selection < 0) return -1;
  const std::string keyword = m_pMode->GetItemValue(selection);
  for (const ModeRow& mode : kModes)
    if (keyword == mode.keyword) return mode.mode;
  return -1;
}

void CExportEditDlg::UpdateVisibleControls() {
  ui::PageWindow& w = ui::WindowOf(*this);
  const int mode = SelectedMode();
  for (const ModeParameter& row : kModeParameters) {
    const Group& group = GroupOf(row);
    for (int id : {group.label, group.control, group.button})
      if (id) w.Item(id).Show(Shows(mode, row));
  }
  const SchemeView& view = SchemeViewOf(ClassOf(mode));
  w.Item(IDC_LABEL_SCHEME).SetText(Tr(view.label));
  m_pScheme->SetFileSettings(FileSetup(view.kind, 0, view.filter, view.extension));
}

void CExportEditDlg::AdaptSchemeExtension() {
  if (!SCHEME.IsValueAvailable()) return;
  std::string text = m_pScheme->GetText();
  const bool editing = GetExecMode() == TRELM_EXEC_MODE_EDIT;
  if (editing && !IsQuotedLiteral(text)) return;
  int mode = SelectedMode();
  if (mode < 0) {
    if (editing) return;
    mode = MODE.IsValueAvailable() ? static_cast<int>(MODE.GetValue()) : -1;
  }
  std::string bare;
  for (char c : text)
    if (c != '"') bare += c;
  const bool quotesRemoved = bare.size() != text.size();
  if (bare.empty() || !quotesRemoved) return;
  std::string extension = ExtensionOf(mode);
  // Without an extension of its own the mode leaves the name as it is.
  if (extension.empty()) return;
  m_pScheme->SetText("\"" + ReplaceExtension(bare, extension) + "\"");
}

void CExportEditDlg::OnModeChanged() {
  UpdateVisibleControls();
  AdaptSchemeExtension();
}

void CExportEditDlg::OnSchemeKillFocus() {
  // The extension adaptation reads SCHEME, so the edit goes there at once.
  std::string text = Trim(m_pScheme->GetText());
  if (text.empty()) {
    SCHEME.Reset();
  } else if (SCHEME.Set(text, theExport.IdentifyConsts())) {
    SCHEME.SetUsed(true);
  }
}

void CExportEditDlg::OnPopupButton(int buttonId) {
  ui::PageWindow& w = ui::WindowOf(*this);
  m_popupCommands.clear();
  int counter = kFirstPopupCommand;
  auto addTable = [&](ui::MenuItem& menu, const PopupTable& table) {
    for (const auto& [value, label] : table) {
      m_popupCommands[++counter] = value;
      menu.items.push_back({counter, label.empty() ? value : Tr(label.c_str()), {}});
    }
  };
  ui::MenuItem menu;
  switch (buttonId) {
    case IDC_BROWSE_SCHEME:
    case IDC_BROWSE_ADDITIONAL: {
      m_pPopupTarget = buttonId == IDC_BROWSE_SCHEME ? m_pScheme : m_pAdditional;
      m_bPopupReplace = false;
      ui::MenuItem autoContent{0, Tr("Popup_Autocontent"), {}};
      addTable(autoContent, m_autoContent);
      ui::MenuItem dateTime{0, Tr("Popup_Datum_Zeit"), {}};
      addTable(dateTime, m_dateTime);
      menu.items = {autoContent, dateTime};
      break;
    }
    case IDC_BROWSE_VALUE_SEP:
      m_pPopupTarget = m_pValueSep;
      m_bPopupReplace = true;
      menu.label = Tr("Popup_ValueSeparators");
      addTable(menu, m_valueSeparators);
      break;
    case IDC_BROWSE_DECIMAL_SEP:
      m_pPopupTarget = m_pDecimalSep;
      m_bPopupReplace = true;
      menu.label = Tr("Popup_DecimalSeparators");
      addTable(menu, m_decimalSeparators);
      break;
    case IDC_BROWSE_THOUSANDS_SEP:
      m_pPopupTarget = m_pThousandsSep;
      m_bPopupReplace = true;
      menu.label = Tr("Popup_ThousandsSeparators");
      addTable(menu, m_thousandsSeparators);
      break;
    default:
      return;
  }
  w.TrackPopupMenu(menu, buttonId);
}

void CExportEditDlg::OnPopupCommand(int command) {
  if (!m_pPopupTarget) return;
  auto found = m_popupCommands.find(command);
  if (found == m_popupCommands.end()) return;
  ui::Control& target = *m_pPopupTarget;
  const std::string& value = found->second;
  if (m_bPopupReplace) target.SetText("");
  int start = 0, end = 0;
  target.GetSel(start, end);
  std::string text = Trim(target.GetText());
  int size = static_cast<int>(text.size());
  start = std::min(start, size);
  end = std::max(start, std::min(end, size));
  text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
  text.insert(static_cast<size_t>(start), value);
  target.SetText(text);
  target.Focus();
  int caret = start + static_cast<int>(value.size());
  target.SetSel(caret, caret);
  target.ScrollCaret();
  m_pPopupTarget = nullptr;
}

// Empties the controls of the parameters `mode` does not use; an open or
// retired mode keeps them all.
void CExportEditDlg::ClearUnused(int mode) {
  ui::PageWindow& w = ui::WindowOf(*this);
  for (const ModeParameter& row : kModeParameters) {
    const int id = GroupOf(row).control;
    if (Shows(mode, row) || !id) continue;
    ui::Control& control = w.Item(id);
    if (control.IsCombo()) {
      control.SetCurSel(-1);
    } else {
      control.SetText("");
    }
  }
}

int CExportEditDlg::Refuse(ui::Control* focus, const std::string& text) {
  if (focus) focus->Focus();
  MfxMessageBox(text.c_str(), kIconExclamation);
  return 0;
}

// The edit mode's part of the apply: what the selected mode does not use goes,
// and what it cannot run without must be there.
int CExportEditDlg::SettleModeForEditing() {
  int mode = SelectedMode();
  // The combo does not offer the retired modes, so they are known by MODE
  // alone; an offered mode left unselected clears nothing.
  if (mode < 0 && MODE.IsValueAvailable() && ModeIs(MODE.GetValue(), ModeKind::Retired))
    mode = static_cast<int>(MODE.GetValue());
  if (ModeIs(mode, ModeKind::Retired)) {
    std::string notice = Tr("Datenuebertragung nicht mehr unterstuetzt");
    char text[512];
    std::snprintf(text, sizeof text, notice.c_str(), FindMode(mode)->keyword);
    return Refuse(m_pMode, text);
  }
  ClearUnused(mode);
  if (ModeIs(mode, ModeKind::Script) && Trim(m_pScript->GetText()).empty())
    return Refuse(m_pScript, Tr("SCRIPT_FILE must be provided"));
  return 1;
}

int CExportEditDlg::ApplyPage() {
  if (!m_pThousandsSep) return 0;  // never bound
  ui::PageWindow& w = ui::WindowOf(*this);
  const bool editing = GetExecMode() == TRELM_EXEC_MODE_EDIT;
  if (editing && !SettleModeForEditing()) return 0;

  const bool check = !editing;
  struct Entry {
    ui::Control* control;
    CNamedObject& parameter;
    CNamedObject** constants;
  };
  const Entry entries[] = {
      {m_pScheme, SCHEME, nullptr},
      {m_pUnit, UNITTYPE, g_units},
      {m_pMode, MODE, g_ModeConsts},
      {m_pFeaturePath, FEATUREPATH, g_onOff},
      {m_pExportFlag, CONSIDER_EXPORT_FLAG, g_onOff},
      {m_pMoment, SCRIPT_MOMENT, g_moments},
      {m_pScript, SCRIPT_FILE, nullptr},
      {m_pConfig, SCRIPT_CONFIG_FILE, nullptr},
      {m_pAdditional, ADDITIONAL_DATA_FILE, nullptr},
      {m_pTranspose, TRANSPOSE_DATA, g_onOff},
      {m_pValueSep, VALUE_SEPARATOR, nullptr},
      {m_pDecimalSep, DECIMAL_SEPARATOR, nullptr},
      {m_pThousandsSep, THOUSANDS_SEPARATOR, nullptr},
  };
  for (const Entry& entry : entries)
    if (!GetControlEntry(entry.control, entry.parameter, check, entry.constants)) return 0;

  if (!MODE.IsStringAvailable()) return Refuse(&w.Item(IDC_MODE), Tr("MODE must be provided"));
  return 1;
}
