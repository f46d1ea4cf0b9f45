// Value transfer between page controls and parameters, and the framework's
// drawing-header page.
#include <cstring>

#include "norvia/framework.h"
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

void SetControlEntry(void* handle, CNamedObject& object, CNamedObject** constants) {
  if (!handle) return;
  auto& control = *static_cast<TrelmControl*>(handle);
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

bool GetControlEntry(void* handle, CNamedObject& object, bool check, CNamedObject** constants) {
  if (!handle) return true;
  auto& control = *static_cast<TrelmControl*>(handle);
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

void FillComboList(void* handle, CNamedObject** constants) {
  if (!handle) return;
  auto& control = *static_cast<TrelmControl*>(handle);
  control.ResetContent();
  for (; constants && *constants; ++constants)
    control.AddItem(Translate((*constants)->GetName(), 0, nullptr, AfxGetAppName()), (*constants)->GetName());
}

bool GetValueFromString(const std::string& text, CNamedObject& object, CNamedObject** constants) {
  return object.Set(text, constants);
}

// ---- the drawing-header page

const char* const CEditRecordParameterGeneric::kFieldNames[kFieldCount] = {
    "TITLE_1",   "TITLE_2",   "TITLE_3", "REVISION", "OPERATOR", "PART_NAME", "DRAWING_NO",
    "OPERATION", "COMMENT",   "TEXT_1",  "TEXT_2",   "TEXT_3",   "TEXT_4",    "TEXT_5"};

CEditRecordParameterGeneric::CEditRecordParameterGeneric(CTrelmGeneric* owner, CNamedObject** args, void*)
    : TrelmTabDialog(kTemplateId, owner), m_ppArgs(args) {}

CNamedObject* CEditRecordParameterGeneric::FindField(int index) const {
  for (CNamedObject** arg = m_ppArgs; arg && *arg; ++arg)
    if (!std::strcmp((*arg)->GetName(), kFieldNames[index])) return *arg;
  return nullptr;
}

int CEditRecordParameterGeneric::OnInitDialog() {
  TrelmTabDialog::OnInitDialog();
  for (int i = 0; i < kFieldCount; ++i) {
    CNamedObject* field = FindField(i);
    if (field) {
      SetControlEntry(GetDlgItem(kFirstEditId + i), *field);
    } else {
      HideField(kFieldNames[i]);
    }
  }
  return 1;
}

int CEditRecordParameterGeneric::OnApply() {
  for (int i = 0; i < kFieldCount; ++i) {
    TrelmControl* edit = GetDlgItem(kFirstEditId + i);
    CNamedObject* field = FindField(i);
    if (!edit || !field || !edit->IsVisible()) continue;
    // A hidden field keeps its parameter as it was.
    if (!GetControlEntry(edit, *field, GetExecMode() != TRELM_EXEC_MODE_EDIT)) return 0;
  }
  return 1;
}

void CEditRecordParameterGeneric::HideField(const char* name) {
  for (int i = 0; i < kFieldCount; ++i) {
    if (std::strcmp(kFieldNames[i], name)) continue;
    if (TrelmControl* edit = GetDlgItem(kFirstEditId + i)) edit->Show(false);
    if (TrelmControl* label = GetDlgItem(kFirstLabelId + i)) label->Show(false);
  }
}

TrelmPageScript& Trelm_PageScript() {
  static TrelmPageScript script;
  return script;
}
