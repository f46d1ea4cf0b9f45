// What each kind of mode is, written once: the parameters it uses, the
// extension and file filter of its scheme on the page, the scheme's label
// and path kind, and the writer the executor calls.
#pragma once

#include "Export.h"
#include "ModeParameters.h"

namespace ryn {

inline constexpr const char* kFilterTxt = "ASCII-file (*.txt)|*.txt|All files (*.*)|*.*||";
inline constexpr const char* kFilterCsv = "CSV-file (*.csv)|*.csv|All files (*.*)|*.*||";
inline constexpr const char* kFilterVxp = "Vexlo (*.vxp)|*.vxp|All files (*.*)|*.*||";
inline constexpr const char* kFilterExport = "Export-Configuration (*.export)|*.export|All files (*.*)|*.*||";
inline constexpr const char* kFilterAll = "All files (*.*)|*.*||";

// KIND(kind, use, extension, filter, schemeLabel, pathKind, writer, whenChecking, additionalData)
//   use            the parameters it uses (ModeUse bits; 0: shows them all)
//   extension      given to a quoted scheme when the mode is chosen ("": none)
//   filter, schemeLabel, pathKind  how the page labels and browses the scheme
//   writer         what the executor runs; whenChecking: also on a check
//   additionalData the additional-data file is written first when given
#define RYN_MODE_KIND_TABLE(KIND)                                                                                \
  KIND(Retired, 0, "", kFilterAll, "Schemaname.dlg", 6, RetiredModeMessage, false, false)                       \
  KIND(Ascii, kUsedByAscii, "txt", kFilterTxt, "Schemaname.dlg", 6, FunctionExportASCII, false, false)          \
  KIND(Script, kUsedByScript, "vxp", kFilterVxp, "Aufrufendes Messprogramm.dlg", 3, RunScriptExport, true,      \
       false)                                                                                                   \
  KIND(Csv, kUsedByTables, "csv", kFilterCsv, "Schemaname.dlg", 6, FunctionExportCSV, false, true)              \
  KIND(CsvCompact, kUsedByTables, "csv", kFilterCsv, "Schemaname.dlg", 6, FunctionExportCSV, false, true)       \
  KIND(CsvHistory, kUsedByTables, "csv", kFilterCsv, "Schemaname.dlg", 6, FunctionExportCSVHistory, false, true)

struct ModeKindRow {
  ModeKind kind;
  unsigned use;
  const char* extension;
  const char* filter;
  const char* schemeLabel;
  int pathKind;
  Status (*writer)(CTrelmExport&, const ExportSettings&);
  bool whenChecking;
  bool additionalData;
};

inline constexpr ModeKindRow kModeKinds[] = {
#define RYN_MODE_KIND_ROW(kind, use, extension, filter, label, pathKind, writer, whenChecking, additionalData) \
  {ModeKind::kind,                                                                                             \
   use,                                                                                                        \
   extension,                                                                                                  \
   filter,                                                                                                     \
   label,                                                                                                      \
   pathKind,                                                                                                   \
   [](CTrelmExport& e, const ExportSettings& s) { return e.writer(s); },                                                       \
   whenChecking,                                                                                               \
   additionalData},
    RYN_MODE_KIND_TABLE(RYN_MODE_KIND_ROW)
#undef RYN_MODE_KIND_ROW
};

// The row of a mode's kind; a mode left open or unknown is shown as a
// retired one: every parameter, any file.
inline const ModeKindRow& KindRowOf(long mode) {
  const ModeRow* row = FindMode(mode);
  const ModeKind kind = row ? row->kind : ModeKind::Retired;
  for (const ModeKindRow& kindRow : kModeKinds)
    if (kindRow.kind == kind) return kindRow;
  return kModeKinds[0];
}

// The use bits of a mode's kind; none for a retired mode or a number that names no mode.
inline unsigned UseOf(long mode) { return FindMode(mode) ? KindRowOf(mode).use : 0; }

inline bool ModeUses(long mode, const ModeParameter& row) { return (UseOf(mode) & row.usedBy) != 0; }

}  // namespace ryn
