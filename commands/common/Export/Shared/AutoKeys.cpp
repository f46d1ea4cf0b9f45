#include "AutoKeys.h"

#include "MachineQueries.h"
#include "TextReplace.h"
#include "norvia/services.h"

namespace ryn {

const char* const kProtocolHeaderKeys[kProtocolHeaderKeyCount] = {
    "PROTOCOL_HEADER__TITLE_1",   "PROTOCOL_HEADER__TITLE_2",    "PROTOCOL_HEADER__TITLE_3",
    "PROTOCOL_HEADER__OPERATOR",  "PROTOCOL_HEADER__PART_NAME",  "PROTOCOL_HEADER__DRAWING_NO",
    "PROTOCOL_HEADER__OPERATION", "PROTOCOL_HEADER__COMMENT",    "PROTOCOL_HEADER__TEXT_1",
    "PROTOCOL_HEADER__TEXT_2",    "PROTOCOL_HEADER__TEXT_3",     "PROTOCOL_HEADER__TEXT_4",
    "PROTOCOL_HEADER__TEXT_5"};

const char* const kProtocolHeaderGlobals[kProtocolHeaderKeyCount] = {
    "ryn.draw.title_1",   "ryn.draw.title_2", "ryn.draw.title_3", "ryn.draw.operator", "ryn.draw.part_name",
    "ryn.draw.drawing_no", "ryn.draw.operation", "ryn.draw.comment", "ryn.draw.text_1", "ryn.draw.text_2",
    "ryn.draw.text_3",    "ryn.draw.text_4",  "ryn.draw.text_5"};

const char* const kEnvironmentKeys[6] = {"ENVIRONMENT__MACHINE_SERIAL", "ENVIRONMENT__MACHINE_DESCRIPTION",
                                         "ENVIRONMENT__PROBE_NAME",     "ENVIRONMENT__PROBE_TIP_NAME",
                                         "ENVIRONMENT__PROBE_TIP_RADIUS", "ENVIRONMENT__LOGGED_IN_USER"};

const char* const kSchemeKeys[21] = {
    "EXPORT__NUMBER_OF_FEATURES", "EXPORT__CONFIGURATION_BASENAME", kProtocolHeaderKeys[0],
    kProtocolHeaderKeys[1], kProtocolHeaderKeys[2], kProtocolHeaderKeys[3], kProtocolHeaderKeys[4],
    kProtocolHeaderKeys[5], kProtocolHeaderKeys[6], kProtocolHeaderKeys[7], kProtocolHeaderKeys[8],
    kProtocolHeaderKeys[9], kProtocolHeaderKeys[10], kProtocolHeaderKeys[11], kProtocolHeaderKeys[12],
    kEnvironmentKeys[0], kEnvironmentKeys[1], kEnvironmentKeys[2], kEnvironmentKeys[3], kEnvironmentKeys[4],
    kEnvironmentKeys[5]};

const char* const kAllKeys[46] = {
    "FEATURE__VALUE", "FEATURE__ATTRIBUTE", "FEATURE__DATE", "FEATURE__DATE_OF_MEASUREMENT",
    "FEATURE__DATE_OF_EVALUATION", "FEATURE__NAME", "FEATURE__NAME_WITHOUT_FILENAME",
    "FEATURE__STATISTICS_TYPE", "FEATURE__DECIMAL_PLACES", "FEATURE__NOMINAL_VALUE",
    "FEATURE__LOWER_TOLERANCE", "FEATURE__UPPER_TOLERANCE", "FEATURE__LOWER_LIMIT_VALUE",
    "FEATURE__UPPER_LIMIT_VALUE", "FEATURE__LOWER_LIMIT_TYPE", "FEATURE__UPPER_LIMIT_TYPE",
    "FEATURE__TOLERANCE_STATUS", "FEATURE__TOLERANCE_IO", "FEATURE__CLASS_STANDARD_NAME",
    "FEATURE__CLASS_ACTUAL_VALUE", "FEATURE__CLASS_NOMINAL_VALUE", "FEATURE__UNIT_NAME", "FEATURE__COMMENT",
    "FEATURE__USER_DATA_CONTENT", "EXPORT__FEATURE_COUNTER", kSchemeKeys[0], kSchemeKeys[1], kSchemeKeys[2],
    kSchemeKeys[3], kSchemeKeys[4], kSchemeKeys[5], kSchemeKeys[6], kSchemeKeys[7], kSchemeKeys[8],
    kSchemeKeys[9], kSchemeKeys[10], kSchemeKeys[11], kSchemeKeys[12], kSchemeKeys[13], kSchemeKeys[14],
    kSchemeKeys[15], kSchemeKeys[16], kSchemeKeys[17], kSchemeKeys[18], kSchemeKeys[19], kSchemeKeys[20]};

namespace {

std::string Bracketed(const char* name) { return std::string("<") + name + ">"; }

std::string HeaderValue(const std::vector<std::string>& headers, int i) {
  if (i < static_cast<int>(headers.size()) && !headers[static_cast<size_t>(i)].empty())
    return headers[static_cast<size_t>(i)];
  std::string global;
  return GlobalsLookup(kProtocolHeaderGlobals[i], global) ? global : std::string();
}

// The value of environment key `i`; false when its query failed.
bool EnvironmentValue(int i, std::string& value) {
  switch (i) {
    case 0: return GetMachineSerial(value);
    case 1: return GetMachineDescription(value);
    case 2: case 3: case 4: return GetProbeInfo(value, i - 1);
    default:
      value = UAD_GetActiveUser();
      if (value.empty()) value = "UNKNOWN";
      return true;
  }
}

const char* const kEnvironmentFailures[5] = {
    "AutoKey ENVIRONMENT__MACHINE_SERIAL: No access to machine information!",
    "AutoKey ENVIRONMENT__MACHINE_DESCRIPTION: No access to machine information!",
    "AutoKey ENVIRONMENT__PROBE_NAME: No access to probe information!",
    "AutoKey ENVIRONMENT__PROBE_TIP_NAME: No access to probe information!",
    "AutoKey ENVIRONMENT__PROBE_TIP_RADIUS: No access to probe information!"};

}  // namespace

const char* ReplaceAutoKeys(std::string& text, const std::vector<std::string>& headers) {
  if (text.empty() || text.find('<') == std::string::npos || text.find('>') == std::string::npos) return nullptr;
  std::vector<std::string> values;
  for (int i = 0; i < kProtocolHeaderKeyCount; ++i) values.push_back(HeaderValue(headers, i));
  for (int i = 0; i < kProtocolHeaderKeyCount; ++i) ReplaceAll(text, Bracketed(kProtocolHeaderKeys[i]), values[i]);
  // Header values are searched too, so a header holding an environment key gets it replaced.
  for (int i = 0; i < 6; ++i) {
    std::string key = Bracketed(kEnvironmentKeys[i]);
    if (text.find(key) == std::string::npos) continue;
    std::string value;
    if (!EnvironmentValue(i, value)) return kEnvironmentFailures[i];
    ReplaceAll(text, key, value);
  }
  return nullptr;
}

int RemoveAutoKeys(std::string& text) {
  int count = 0;
  for (const char* name : kSchemeKeys) count += ReplaceAll(text, Bracketed(name), "");
  return count;
}

}  // namespace ryn
