// Value formatting shared by the writers: the export unit, a feature's
// value and unit texts, the number test and number localisation.
#pragma once

#include <string>

class CConvUnit;
class MCFeature;

namespace ryn {

// The unit category of a feature: its own, else derived from its symbol.
int FeatureUnitCategory(const MCFeature& feature);
// The conversion object of a category (17 uses the angle object), or null.
CConvUnit* ConversionFor(int category);
// The unit index the unit type (UNITTYPE's MILLI, MY or INHERENT) asks for in `conv`, or -1.
int GetExportUnit(CConvUnit* conv, int displayUnit, long unitType);
// Decimal places of a resolution without a unit: the integer part of
// -log10(resolution), at least 0; 6 for none. The same on every
// floating-point unit (x87 gives 2.999... for 0.001).
int DecimalsOfResolution(double resolution);
// The value text of `value` in the unit type's unit ("-.--" for an invalid result); sets `unitText`.
std::string FormatFeatureValue(const MCFeature& feature, double value, long unitType, std::string& unitText);
bool IsNumberText(const std::string& text);
// Puts in the decimal separator and groups the integer digits by the thousands separator (none when empty).
void LocalizeNumberText(std::string& text, const std::string& decimalSeparator, const std::string& thousands);

}  // namespace ryn
