#include "ValueFormatting.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "Parameters.h"
#include "TextReplace.h"
#include "norvia/diag.h"
#include "norvia/records.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "norvia/units.h"
#include "norvia/module.h"

namespace ryn {

namespace {

bool IsLengthSymbol(int s) {
  static const int kLength[] = {101, 102, 103, 108, 109, 110, 111, 202, 203, 204, 205, 207, 208, 209, 211, 212,
                                214, 215, 301, 302, 303, 304, 313, 315, 316, 317, 320, 321, 322, 323, 325, 330,
                                603, 1210, 1211, 1230, 1250, 1251, 1260, 1270, 1280};
  for (int l : kLength)
    if (s == l) return true;
  return (s >= 1200 && s <= 1206) || (s >= 1220 && s <= 1224) || (s >= 1240 && s <= 1244);
}

// Sets `u` as display base of `conv` for the lifetime of the guard when the object knows it.
class DisplayBaseGuard {
 public:
  DisplayBaseGuard(CConvUnit* conv, int u) : m_conv(conv), m_saved(conv->GetDisplayBase()) {
    if (u != -1 && conv->GetUnit(u)) conv->SetDisplayBase(u);
  }
  ~DisplayBaseGuard() { m_conv->SetDisplayBase(m_saved); }

 private:
  CConvUnit* m_conv;
  int m_saved;
};

}  // namespace

int FeatureUnitCategory(const MCFeature& f) {
  if (f.GetUnit() > 0) return f.GetUnit();
  int s = f.GetSymbolIndex();
  if (IsLengthSymbol(s)) return 1;
  return s == 311 || s == 314 ? 2 : 0;
}

CConvUnit* ConversionFor(int category) { return GetConvUnit(category == 17 ? 2 : category); }

int GetExportUnit(CConvUnit* conv, int displayUnit, long unitType) {
  if (!conv) return -1;
  long inch = getreg_long("Software\\Orvo\\Core32\\settings", "LengthUnitForAsciiExport", 0);
  const char* name = nullptr;
  if (unitType == MILLI) name = inch ? "inch" : "mm";
  else if (unitType == MY) name = inch ? "uinch" : "um";
  else return displayUnit > -1 ? displayUnit : -1;
  return conv->GetUnit(("[" + Translate(name, 0, nullptr, AfxGetAppName()) + "]").c_str());
}

std::string FormatFeatureValue(const MCFeature& f, double value, long unitType, std::string& unitText) {
  if (f.GetMask() != 0) return "-.--";
  int category = f.GetUnit();
  char buffer[512];
  if (CConvUnit* conv = ConversionFor(category)) {
    int u = GetExportUnit(conv, f.GetDisplayUnit(), unitType);
    std::string text;
    {
      DisplayBaseGuard base(conv, u);
      int decimals = Resolution2DisplayPrecision(f.GetResolution(), category, u);
      text = conv->GetDisplayString(value, decimals, decimals);
    }
    size_t bracket = text.find(" [");
    if (bracket != std::string::npos && bracket >= 1) {
      unitText = text.substr(bracket + 2);
      if (!unitText.empty() && unitText.back() == ']') unitText.pop_back();
      text.resize(bracket);
    }
    return text;
  }
  const int decimals = DecimalsOfResolution(f.GetResolution());
  char format[16];
  std::snprintf(format, sizeof format, "%%.%df", decimals);
  std::snprintf(buffer, sizeof buffer, format, value);
  if (category != 0) {
    norvia::TraceAt(__FILE__, __LINE__, 1, "RYN EXPORT(Mode=CSV): unsupported UnitNo=%d", category);
    std::snprintf(format, sizeof format, "UnitNo=%d", category);
    unitText = format;
  } else {
    unitText.clear();
  }
  return buffer;
}

int DecimalsOfResolution(double resolution) {
  if (!(resolution > 0)) return 6;
  // A resolution a hair off a power of ten means that power.
  return std::max(0, static_cast<int>(std::floor(-std::log10(resolution) + 1e-9)));
}

bool IsNumberText(const std::string& raw) {
  const std::string t = ToLower(Trim(raw));
  size_t i = 0, n = t.size();
  if (i < n && (t[i] == '+' || t[i] == '-')) ++i;
  int digits = 0, dots = 0;
  for (; i < n && (std::isdigit(static_cast<unsigned char>(t[i])) || t[i] == '.'); ++i) {
    if (t[i] == '.' && ++dots > 1) return false;
    if (t[i] != '.') ++digits;
  }
  if (i == n) return digits > 0;
  if (t[i] != 'e' || ++i >= n || (t[i] != '+' && t[i] != '-')) return false;
  size_t expStart = ++i;
  while (i < n && std::isdigit(static_cast<unsigned char>(t[i]))) ++i;
  return i == n && i > expStart;
}

void LocalizeNumberText(std::string& text, const std::string& decimalSeparator, const std::string& thousands) {
  if (!IsNumberText(text)) return;
  text = Trim(text);
  size_t dot = text.find('.');
  if (thousands.empty() || text.find_first_of("eE", 1) != std::string::npos) {
    if (dot != std::string::npos) text.replace(dot, 1, decimalSeparator);
    return;
  }
  std::string integer = dot == std::string::npos ? text : text.substr(0, dot);
  std::string sign;
  if (!integer.empty() && (integer[0] == '+' || integer[0] == '-')) {
    sign = integer.substr(0, 1);
    integer.erase(0, 1);
  }
  std::string grouped;
  for (size_t i = 0; i < integer.size(); ++i) {
    size_t right = integer.size() - i;
    if (i > 0 && right % 3 == 0) grouped += thousands;
    grouped += integer[i];
  }
  text = sign + grouped + (dot == std::string::npos ? std::string() : decimalSeparator + text.substr(dot + 1));
}

}  // namespace ryn
