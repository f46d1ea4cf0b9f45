// The feature file page: FEATURES as a grid of paths, one per row with an
// empty row for the next entry, or as text when it is an expression.
#include "PageTemplates.h"
#include "Pages.h"
#include "Parameters.h"
#include "TextReplace.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "ui/kit.h"
#include "norvia/transfer.h"

using namespace ryn;

namespace {

constexpr const char* kPageSource = "commands\\RYN_EXPORT\\src\\FeaturesEditDlg";
constexpr int kFeatureDirectoryKind = 1;
const char* const kFeatureFilter = "Features (*.fea)|*.fea|Featurelist (*.lst)|*.lst|All Files (*.*)|*.*||";

std::string RelativeFeaturePath(std::string path) {
  if (!path.empty()) Orvouser_Path2Relative(path, kFeatureDirectoryKind);
  return path;
}

}  // namespace

CFeaturesEditDlg::CFeaturesEditDlg(CTrelmGeneric* owner) : TrelmTabDialog(kTemplateId, owner) {
  ryn::RegisterPageTemplates();
}

void CFeaturesEditDlg::DoDataExchange() {
  ryn::GuardedLogged(kPageSource, __LINE__, [&] { BindControls(); });
}

int CFeaturesEditDlg::OnInitDialog() {
  return ryn::GuardedLogged(kPageSource, __LINE__, 0, [&] { return InitPage(); });
}

int CFeaturesEditDlg::OnApply() {
  return ryn::GuardedLogged(kPageSource, __LINE__, 0, [&] { return ApplyPage(); });
}

void CFeaturesEditDlg::BindControls() {
  ui::PageWindow& w = ui::WindowOf(*this);
  m_pGrid = &w.Item(IDC_FEATURE_GRID);
  m_pEdit = &w.Item(IDC_FEATURE_EDIT);
}

int CFeaturesEditDlg::InitPage() {
  TrelmTabDialog::OnInitDialog();
  if (!m_pEdit) return 0;  // the binding failed (logged)
  ui::PageWindow& w = ui::WindowOf(*this);
  SetModified(false);

  ui::FileSettings cells;
  cells.pathKind = kFeatureDirectoryKind;
  cells.filter = Translate(kFeatureFilter, 0, nullptr, AfxGetAppName());
  cells.startDirectory = Orvouser_GetAbsolutPath(kFeatureDirectoryKind, "", "");
  if (!cells.startDirectory.empty() && cells.startDirectory.find_last_of("/\\") != cells.startDirectory.size() - 1)
    cells.startDirectory += '/';
  cells.startDirectory += "*.fea;*.lst";
  m_pGrid->SetFileSettings(cells);

  const int count = FEATURES.IsValueAvailable() ? FEATURES.GetSize() : 0;
  m_pGrid->SetRowCount(count + 1);

  // Only a list of quoted literals fits the grid; anything else is edited as text.
  m_bExpression = false;
  if (FEATURES.IsStringAvailable()) {
    std::vector<std::string> items;
    m_bExpression = !norvia::ParseQuotedList(FEATURES.GetString(), items);
  }
  m_pGrid->Show(!m_bExpression);
  m_pEdit->Show(m_bExpression);
  if (m_bExpression) {
    SetControlEntry(m_pEdit, FEATURES);
  } else {
    for (int i = 0; i < count; ++i) m_pGrid->SetCell(i, RelativeFeaturePath(FEATURES.GetAt(i)));
  }
  m_pGrid->AutoSizeColumns();

  w.On(IDC_FEATURE_GRID, ui::Event::EndEdit, [this](int, int row) { OnEndEditCell(row); });
  w.TranslateTexts(AfxGetAppName());
  return 1;
}

void CFeaturesEditDlg::NormaliseRows() {
  for (int row = m_pGrid->GetRowCount() - 2; row >= 0; --row)
    if (m_pGrid->GetCell(row).empty()) m_pGrid->DeleteRow(row);
  int rows = m_pGrid->GetRowCount();
  if (rows == 0 || !m_pGrid->GetCell(rows - 1).empty()) m_pGrid->SetRowCount(rows + 1);
}

void CFeaturesEditDlg::OnEndEditCell(int row) {
  if (!m_pGrid) return;
  m_pGrid->SetCell(row, RelativeFeaturePath(Trim(m_pGrid->GetCell(row))));
  NormaliseRows();
  m_pGrid->AutoSizeColumns();
  SetModified(true);
}

int CFeaturesEditDlg::ApplyPage() {
  if (!m_pEdit) return 0;  // never bound
  if (m_bExpression)
    return GetControlEntry(m_pEdit, FEATURES, GetExecMode() != TRELM_EXEC_MODE_EDIT) ? 1 : 0;
  std::string text;
  const int rows = m_pGrid->GetRowCount();
  for (int row = 0; row + 1 < rows; ++row) text += (row ? ", \"" : "\"") + m_pGrid->GetCell(row) + "\"";
  if (text.empty()) {
    // No files: the export chooses the features of the run itself.
    FEATURES.Reset();
  } else if (FEATURES.Set(text)) {
    FEATURES.SetUsed(true);
  }
  return TrelmTabDialog::OnApply();
}

void CFeaturesEditDlg::DestroyWindow() {
  m_pGrid = nullptr;
  m_pEdit = nullptr;
  AttachWindow(nullptr);
}
