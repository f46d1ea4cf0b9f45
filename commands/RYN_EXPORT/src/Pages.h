// The command's parameter pages: the export page (template 102), the
// record parameter page and the feature file page (template 109).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "norvia/command.h"
#include "norvia/record_page.h"

namespace ui {
class Control;
class PageWindow;
}  // namespace ui

// Control ids of template 102.
enum ExportDlgId {
  IDC_UNITTYPE = 1003,
  IDC_SCHEME = 1004,
  IDC_FEATUREPATH = 1005,
  IDC_MODE = 1006,
  IDC_SCRIPT_MOMENT = 1007,
  IDC_SCRIPT_FILE = 1008,
  IDC_SCRIPT_CONFIG_FILE = 1009,
  IDC_ADDITIONAL_DATA_FILE = 1034,
  IDC_TRANSPOSE_DATA = 1035,
  IDC_VALUE_SEPARATOR = 1036,
  IDC_DECIMAL_SEPARATOR = 1037,
  IDC_THOUSANDS_SEPARATOR = 1038,
  IDC_CONSIDER_EXPORT_FLAG = 1044,
  IDC_LABEL_MOMENT = 1022,
  IDC_LABEL_SCHEME = 1023,
  IDC_LABEL_UNIT = 1024,
  IDC_LABEL_FEATUREPATH = 1025,
  IDC_LABEL_SCRIPT = 1026,
  IDC_LABEL_CONFIG = 1027,
  IDC_LABEL_ADDITIONAL = 1029,
  IDC_LABEL_TRANSPOSE = 1030,
  IDC_LABEL_VALUE_SEP = 1031,
  IDC_LABEL_DECIMAL_SEP = 1032,
  IDC_LABEL_THOUSANDS_SEP = 1033,
  IDC_LABEL_EXPORT_FLAG = 1043,
  IDC_BROWSE_SCHEME = 1028,
  IDC_BROWSE_ADDITIONAL = 1039,
  IDC_BROWSE_VALUE_SEP = 1040,
  IDC_BROWSE_DECIMAL_SEP = 1041,
  IDC_BROWSE_THOUSANDS_SEP = 1042,
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

  ui::Control* m_pScheme = nullptr;
  ui::Control* m_pMode = nullptr;
  ui::Control* m_pUnit = nullptr;
  ui::Control* m_pFeaturePath = nullptr;
  ui::Control* m_pMoment = nullptr;
  ui::Control* m_pScript = nullptr;
  ui::Control* m_pConfig = nullptr;
  ui::Control* m_pExportFlag = nullptr;
  ui::Control* m_pAdditional = nullptr;
  ui::Control* m_pTranspose = nullptr;
  ui::Control* m_pValueSep = nullptr;
  ui::Control* m_pDecimalSep = nullptr;
  ui::Control* m_pThousandsSep = nullptr;

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
