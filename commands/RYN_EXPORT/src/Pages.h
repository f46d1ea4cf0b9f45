// The command's parameter pages: the export page (template 102), the
// record parameter page and the feature file page (template 109).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Parameters.h"
#include "norvia/command.h"
#include "norvia/record_page.h"

namespace ui {
class Control;
class PageWindow;
}  // namespace ui

// Control ids of template 102: each parameter's control, label and "..."
// button from its row of the parameter table (0: none).
enum ExportDlgId {
#define RYN_PAGE_IDS(ident, name, type, initial, argument, use, refused, control, label, labelKey, button, ...) \
  IDC_##ident = control, IDC_LABEL_##ident = label, IDC_BROWSE_##ident = button,
  RYN_PARAMETER_TABLE(RYN_PAGE_IDS)
#undef RYN_PAGE_IDS
};
// Control ids of template 109.
enum FeaturesDlgId { IDC_FEATURE_GRID = 1007, IDC_FEATURE_EDIT = 1017, IDC_FEATURE_NOTE = 1021 };

// Pop-up commands: the counter starts here and counts up before each entry.
constexpr int kFirstPopupCommand = 20000;
constexpr int kLastPopupCommand = 21000;
// Image of the five "..." buttons.
constexpr int kPopupButtonImage = 111;

// (value, label) of a pop-up entry; an empty label shows the value.
using PopupTable = std::vector<std::pair<std::string, std::string>>;

class CExportEditDlg : public TrelmTabDialog {
 public:
  static constexpr int kTemplateId = 102;
  explicit CExportEditDlg(CTrelmGeneric* owner);

  // The framework calls these from the host's library: each runs its part
  // below guarded, a failure is logged and answers 0.
  void DoDataExchange() override;
  int OnInitDialog() override;
  int OnApply() override;

  // The mode chosen in the combo, -1 when none.
  int SelectedMode() const;
  void UpdateVisibleControls();
  void AdaptSchemeExtension();
  void OnModeChanged();
  void OnPopupButton(int buttonId);
  void OnPopupCommand(int command);
  void OnSchemeKillFocus();

 private:
  void BindControls();
  int InitPage();
  int ApplyPage();
  int SettleModeForEditing();
  void ClearUnused(int mode);
  int Refuse(ui::Control* focus, const std::string& text);

  // The control of a parameter of the page; null before the binding.
  ui::Control* ControlOf(const CNamedObject& parameter) const;

  ui::Control* m_controls[ryn::kParameterCount] = {};  // by row of the parameter table
  bool m_bBound = false;

  PopupTable m_autoContent, m_dateTime, m_valueSeparators, m_decimalSeparators, m_thousandsSeparators;
  ui::Control* m_pPopupTarget = nullptr;
  bool m_bPopupReplace = false;
  std::map<int, std::string> m_popupCommands;  // the value each command of the open pop-up inserts
};

class CFeaturesEditDlg : public TrelmTabDialog {
 public:
  static constexpr int kTemplateId = 109;
  explicit CFeaturesEditDlg(CTrelmGeneric* owner);

  void DoDataExchange() override;
  int OnInitDialog() override;
  int OnApply() override;
  // The window goes with the dialog; the page forgets its controls.
  void DestroyWindow();

  void OnEndEditCell(int row);

 private:
  void BindControls();
  int InitPage();
  int ApplyPage();
  void NormaliseRows();
  ui::Control* m_pGrid = nullptr;
  ui::Control* m_pEdit = nullptr;
  bool m_bExpression = false;
};

class CEditRecordParameterDlg : public CEditRecordParameterGeneric {
 public:
  CEditRecordParameterDlg(CTrelmGeneric* owner, CNamedObject** args, void* parent);
  ~CEditRecordParameterDlg() override = default;
  int OnInitDialog() override;
  CTrelmGeneric* GetTrelmObject() override;

 private:
  int InitPage();
};
