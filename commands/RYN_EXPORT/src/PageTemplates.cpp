// The export page's template from the parameter table: each parameter's
// label, control and "..." button on one line, in the order of the layout
// below; and the feature file page's template.
#include "PageTemplates.h"

#include <iterator>

#include "Pages.h"
#include "Parameters.h"
#include "ui/kit.h"

namespace ryn {
namespace {

constexpr int kLabelX = 7, kControlX = 265, kButtonX = 470;
constexpr int kRow = 18;

int RowY(int row) { return 7 + row * kRow; }

// A parameter's controls, from its row.
struct PageRow {
  const CNamedObject* parameter;
  int control, label, button;
  const char* labelKey;
};
const PageRow kRows[] = {
#define RYN_PAGE_ROW(ident, name, type, initial, argument, use, refused, control, label, labelKey, button, ...) \
  {&ident, control, label, button, labelKey},
    RYN_PARAMETER_TABLE(RYN_PAGE_ROW)
#undef RYN_PAGE_ROW
};

// The page top to bottom, and the kind of each parameter's control.
const struct {
  const CNamedObject* parameter;
  ui::Kind kind;
} kLayout[] = {
    {&SCHEME, ui::Kind::FileEdit},
    {&MODE, ui::Kind::Combo},
    {&UNITTYPE, ui::Kind::Combo},
    {&FEATUREPATH, ui::Kind::Combo},
    {&SCRIPT_MOMENT, ui::Kind::Combo},
    {&SCRIPT_FILE, ui::Kind::FileEdit},
    {&SCRIPT_CONFIG_FILE, ui::Kind::FileEdit},
    {&CONSIDER_EXPORT_FLAG, ui::Kind::Combo},
    {&ADDITIONAL_DATA_FILE, ui::Kind::FileEdit},
    {&TRANSPOSE_DATA, ui::Kind::Combo},
    {&VALUE_SEPARATOR, ui::Kind::Edit},
    {&DECIMAL_SEPARATOR, ui::Kind::Edit},
    {&THOUSANDS_SEPARATOR, ui::Kind::Edit},
};

const PageRow& RowOf(const CNamedObject* parameter) {
  for (const PageRow& row : kRows)
    if (row.parameter == parameter) return row;
  return kRows[0];
}

ui::Template MakeExportTemplate() {
  ui::Template t{CExportEditDlg::kTemplateId, "Parameter", 495, RowY(static_cast<int>(std::size(kLayout))) + 7, {}};
  int line = 0;
  for (const auto& place : kLayout) {
    const PageRow& r = RowOf(place.parameter);
    const int y = RowY(line++);
    const bool combo = place.kind == ui::Kind::Combo;
    t.controls.push_back({r.label, ui::Kind::Static, r.labelKey, kLabelX, y + 2, 250, 10});
    t.controls.push_back({r.control, place.kind, "", kControlX, y, 200, combo ? 100 : 14});
    if (r.button) t.controls.push_back({r.button, ui::Kind::ImageButton, "...", kButtonX, y, 16, 14});
  }
  return t;
}

ui::Template MakeFeaturesTemplate() {
  return ui::Template{CFeaturesEditDlg::kTemplateId,
                      "Merkmalsdateien fuer Export waehlen",
                      314,
                      224,
                      {
                          {-1, ui::Kind::Static, "Merkmalsdateien fuer Export :", 7, 7, 300, 10},
                          {IDC_FEATURE_GRID, ui::Kind::Grid, "", 7, 20, 300, 150},
                          {IDC_FEATURE_EDIT, ui::Kind::Edit, "", 7, 20, 300, 150},
                          {-1, ui::Kind::Frame, "", 7, 176, 300, 41},
                          {-1, ui::Kind::Icon, "109", 13, 184, 20, 20},
                          {IDC_FEATURE_NOTE, ui::Kind::Static,
                           "Werden keine Merkmalsdateien angegeben, so ermittelt RYN EXPORT selbst, welche "
                           "Merkmale waehrend des Programmlaufs erzeugt wurden und exportiert alle im "
                           "Programmlauf erzeugten Merkmale.",
                           40, 180, 262, 34},
                      }};
}

// Before any test or page runs, in every module that links the pages.
const bool g_registered = (RegisterPageTemplates(), true);

}  // namespace

void RegisterPageTemplates() {
  static const bool once = [] {
    ui::RegisterTemplate(MakeExportTemplate());
    ui::RegisterTemplate(MakeFeaturesTemplate());
    return true;
  }();
  (void)once;
}

}  // namespace ryn
