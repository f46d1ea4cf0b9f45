// Unit conversion: one conversion object per unit category (1 length,
// 2 angle) holding its display units and the current display base.
#pragma once

#include <string>
#include <vector>

struct MCUnit {
  std::string name;   // display base text, e.g. "[mm]"
  double factor;      // display value = base value * factor
};

class CConvUnit {
 public:
  CConvUnit(int category, std::vector<MCUnit> units);

  int GetCategory() const { return m_nCategory; }
  // Unit of index `u`, or null.
  const MCUnit* GetUnit(int u) const;
  // Index of the unit named `name` ("[mm]"), or -1.
  int GetUnit(const char* name) const;
  int GetDisplayBase() const { return m_nBase; }
  void SetDisplayBase(int u);
  double GetDisplayValue(double value) const;
  // The display text, e.g. "12.5031 [mm]", with `decimals` places (the second
  // count is the host's precision for compound units, unused here).
  std::string GetDisplayString(double value, int decimals, int decimals2) const;
  std::string GetDisplayBaseString() const;

 private:
  int m_nCategory;
  std::vector<MCUnit> m_units;
  int m_nBase = 0;
};

// The conversion object of a category, or null (category 0 and unknown ones).
CConvUnit* GetConvUnit(int category);
// Decimal places that show `resolution` in display unit `displayUnit` of `category`.
int Resolution2DisplayPrecision(double resolution, int category, int displayUnit);

