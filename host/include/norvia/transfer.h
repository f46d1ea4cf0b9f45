// Value transfer: moves values between a page's controls and the command's
// parameters, combos through the constants that name the values.
#pragma once

#include <string>

#include "norvia/control.h"
#include "norvia/named.h"

// Real host, all four. Combos select the entry whose value is the constant
// naming the parameter's value.
void SetControlEntry(TrelmControl* control, CNamedObject& object, CNamedObject** constants = nullptr);
// Sets `object` from the control (an empty control leaves it without value).
// With `check`, a shown mandatory control left empty fails too. A failure shows a
// message box and moves the focus to the control.
bool GetControlEntry(TrelmControl* control, CNamedObject& object, bool check, CNamedObject** constants = nullptr);
// Fills a combo with the constants: the translated name as label, the name as value.
void FillComboList(TrelmControl* control, CNamedObject** constants);
bool GetValueFromString(const std::string& text, CNamedObject& object, CNamedObject** constants);
