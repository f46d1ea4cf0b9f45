// The executor: checks the parameters in a fixed order, settles the CSV
// separators, defaults the mode and hands the work to exactly one writer.
#include <map>

#include "AutoKeys.h"
#include "Boundary.h"
#include "DateTimePlaceholders.h"
#include "Export.h"
#include "ModeKinds.h"
#include "Parameters.h"
#include "norvia/diag.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "norvia/module.h"

using namespace ryn;

namespace {

const char* const kRetiredMessage =
    "The data-transfer-tools option is no longer supported by the host application. "
    "Please contact your system administrator.";

}  // namespace

bool CTrelmExport::IsCsvMode() const {
  return MODE.IsValueAvailable() && UseOf(MODE.GetValue()) == kUsedByTables;
}

// Where the executor's result becomes the pointer the host reads: a message
// stays in m_strMessage until the next execution.
const char* CTrelmExport::ExecCommand(bool bCheckOnly) {
  try {
    const Status status = RunCommand(bCheckOnly);
    if (status.ok()) return nullptr;
    m_strMessage = status.message();
    return m_strMessage.c_str();
  } catch (...) {
    return ryn::MessageOfCurrentException();
  }
}

Status CTrelmExport::RunCommand(bool bCheckOnly) {
  if (bCheckOnly) {
    if (SCHEME.IsStringAvailable() || SCHEME.HasDefaultValue()) return Dispatch(true);
    return Status::Failed("SCHEME must be provided");
  }
  if (!SCHEME.IsValueAvailable()) return Status::Failed("SCHEME must be provided");
  if (Status status = CheckModeClass(); !status.ok()) return status;
  if (IsCsvMode())
    if (Status status = CheckCsvSettings(); !status.ok()) return status;
  if (Status status = CheckScheme(); !status.ok()) return status;
  if (!MODE.IsValueAvailable()) MODE = static_cast<long>(RYN_ASCII_APPEND);
  return Dispatch(false);
}

Status CTrelmExport::CheckModeClass() {
  const long mode = MODE.IsValueAvailable() ? MODE.GetValue() : -1;
  for (const ModeParameter& row : kModeParameters) {
    if (!row.refusedElsewhere || ModeUses(mode, row) || !row.parameter->IsValueAvailable()) continue;
    return Status::Failed(std::string(row.parameter->GetName()) + " cannot be used within this mode");
  }
  return Status::Ok();
}

Status CTrelmExport::CheckCsvSettings() {
  if (TRANSPOSE_DATA.IsValueAvailable()) {
    if (TRANSPOSE_DATA.GetValue() != ON && TRANSPOSE_DATA.GetValue() != OFF)
      return Status::Failed("TRANSPOSE_DATA must be either ON or OFF");
    m_bTranspose = TRANSPOSE_DATA.GetValue() == ON;
  }
  InitSeparatorDefaults(m_strValueSeparator, m_strDecimalSeparator, m_strThousandsSeparator);
  bool valueOk = ParseSeparator(VALUE_SEPARATOR, m_strValueSeparator);
  bool thousandsOk = ParseSeparator(THOUSANDS_SEPARATOR, m_strThousandsSeparator);
  bool decimalOk = ParseSeparator(DECIMAL_SEPARATOR, m_strDecimalSeparator);
  // Ascending order of the parameter names: the first name claims a character.
  const std::string names[3] = {"DECIMAL_SEPARATOR", "THOUSANDS_SEPARATOR", "VALUE_SEPARATOR"};
  const std::string* separators[3] = {&m_strDecimalSeparator, &m_strThousandsSeparator, &m_strValueSeparator};
  const bool recognised[3] = {decimalOk, thousandsOk, valueOk};
  return CheckSeparatorPairs(names, separators, recognised);
}

Status CTrelmExport::CheckSeparatorPairs(const std::string names[3], const std::string* separators[3],
                                         const bool recognised[3]) {
  std::map<char, std::string> claimed;
  for (int i = 0; i < 3; ++i) {
    const std::string& name = names[i];
    const std::string& separator = *separators[i];
    if (separator.empty()) {
      if (name == "THOUSANDS_SEPARATOR") continue;
      return Status::Failed(name + " must not be empty!");
    }
    if (separator.size() > 1) return Status::Failed("more than one character in " + name + " is not allowed!");
    if (!recognised[i]) {
      std::string message = "character \"" + SeparatorDisplayName(separator[0]) + "\" in " + name +
                            " is not allowed! Allowed characters are: ";
      for (const auto& entry : m_separatorNames) message += SeparatorDisplayName(static_cast<char>(entry.first)) + " ";
      return Status::Failed(message);
    }
    if (auto owner = claimed.find(separator[0]); owner != claimed.end())
      return Status::Failed(name + " and " + owner->second + " have to be different!");
    claimed[separator[0]] = name;
  }
  return Status::Ok();
}

Status CTrelmExport::CheckScheme() {
  std::string scheme = SCHEME.GetText();
  if (scheme.empty()) return Status::Failed("SCHEME must not be empty");
  RemoveDateTimePlaceholders(scheme);
  RemoveAutoKeys(scheme);
  if (scheme.find_first_of("*?\"<>|") != std::string::npos) return Status::Failed("SCHEME has invalid pathname");
  return Status::Ok();
}

Status CTrelmExport::RetiredModeMessage(const ExportSettings&) { return Status::Failed(kRetiredMessage); }

ExportSettings CTrelmExport::SettledSettings() const {
  ExportSettings settings;
  settings.mode = MODE.GetValue();
  settings.valueSeparator = m_strValueSeparator;
  settings.decimalSeparator = m_strDecimalSeparator;
  settings.thousandsSeparator = m_strThousandsSeparator;
  // The table follows TRANSPOSE_DATA as given at this run; the additional
  // data follows the transposition kept from the last run that gave one.
  settings.transposeTable = TRANSPOSE_DATA.IsValueAvailable() && TRANSPOSE_DATA.GetValue() == ON;
  settings.transposeAdditionalData = m_bTranspose;
  settings.featurePath = FEATUREPATH.GetValue() != OFF;
  settings.honourExportFlag = CONSIDER_EXPORT_FLAG.GetValue() == 1;
  settings.unitType = UNITTYPE.GetValue();
  return settings;
}

Status CTrelmExport::Dispatch(bool bCheckOnly) {
  const ModeRow* row = FindMode(MODE.GetValue());
  if (!row) return Status::Failed("The selected MODE is unknown!");
  if (row->kind == ModeKind::Retired && MTrace_TestMasterLevel(1) &&
      MTrace_Location(__FILE__, __LINE__, "default", 1))
    MTrace_Always(Translate("Datenuebertragung nicht mehr unterstuetzt", 0, nullptr, AfxGetAppName()).c_str(),
                  row->keyword);
  const ModeKindRow& kind = KindRowOf(row->mode);
  if (bCheckOnly && !kind.whenChecking) return Status::Ok();
  const ExportSettings settings = SettledSettings();
  if (kind.additionalData && ADDITIONAL_DATA_FILE.IsValueAvailable())
    if (Status status = ExportAdditionalData(settings); !status.ok()) return status;
  return kind.writer(*this, settings);
}
