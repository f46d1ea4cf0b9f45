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

const char* CTrelmExport::ExecCommand(bool bCheckOnly) {
  try {
    return RunCommand(bCheckOnly);
  } catch (...) {
    return ryn::MessageOfCurrentException();
  }
}

const char* CTrelmExport::RunCommand(bool bCheckOnly) {
  if (bCheckOnly) {
    if (SCHEME.IsStringAvailable() || SCHEME.HasDefaultValue()) return Dispatch(true);
    return "SCHEME must be provided";
  }
  if (!SCHEME.IsValueAvailable()) return "SCHEME must be provided";
  if (const char* message = CheckModeClass()) return message;
  if (IsCsvMode())
    if (const char* message = CheckCsvSettings()) return message;
  if (const char* message = CheckScheme()) return message;
  if (!MODE.IsValueAvailable()) MODE = static_cast<long>(RYN_ASCII_APPEND);
  return Dispatch(false);
}

const char* CTrelmExport::CheckModeClass() {
  const long mode = MODE.IsValueAvailable() ? MODE.GetValue() : -1;
  for (const ModeParameter& row : kModeParameters) {
    if (!row.refusedElsewhere || ModeUses(mode, row) || !row.parameter->IsValueAvailable()) continue;
    m_strMessage = std::string(row.parameter->GetName()) + " cannot be used within this mode";
    return m_strMessage.c_str();
  }
  return nullptr;
}

const char* CTrelmExport::CheckCsvSettings() {
  if (TRANSPOSE_DATA.IsValueAvailable()) {
    if (TRANSPOSE_DATA.GetValue() != ON && TRANSPOSE_DATA.GetValue() != OFF)
      return "TRANSPOSE_DATA must be either ON or OFF";
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

const char* CTrelmExport::CheckSeparatorPairs(const std::string names[3], const std::string* separators[3],
                                              const bool recognised[3]) {
  std::map<char, std::string> claimed;
  for (int i = 0; i < 3; ++i) {
    const std::string& name = names[i];
    const std::string& separator = *separators[i];
    if (separator.empty()) {
      if (name == "THOUSANDS_SEPARATOR") continue;
      m_strMessage = name + " must not be empty!";
    } else if (separator.size() > 1) {
      m_strMessage = "more than one character in " + name + " is not allowed!";
    } else if (!recognised[i]) {
      m_strMessage = "character \"" + SeparatorDisplayName(separator[0]) + "\" in " + name +
                     " is not allowed! Allowed characters are: ";
      for (const auto& entry : m_separatorNames) m_strMessage += SeparatorDisplayName(static_cast<char>(entry.first)) + " ";
    } else if (auto owner = claimed.find(separator[0]); owner != claimed.end()) {
      m_strMessage = name + " and " + owner->second + " have to be different!";
    } else {
      claimed[separator[0]] = name;
      continue;
    }
    return m_strMessage.c_str();
  }
  return nullptr;
}

const char* CTrelmExport::CheckScheme() {
  std::string scheme = SCHEME.GetText();
  if (scheme.empty()) return "SCHEME must not be empty";
  RemoveDateTimePlaceholders(scheme);
  RemoveAutoKeys(scheme);
  if (scheme.find_first_of("*?\"<>|") != std::string::npos) return "SCHEME has invalid pathname";
  return nullptr;
}

const char* CTrelmExport::RetiredModeMessage() { return kRetiredMessage; }

const char* CTrelmExport::Dispatch(bool bCheckOnly) {
  try {
    const ModeRow* row = FindMode(MODE.GetValue());
    if (!row) return "The selected MODE is unknown!";
    if (row->kind == ModeKind::Retired && MTrace_TestMasterLevel(1) &&
        MTrace_Location(__FILE__, __LINE__, "default", 1))
      MTrace_Always(Translate("Datenuebertragung nicht mehr unterstuetzt", 0, nullptr, AfxGetAppName()).c_str(),
                    row->keyword);
    const ModeKindRow& kind = KindRowOf(row->mode);
    if (bCheckOnly && !kind.whenChecking) return nullptr;
    if (kind.additionalData && ADDITIONAL_DATA_FILE.IsValueAvailable())
      if (const char* message = ExportAdditionalData()) return message;
    return (this->*kind.writer)();
  } catch (const char* text) {
    // "Invalid address" is how a writer ends a run that has nothing left to do.
    if (std::string(text) == "Invalid address") return nullptr;
    return text;
  }
}
