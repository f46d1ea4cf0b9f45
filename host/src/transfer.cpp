// Value transfer between page controls and parameters.
#include "norvia/transfer.h"

#include "norvia/module.h"
#include "norvia/services.h"
#include "norvia/translate.h"
#include "text_util.h"

namespace {

constexpr unsigned kIconExclamation = 0x30;

CNamedLong* ConstantOfValue(CNamedObject& object, CNamedObject** constants) {
  auto* number = dynamic_cast<CNamedLong*>(&object);
  if (!number || !number->IsValueAvailable()) return nullptr;
  for (; constants && *constants; ++constants) {
    auto* constant = dynamic_cast<CNamedLong*>(*constants);
    if (constant && constant->GetValue() == number->GetValue()) return constant;
  }
  return nullptr;
}

bool Fail(TrelmControl& control, const std::string& text) {
  control.Focus();
  MfxMessageBox(text.c_str(), kIconExclamation);
  return false;
}

}  // namespace

void SetControlEntry(TrelmControl* handle, CNamedObject& object, CNamedObject** constants) {
  if (!handle) return;
  TrelmControl& control = *handle;
  if (!control.IsCombo()) {
    control.SetText(object.IsStringAvailable() ? object.GetString() : std::string());
    return;
  }
  // The parameter text names a constant, or is the number of one.
  std::string wanted = object.IsStringAvailable() ? norvia::Trim(object.GetString()) : std::string();
  if (CNamedLong* constant = ConstantOfValue(object, constants)) {
    bool textIsConstant = false;
    for (CNamedObject** c = constants; c && *c; ++c) textIsConstant |= wanted == (*c)->GetName();
    if (!textIsConstant) wanted = constant->GetName();
  }
  int selection = -1;
  for (int i = 0; i < control.GetItemCount() && selection < 0; ++i)
    if (!wanted.empty() && control.GetItemValue(i) == wanted) selection = i;
  control.SetCurSel(selection);
}

bool GetControlEntry(TrelmControl* handle, CNamedObject& object, bool check, CNamedObject** constants) {
  if (!handle) return true;
  TrelmControl& control = *handle;
  std::string text;
  if (control.IsCombo()) {
    int selection = control.GetCurSel();
    if (selection >= 0) text = control.GetItemValue(selection);
  } else {
    text = norvia::Trim(control.GetText());
  }
  if (text.empty()) {
    // A hidden control cannot be filled in, so it is not asked for.
    if (check && control.IsMandatory() && control.IsVisible()) return Fail(control, std::string(object.GetName()) + " must be provided");
    object.Reset();
    return true;
  }
  // A text parameter also takes a bare text as it stands (a separator
  // chosen from a pop-up is one): it becomes the quoted literal.
  const bool bareText = dynamic_cast<CNamedString*>(&object) && text[0] != '"';
  if (!object.Set(text, constants) && !(bareText && object.Set("\"" + text + "\"", constants)))
    return Fail(control, std::string("Invalid value for ") + object.GetName() + ": " + text);
  object.SetUsed(true);
  return true;
}

void FillComboList(TrelmControl* handle, CNamedObject** constants) {
  if (!handle) return;
  TrelmControl& control = *handle;
  control.ResetContent();
  for (; constants && *constants; ++constants)
    control.AddItem(Translate((*constants)->GetName(), 0, nullptr, AfxGetAppName()), (*constants)->GetName());
}

bool GetValueFromString(const std::string& text, CNamedObject& object, CNamedObject** constants) {
  return object.Set(text, constants);
}
