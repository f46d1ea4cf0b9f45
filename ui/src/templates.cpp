// The dialog templates the pages run on, in dialog units. The Win32 build
// has the same controls in its resource script; a test holds the two together.
#include "ui/kit.h"
#include "norvia/record_page.h"

namespace ui {
namespace {

constexpr int kLabelX = 7, kControlX = 265, kButtonX = 470;
constexpr int kRow = 18;

int RowY(int row) { return 7 + row * kRow; }

Template MakeExportTemplate() {
  struct Row {
    int label;
    const char* text;
    int control;
    Kind kind;
    int button;
  };
  // Label, control and "..." button of each parameter, top to bottom.
  static const Row rows[] = {
      {1023, "Schemaname.dlg", 1004, Kind::FileEdit, 1028},
      {-1, "Modus", 1006, Kind::Combo, 0},
      {1024, "Einheiten.dlg", 1003, Kind::Combo, 0},
      {1025, "Merkmalsnamen mit Pfadangabe", 1005, Kind::Combo, 0},
      {1022, "Ausfuehrungszeitpunkt", 1007, Kind::Combo, 0},
      {1026, "Scriptdatei.dlg", 1008, Kind::FileEdit, 0},
      {1027, "Konfigurationsdatei.dlg", 1009, Kind::FileEdit, 0},
      {1043, "AutomatischerExport.dlg", 1044, Kind::Combo, 0},
      {1029, "Kopfdaten.dlg", 1034, Kind::FileEdit, 1039},
      {1030, "Transponieren.dlg", 1035, Kind::Combo, 0},
      {1031, "Listentrennzeichen.dlg", 1036, Kind::Edit, 1040},
      {1032, "Dezimaltrennzeichen.dlg", 1037, Kind::Edit, 1041},
      {1033, "Tausendertrennzeichen.dlg", 1038, Kind::Edit, 1042},
  };
  Template t{102, "Parameter", 495, RowY(13) + 7, {}};
  int row = 0;
  for (const Row& r : rows) {
    int y = RowY(row++);
    t.controls.push_back({r.label, Kind::Static, r.text, kLabelX, y + 2, 250, 10});
    t.controls.push_back({r.control, r.kind, "", kControlX, y, 200, r.kind == Kind::Combo ? 100 : 14});
    if (r.button) t.controls.push_back({r.button, Kind::ImageButton, "...", kButtonX, y, 16, 14});
  }
  return t;
}

Template MakeFeaturesTemplate() {
  return Template{109,
                  "Merkmalsdateien fuer Export waehlen",
                  314,
                  224,
                  {
                      {-1, Kind::Static, "Merkmalsdateien fuer Export :", 7, 7, 300, 10},
                      {1007, Kind::Grid, "", 7, 20, 300, 150},
                      {1017, Kind::Edit, "", 7, 20, 300, 150},
                      {-1, Kind::Frame, "", 7, 176, 300, 41},
                      {-1, Kind::Icon, "109", 13, 184, 20, 20},
                      {1021, Kind::Static,
                       "Werden keine Merkmalsdateien angegeben, so ermittelt RYN EXPORT selbst, welche "
                       "Merkmale waehrend des Programmlaufs erzeugt wurden und exportiert alle im "
                       "Programmlauf erzeugten Merkmale.",
                       40, 180, 262, 34},
                  }};
}

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

}  // namespace

const Template* FindTemplate(int id) {
  static const Template templates[] = {MakeExportTemplate(), MakeFeaturesTemplate(), MakeRecordTemplate()};
  for (const Template& t : templates)
    if (t.id == id) return &t;
  return nullptr;
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
