// The framework's drawing-header page, bound to the export object, with
// the command family's texts and without the field this command ignores.
#include "Export.h"
#include "Pages.h"
#include "mboundary.h"
#include "norvia/translate.h"
#include "norvia/module.h"

CEditRecordParameterDlg::CEditRecordParameterDlg(CTrelmGeneric* owner, CNamedObject** args, void* parent)
    : CEditRecordParameterGeneric(owner, args, parent) {}

// Called from the host's library: a failure is logged and answers 0.
int CEditRecordParameterDlg::OnInitDialog() {
  return ryn::GuardedLogged("commands\\RYN_EXPORT\\src\\EditRecordParameterDlg", __LINE__, 0,
                            [&] { return InitPage(); });
}

int CEditRecordParameterDlg::InitPage() {
  CEditRecordParameterGeneric::OnInitDialog();
  Translate_AddLocFile(AfxGetAppName(), "", "", "RynGeneric.loc");
  // The export writes every drawing-header text except the revision.
  HideField("REVISION");
  if (TrelmPageWindow* window = GetPageWindow()) window->TranslateTexts(AfxGetAppName());
  SetModified(false);
  return 1;
}

CTrelmGeneric* CEditRecordParameterDlg::GetTrelmObject() { return &theExport; }
