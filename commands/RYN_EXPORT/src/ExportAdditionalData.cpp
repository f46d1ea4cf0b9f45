// The additional-data file beside a CSV export: protocol header texts,
// environment values, date and time as twenty named columns.
#include <exception>

#include "AutoKeys.h"
#include "DateTimePlaceholders.h"
#include "ExportFile.h"
#include "Export.h"
#include "HelperFunctions.h"
#include "Parameters.h"
#include "TextReplace.h"
#include "norvia/services.h"
#include "platform/textfile.h"
#include "platform/win32.h"

using namespace ryn;

namespace {

const char* const kAdditionalKeys[20] = {
    "<PROTOCOL_HEADER__TITLE_1>",     "<PROTOCOL_HEADER__TITLE_2>",        "<PROTOCOL_HEADER__TITLE_3>",
    "<PROTOCOL_HEADER__OPERATOR>",    "<PROTOCOL_HEADER__PART_NAME>",      "<PROTOCOL_HEADER__DRAWING_NO>",
    "<PROTOCOL_HEADER__OPERATION>",   "<PROTOCOL_HEADER__COMMENT>",        "<PROTOCOL_HEADER__TEXT_1>",
    "<PROTOCOL_HEADER__TEXT_2>",      "<PROTOCOL_HEADER__TEXT_3>",         "<PROTOCOL_HEADER__TEXT_4>",
    "<PROTOCOL_HEADER__TEXT_5>",      "<ENVIRONMENT__MACHINE_SERIAL>",     "<ENVIRONMENT__PROBE_NAME>",
    "<ENVIRONMENT__PROBE_TIP_NAME>",  "<ENVIRONMENT__PROBE_TIP_RADIUS>",   "<ENVIRONMENT__LOGGED_IN_USER>",
    "<DATE>",                         "<TIME>"};

std::string ColumnName(std::string key) {
  for (const char* part : {"<PROTOCOL_HEADER__", "<ENVIRONMENT__", "<", ">"}) ryn::ReplaceAll(key, part, "");
  return key;
}

// Both layouts leave the line end or separator off behind the TIME pair.
std::string ComposeAdditionalData(const std::vector<std::pair<std::string, std::string>>& pairs,
                                  const std::string& separator, bool transposed) {
  std::string names, values, text;
  for (const auto& [name, value] : pairs) {
    const bool last = name == "TIME";
    if (transposed) {
      text += name + separator + value + (last ? "" : "\n");
    } else {
      names += name + (last ? "\n" : separator);
      values += value + (last ? "" : separator);
    }
  }
  return transposed ? text : names + values;
}

}  // namespace

Status CTrelmExport::ExportAdditionalData(const ExportSettings& settings) {
  if (ryn::ToLower(ADDITIONAL_DATA_FILE.GetText()) == ryn::ToLower(SCHEME.GetText()))
    return Status::Failed("SCHEME and ADDITIONAL_DATA_FILE must not be the same!");
  const int64_t now = ryn::CurrentTime();
  const std::vector<std::string> headers = DrawingHeaderTexts();
  // The first failed machine query ends the export; no key is asked after it.
  const char* failure = nullptr;
  auto resolve = [&](std::string text) {
    if (!failure) failure = ryn::ReplaceAutoKeys(text, headers);
    ryn::ExpandDateTimePlaceholders(text, now, "", "");
    return text;
  };
  std::string path = resolve(ADDITIONAL_DATA_FILE.GetText());
  if (failure) return Status::Failed(failure);
  if (path.find_first_of("*?\"<>|") != std::string::npos) return Status::Failed("ADDITIONAL_DATA_FILE has invalid pathname");
  Orvouser_Path2Absolute(path, 6);
  ryn::CreateLastDirectoryLevel(path);

  std::vector<std::pair<std::string, std::string>> pairs;
  for (const char* key : kAdditionalKeys) pairs.emplace_back(ColumnName(key), resolve(key));
  if (failure) return Status::Failed(failure);
  const std::string text = ComposeAdditionalData(pairs, settings.valueSeparator, settings.transposeAdditionalData);
  // The old file is replaced only by a complete new one, and a file that
  // cannot be written is reported: the user must know the run went nowhere.
  try {
    ryn::ExportFile file(path, "additional data");
    if (file.Replace([&](ryn::Aside& aside) { return aside.Put(plat::WithCrlf(text)); })) return Status::Ok();
    return Status::Failed(file.Message());
  } catch (const std::exception& e) {
    return Status::Failed(e.what());
  }
}
