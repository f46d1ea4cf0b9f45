// The command's parameter pages: the export page (template 102), the
// record parameter page and the feature file page (template 109).
#pragma once

#include "norvia/framework.h"

class CExportEditDlg : public TrelmTabDialog {
 public:
  static constexpr int kTemplateId = 102;
  explicit CExportEditDlg(CTrelmGeneric* owner) : TrelmTabDialog(kTemplateId, owner) {}
};

class CFeaturesEditDlg : public TrelmTabDialog {
 public:
  static constexpr int kTemplateId = 109;
  explicit CFeaturesEditDlg(CTrelmGeneric* owner) : TrelmTabDialog(kTemplateId, owner) {}
};

class CEditRecordParameterDlg : public CEditRecordParameterGeneric {
 public:
  CEditRecordParameterDlg(CTrelmGeneric* owner, CNamedObject** args, void* parent)
      : CEditRecordParameterGeneric(owner, args, parent) {}
};
