// Unit tables: length in mm, um, inch and microinch; angle in decimal
// degree, radian and gon. Store values are in mm and degree. The micro
// sign is byte 0xB5 of the host's code page (Windows-1252).
#include "norvia/units.h"

#include <cmath>
#include <cstdio>
#include <cstring>

CConvUnit::CConvUnit(int category, std::vector<MCUnit> units)
    : m_nCategory(category), m_units(std::move(units)) {}

const MCUnit* CConvUnit::GetUnit(int u) const {
  return u >= 0 && u < static_cast<int>(m_units.size()) ? &m_units[static_cast<size_t>(u)] : nullptr;
}

int CConvUnit::GetUnit(const char* name) const {
  for (size_t i = 0; name && i < m_units.size(); ++i)
    if (m_units[i].name == name) return static_cast<int>(i);
  return -1;
}

void CConvUnit::SetDisplayBase(int u) {
  if (GetUnit(u)) m_nBase = u;
}

double CConvUnit::GetDisplayValue(double value) const { return value * m_units[static_cast<size_t>(m_nBase)].factor; }

std::string CConvUnit::GetDisplayString(double value, int decimals, int) const {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*f %s", decimals < 0 ? 0 : decimals, GetDisplayValue(value),
                GetDisplayBaseString().c_str());
  return buffer;
}

std::string CConvUnit::GetDisplayBaseString() const { return m_units[static_cast<size_t>(m_nBase)].name; }

CConvUnit* GetConvUnit(int category) {
  static CConvUnit length(1, {{"[mm]", 1.0}, {"[\xB5m]", 1000.0}, {"[inch]", 1.0 / 25.4},
                              {"[\xB5inch]", 1.0e6 / 25.4}});
  static CConvUnit angle(2, {{"[deg]", 1.0}, {"[rad]", 3.14159265358979323846 / 180.0}, {"[gon]", 400.0 / 360.0}});
  switch (category) {
    case 1: return &length;
    case 2: return &angle;
    default: return nullptr;
  }
}

int Resolution2DisplayPrecision(double resolution, int category, int displayUnit) {
  if (!(resolution > 0)) return 0;
  double factor = 1.0;
  if (CConvUnit* conv = GetConvUnit(category))
    if (const MCUnit* unit = conv->GetUnit(displayUnit)) factor = unit->factor;
  // The places needed to show one resolution step; the epsilon keeps 0.001 at 3.
  double places = std::ceil(-std::log10(resolution * factor) - 1e-9);
  return places < 0 ? 0 : static_cast<int>(places);
}
