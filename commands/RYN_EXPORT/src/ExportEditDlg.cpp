// The export parameter page: one control per parameter, shown as the mode
// needs it, pop-ups that insert placeholders and separators, and the apply
// that writes the controls back.
#include <cstdio>

#include "Export.h"
#include "ModeKinds.h"
#include "PageTemplates.h"
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

std::string Tr(const char* key) { return Translate(key, 0, nullptr, AfxGetAppName()); }

CNamedObject* g_onOff[] = {&C_ON, &C_OFF, nullptr};
CNamedObject* g_units[] = {&C_MY, &C_INHERENT, &C_MILLI, nullptr};
CNamedObject* g_moments[] = {&C_ALL, &C_BEFORE, &C_AFTER, nullptr};

// What a parameter's combo offers; Text: the parameter has an edit.
enum class Choices { Text, OnOff, Units, Modes, Moments };

// A parameter's controls on the page, from its row of the parameter table.
struct PageParameter {
  CNamedObject* parameter;
  int control, label, button;
  Choices choices;
  bool mandatory;
  int apply;  // its place when the page is applied
};
const PageParameter kPageParameters[kParameterCount] = {
#define RYN_PAGE_PARAMETER(ident, name, type, initial, argument, use, refused, control, label, labelKey, button, \
                           choices, mandatory, apply)                                                           \
  {&ident, control, label, button, Choices::choices, mandatory, apply},
    RYN_PARAMETER_TABLE(RYN_PAGE_PARAMETER)
#undef RYN_PAGE_PARAMETER
};

CNamedObject** ConstantsOf(Choices choices) {
  switch (choices) {
    case Choices::OnOff: return g_onOff;
    case Choices::Units: return g_units;
    case Choices::Modes: return g_ModeConsts;
    case Choices::Moments: return g_moments;
    case Choices::Text: break;
  }
  return nullptr;
}

void FillChoices(ui::Control& combo, Choices choices) {
  if (choices == Choices::Text) return;
  combo.ResetContent();
  switch (choices) {
    case Choices::Units:
      combo.AddItem(Tr("mm/inch"), "MILLI");
      combo.AddItem(Tr("um/uinch"), "MY");
      combo.AddItem(Tr("Inhaerent"), "INHERENT");
      break;
    case Choices::Modes:
      // The modes in the order of the mode table, the retired ones not offered.
      for (const ModeRow& mode : kModes)
        if (mode.label) combo.AddItem(Tr(mode.label), mode.keyword);
      break;
    default:
      FillComboList(&combo, ConstantsOf(choices));
  }
}

// A mode left open or retired shows everything, so nothing is hidden from a
// mode chosen later.
bool Shows(int mode, const ModeParameter& row) { return UseOf(mode) == 0 || ModeUses(mode, row); }

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
  RegisterPageTemplates();
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
  for (int i = 0; i < kParameterCount; ++i)
    if (kPageParameters[i].control) m_controls[i] = &w.Item(kPageParameters[i].control);
  m_bBound = true;
}

ui::Control* CExportEditDlg::ControlOf(const CNamedObject& parameter) const {
  for (int i = 0; i < kParameterCount; ++i)
    if (kPageParameters[i].parameter == &parameter) return m_controls[i];
  return nullptr;
}

int CExportEditDlg::InitPage() {
  TrelmTabDialog::OnInitDialog();
  if (!m_bBound) return 0;  // the binding failed (logged)
  ui::PageWindow& w = ui::WindowOf(*this);
  m_pPopupTarget = nullptr;
  for (int i = 0; i < kParameterCount; ++i) {
    const PageParameter& row = kPageParameters[i];
    if (!m_controls[i]) continue;
    FillChoices(*m_controls[i], row.choices);
    m_controls[i]->SetMandatory(row.mandatory);
    SetControlEntry(m_controls[i], *row.parameter, ConstantsOf(row.choices));
  }

  ControlOf(SCHEME)->SetFileSettings(FileSetup(6, 0, kFilterAll, ""));
  ControlOf(SCRIPT_FILE)->SetFileSettings(FileSetup(3, 1, kFilterVxp, "vxp"));
  ControlOf(SCRIPT_CONFIG_FILE)->SetFileSettings(FileSetup(0, 1, kFilterExport, "export"));
  ControlOf(ADDITIONAL_DATA_FILE)->SetFileSettings(FileSetup(6, 0, kFilterAll, ""));

  for (const PageParameter& row : kPageParameters) {
    if (!row.button) continue;
    w.Item(row.button).SetImage(kPopupButtonImage);
    w.On(row.button, ui::Event::Clicked, [this](int id, int) { OnPopupButton(id); });
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
  if (!ControlOf(MODE)) return -1;
  int selection = ControlOf(MODE)->GetCurSel();
  if (selection < 0) return -1;
  const std::string keyword = ControlOf(MODE)->GetItemValue(selection);
  for (const ModeRow& mode : kModes)
    if (keyword == mode.keyword) return mode.mode;
  return -1;
}

void CExportEditDlg::UpdateVisibleControls() {
  ui::PageWindow& w = ui::WindowOf(*this);
  const int mode = SelectedMode();
  for (int i = 0; i < kParameterCount; ++i) {
    const PageParameter& page = kPageParameters[i];
    for (int id : {page.label, page.control, page.button})
      if (id > 0) w.Item(id).Show(Shows(mode, kModeParameters[i]));
  }
  const ModeKindRow& kind = KindRowOf(mode);
  w.Item(IDC_LABEL_SCHEME).SetText(Tr(kind.schemeLabel));
  ControlOf(SCHEME)->SetFileSettings(FileSetup(kind.pathKind, 0, kind.filter, kind.extension));
}

void CExportEditDlg::AdaptSchemeExtension() {
  if (!SCHEME.IsValueAvailable()) return;
  std::string text = ControlOf(SCHEME)->GetText();
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
  const std::string extension = KindRowOf(mode).extension;
  // Without an extension of its own the mode leaves the name as it is.
  if (extension.empty()) return;
  ControlOf(SCHEME)->SetText("\"" + ReplaceExtension(bare, "." + extension) + "\"");
}

void CExportEditDlg::OnModeChanged() {
  UpdateVisibleControls();
  AdaptSchemeExtension();
}

void CExportEditDlg::OnSchemeKillFocus() {
  // The extension adaptation reads SCHEME, so the edit goes there at once.
  std::string text = Trim(ControlOf(SCHEME)->GetText());
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
    case IDC_BROWSE_ADDITIONAL_DATA_FILE: {
      m_pPopupTarget = buttonId == IDC_BROWSE_SCHEME ? ControlOf(SCHEME) : ControlOf(ADDITIONAL_DATA_FILE);
      m_bPopupReplace = false;
      ui::MenuItem autoContent{0, Tr("Popup_Autocontent"), {}};
      addTable(autoContent, m_autoContent);
      ui::MenuItem dateTime{0, Tr("Popup_Datum_Zeit"), {}};
      addTable(dateTime, m_dateTime);
      menu.items = {autoContent, dateTime};
      break;
    }
    case IDC_BROWSE_VALUE_SEPARATOR:
      m_pPopupTarget = ControlOf(VALUE_SEPARATOR);
      m_bPopupReplace = true;
      menu.label = Tr("Popup_ValueSeparators");
      addTable(menu, m_valueSeparators);
      break;
    case IDC_BROWSE_DECIMAL_SEPARATOR:
      m_pPopupTarget = ControlOf(DECIMAL_SEPARATOR);
      m_bPopupReplace = true;
      menu.label = Tr("Popup_DecimalSeparators");
      addTable(menu, m_decimalSeparators);
      break;
    case IDC_BROWSE_THOUSANDS_SEPARATOR:
      m_pPopupTarget = ControlOf(THOUSANDS_SEPARATOR);
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
  for (int i = 0; i < kParameterCount; ++i) {
    const int id = kPageParameters[i].control;
    if (Shows(mode, kModeParameters[i]) || !id) continue;
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
    return Refuse(ControlOf(MODE), text);
  }
  ClearUnused(mode);
  if (ModeIs(mode, ModeKind::Script) && Trim(ControlOf(SCRIPT_FILE)->GetText()).empty())
    return Refuse(ControlOf(SCRIPT_FILE), Tr("SCRIPT_FILE must be provided"));
  return 1;
}

int CExportEditDlg::ApplyPage() {
  if (!m_bBound) return 0;
  ui::PageWindow& w = ui::WindowOf(*this);
  const bool editing = GetExecMode() == TRELM_EXEC_MODE_EDIT;
  if (editing && !SettleModeForEditing()) return 0;

  const bool check = !editing;
  for (int place = 1; place <= kParameterCount; ++place)
    for (int i = 0; i < kParameterCount; ++i) {
      const PageParameter& row = kPageParameters[i];
      if (row.apply == place && !GetControlEntry(m_controls[i], *row.parameter, check, ConstantsOf(row.choices)))
        return 0;
    }

  if (!MODE.IsStringAvailable()) return Refuse(&w.Item(IDC_MODE), Tr("MODE must be provided"));
  return 1;
}
