// The dialog templates the pages run on, in dialog units: the framework's
// record page and those the commands register. The Win32 build has the same
// controls in its resource scripts; a test holds the two together.
#include <deque>

#include "norvia/record_page.h"
#include "ui/kit.h"

namespace ui {
namespace {

constexpr int kLabelX = 7;
constexpr int kRow = 18;

int RowY(int row) { return 7 + row * kRow; }

Template MakeRecordTemplate() {
  static const char* const labels[CEditRecordParameterGeneric::kFieldCount] = {
      "Titel 1",     "Titel 2",   "Titel 3", "Revision", "Bediener", "Teilename", "Zeichnungsnummer",
      "Arbeitsgang", "Kommentar", "Text 1",  "Text 2",   "Text 3",   "Text 4",    "Text 5"};
  Template t{CEditRecordParameterGeneric::kTemplateId, "Kopfdaten.dlg", 300,
             RowY(CEditRecordParameterGeneric::kFieldCount) + 7, {}};
  for (int i = 0; i < CEditRecordParameterGeneric::kFieldCount; ++i) {
    t.controls.push_back(
        {CEditRecordParameterGeneric::kFirstLabelId + i, Kind::Static, labels[i], kLabelX, RowY(i) + 2, 90, 10});
    t.controls.push_back({CEditRecordParameterGeneric::kFirstEditId + i, Kind::Edit, "", 100, RowY(i), 190, 14});
  }
  return t;
}

std::deque<Template>& Templates() {
  static std::deque<Template> templates{MakeRecordTemplate()};  // addresses stay: windows keep them
  return templates;
}

}  // namespace

const Template* FindTemplate(int id) {
  for (const Template& t : Templates())
    if (t.id == id) return &t;
  return nullptr;
}

void RegisterTemplate(const Template& dialogTemplate) {
  for (Template& t : Templates())
    if (t.id == dialogTemplate.id) {
      t = dialogTemplate;
      return;
    }
  Templates().push_back(dialogTemplate);
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Static: return "static";
    case Kind::Edit: return "edit";
    case Kind::FileEdit: return "file-edit";
    case Kind::Combo: return "combo";
    case Kind::ImageButton: return "button";
    case Kind::Grid: return "grid";
    case Kind::Frame: return "frame";
    case Kind::Icon: return "icon";
  }
  return "?";
}

}  // namespace ui
