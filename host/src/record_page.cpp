// The framework's drawing-header page: one edit per parameter it owns.
#include "norvia/record_page.h"

#include <cstring>

#include "norvia/transfer.h"

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
