// The ASCII report: 27 header lines, a column-title line and one line per
// feature, fields separated by ';', CRLF line ends.
#include <cstdarg>
#include <cstdio>

#include "AsciiHeader.h"
#include "DateTimePlaceholders.h"
#include "DefaultValuesFile.h"
#include "ExportFile.h"
#include "Export.h"
#include "FeatureSelection.h"
#include "HelperFunctions.h"
#include "Parameters.h"
#include "ValueFormatting.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "norvia/units.h"
#include "platform/fs.h"
#include "platform/textfile.h"

using namespace ryn;

namespace {

const char* const kTitleLine = "Name;Datum;Nominal;L_TOL;U_TOL;Value;Unit;Feature;low nat. Border;Type;No.;Date;Time;Operator";

// Type code of the report from the host's symbol index.
long long TypeCode(int symbol) {
  static const struct {
    int from, to, code;
  } kCodes[] = {{0, 0, 0},         {205, 205, 0},       {101, 101, 104},     {102, 102, 100},
                {103, 103, 102},   {108, 108, 101},     {109, 109, 103},     {110, 110, 105},
                {202, 202, 106},   {203, 203, 108},     {204, 204, 107},     {207, 208, 110},
                {211, 212, 112},   {214, 215, 113},     {301, 302, 202},     {311, 311, 203},
                {314, 314, 203},   {313, 313, 200},     {603, 603, 210},     {1200, 1200, 601},
                {1201, 1201, 602}, {1202, 1202, 604},   {1203, 1205, 605},   {1206, 1206, 607},
                {1210, 1211, 211}, {1220, 1220, 620},   {1221, 1221, 621},   {1222, 1222, 651},
                {1223, 1223, 652}, {1224, 1224, 642},   {1230, 1230, 643},   {1240, 1240, 630},
                {1241, 1241, 631}, {1242, 1242, 632},   {1243, 1243, 633},   {1244, 1244, 641},
                {1250, 1251, 640}, {1260, 1260, 660},   {1270, 1270, 662},   {1280, 1280, 663}};
  for (const auto& c : kCodes)
    if (symbol >= c.from && symbol <= c.to) return c.code;
  return symbol + 9000LL;  // wide enough for every symbol: the largest one gives 2147492647
}

int DecimalPlaces(const MCFeature& f, int category) {
  if (f.GetResolution() > 0) return Resolution2DisplayPrecision(f.GetResolution(), category, f.GetDisplayUnit());
  std::string user = UAD_GetActiveUser();
  if (f.GetSymbolIndex() == 311 || f.GetSymbolIndex() == 314)
    return UAD_GetIntEx(user.c_str(), "setting_PolarFormat", 2);
  int d = UAD_GetIntEx(user.c_str(), "setting_LengthFormat", 4);
  if (getreg_long("Software\\Orvo\\Core32\\settings", "LengthUnitForAsciiExport", 0) == 1) d += 2;
  return d;
}

struct Values {
  double nominal, lower, upper, actual;
  std::string unit;
};

// The four values in the unit type's unit, and the unit text.
Values ConvertedValues(const MCFeature& f, int category, long unitType) {
  Values v{f.GetNominalValue(), f.GetLowerTolerance(), f.GetUpperTolerance(), f.GetAktualValue(), ""};
  CConvUnit* conv = ConversionFor(category);
  if (!conv) return v;
  int u = GetExportUnit(conv, f.GetDisplayUnit(), unitType);
  int saved = conv->GetDisplayBase();
  if (u != -1 && conv->GetUnit(u)) conv->SetDisplayBase(u);
  v = {conv->GetDisplayValue(v.nominal), conv->GetDisplayValue(v.lower), conv->GetDisplayValue(v.upper),
       conv->GetDisplayValue(v.actual), conv->GetDisplayBaseString()};
  conv->SetDisplayBase(saved);
  if (!v.unit.empty() && v.unit.front() == '[') v.unit.erase(0, 1);
  if (!v.unit.empty() && v.unit.back() == ']') v.unit.pop_back();
  return v;
}

// A report that cannot be opened keeps its own message; the other failures
// name the file and the reason.
Status AsciiFileFailure(const ExportFile& file) {
  if (file.Failure() == FileFailure::Unreachable) return Status::Failed("Could not open temporary file");
  return Status::Failed(file.Message());
}

// The kind of run an ASCII append keeps: the bytes it adds.
const char* const kAsciiRun = "ascii";

std::string Number(double value, int d) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%*.*f", d + 5, d, value);
  return buffer;
}

// printf into a growing text.
void AppendFormatted(std::string& text, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

void AppendFormatted(std::string& text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n > 0) {
    const size_t at = text.size();
    text.resize(at + static_cast<size_t>(n) + 1);
    std::vsnprintf(&text[at], static_cast<size_t>(n) + 1, format, args);
    text.resize(at + static_cast<size_t>(n));
  }
  va_end(args);
}

// The report is composed in memory and reaches the file in one durable
// write, so a failed run never leaves half a block behind.
class AsciiReport {
 public:
  explicit AsciiReport(long unitType) : m_unitType(unitType) {}
  void GatherHeader(CTrelmExport& self, const std::string& defaultsPath);
  void WriteHeader();
  void WriteTitles() { AppendFormatted(m_text, "%s\n", kTitleLine); }
  void WriteFeature(const MCFeature& f, std::string name);
  // The report as the file holds it: CR LF line ends.
  std::string Bytes() const { return plat::WithCrlf(m_text); }

 private:
  long m_unitType;
  std::string m_text;
  std::string m_operator;
  std::vector<std::string> m_headers;  // drawing-header texts in table order
  int m_number = 0;
};

void AsciiReport::GatherHeader(CTrelmExport& self, const std::string& defaultsPath) {
  m_operator = self.m_Operator.IsValueAvailable() ? self.m_Operator.GetText() : UAD_GetActiveUser();
  CNamedString* const roles[] = {&self.m_PartName, &self.m_Title1, &self.m_Title2,    &self.m_Title3,
                                 &self.m_DrawingNo, &self.m_Comment, &self.m_Operation, &self.m_Text1,
                                 &self.m_Text2,    &self.m_Text3,    &self.m_Text4,     &self.m_Text5};
  DefaultValuesFile defaults;
  defaults.Load(defaultsPath);
  for (CNamedString* role : roles) {
    std::string value = role->IsValueAvailable() ? role->GetText() : std::string();
    if (value.empty())
      if (const std::string* fallback = defaults.Find(role->GetName())) value = *fallback;
    m_headers.push_back(value);
  }
}

void AsciiReport::WriteHeader() {
  auto entry = [&](const char* label, const std::string& value) {
    AppendFormatted(m_text, GetHeaderFormat(label).c_str(), value.c_str());
  };
  auto fixed = [&](const char* label, const std::string& value) {
    AppendFormatted(m_text, "%.30s;%.30s\n", label, value.c_str());
  };
  int64_t now = CurrentTime();
  CMachine machine;
  entry("Inspector:", m_operator);
  const char* const labels[] = {"Workpiece name:", "TITLE_1:", "TITLE_2:", "TITLE_3:", "Drawing No.:",
                                "Comment:", "Machining operation:", "Meas. record No.:", "Department:",
                                "Machine No.:"};
  for (size_t i = 0; i < std::size(labels); ++i) entry(labels[i], m_headers[i]);
  fixed("Documentation on Duty", "-");
  entry("Job No.:", m_headers[10]);
  entry("Signature", m_headers[11]);
  fixed("Standard", "-");
  fixed("Nominal", "-");
  fixed("Resolution", "-");
  fixed("Norvia Version:", getreg_LM_string("Software\\Orvo\\core32\\product", "version", ""));
  fixed("Meas. station:", machine.GetSerialNumber());
  fixed("Vantor Version:", machine.GetMachineRevision());
  fixed("Export Date/Time:", FormatTimeText(now, "%d.%m.%y") + "/" + FormatTimeText(now, "%H:%M:%S"));
  fixed("manufacturing Date/Time:", "-");
  fixed("Digits:", std::to_string(UAD_GetIntEx(m_operator.c_str(), "setting_LengthFormat", 0)));
  for (const char* label : {"Part Construction Id", "Spindel", "Charge", "Detail"}) fixed(label, "-");
}

void AsciiReport::WriteFeature(const MCFeature& f, std::string name) {
  bool emptyValue = ApplyWarningMark("ryn_export.ascii.featname_warning_mode", name) || f.GetMask() != 0;
  int category = FeatureUnitCategory(f);
  int d = DecimalPlaces(f, category);
  Values v = ConvertedValues(f, category, m_unitType);
  int64_t when = GetFeatureDateTime(f);
  std::string line = name + ";;" + Number(v.nominal, d) + ";" + Number(v.lower, d) + ";" + Number(v.upper, d) +
                     ";" + (emptyValue ? std::string() : Number(v.actual, d)) + ";" +
                     Translate(v.unit.c_str(), 0, nullptr, AfxGetAppName()) + ";0;" +
                     std::to_string(f.GetLowerLimitType()) + ";" + std::to_string(TypeCode(f.GetSymbolIndex())) +
                     ";" + std::to_string(++m_number) + ";" + FormatTimeText(when, "%d.%m.%y") + ";" +
                     FormatTimeText(when, "%H:%M:%S") + ";" + m_operator + "\n";
  m_text += line;
}

}  // namespace

Status CTrelmExport::FunctionExportASCII(const ExportSettings& settings) {
  if (Translate("um", 0, nullptr, AfxGetAppName()) == "um") Translate_AddLocFile(AfxGetAppName(), "", "", "units.loc");
  AsciiSelection selection;
  if (Status status = SelectAsciiStage1(selection); !status.ok() || selection.nothingToExport) return status;

  const bool replace = ModeWrites(settings.mode, ModeFile::Replace);
  const bool linesOnly = ModeWrites(settings.mode, ModeFile::AppendLines);
  std::string path;
  if (const char* failure = MakeOutputPath(SCHEME.GetText(), DrawingHeaderTexts(), path)) return Status::Failed(failure);
  ExportFile file(path, kAsciiRun);
  if (!file.Open(!replace)) return AsciiFileFailure(file);

  AsciiReport report(settings.unitType);
  m_strDefaultValuesFile = Orvouser_GetAbsolutPath(2, "default values", ".ini");
  report.GatherHeader(*this, m_strDefaultValuesFile);
  if (!linesOnly) report.WriteHeader();
  if (!(linesOnly && file.Exists())) report.WriteTitles();
  const Status selected = SelectAsciiStage2(
      selection, settings, [&](const MCFeature& f, const std::string& name) { report.WriteFeature(f, name); });
  // What a run composed before a failure is written, as a report file keeps it.
  const std::string bytes = report.Bytes();
  if (replace) return file.Replace([&](Aside& aside) { return aside.Put(bytes); }) ? selected : AsciiFileFailure(file);
  // The blocks kept for the report while another program held it go first.
  const Compose addKeptFirst = [&](Addition& addition, std::string&) {
    for (const std::string& kept : file.Kept()) addition.keptEnds.push_back((addition.bytes += kept).size());
    addition.bytes += bytes;
    return true;
  };
  return file.Append(bytes, addKeptFirst) ? selected : AsciiFileFailure(file);
}
