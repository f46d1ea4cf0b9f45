// The framework's page for the parameters it owns (the drawing header); a
// command specialises it. Each parameter has an edit and a label.
#pragma once

#include "norvia/command.h"

// Real host: the page and its template. The ids are the stand-in's choice.
class CEditRecordParameterGeneric : public TrelmTabDialog {
 public:
  static constexpr int kTemplateId = 200;
  // Edits 2001..2014 and labels 2101..2114, in the order of kFieldNames.
  static constexpr int kFirstEditId = 2001;
  static constexpr int kFirstLabelId = 2101;
  static constexpr int kFieldCount = 14;
  static const char* const kFieldNames[kFieldCount];

  CEditRecordParameterGeneric(CTrelmGeneric* owner, CNamedObject** args, void* parent);
  CNamedObject** GetArgs() const { return m_ppArgs; }
  int OnInitDialog() override;
  int OnApply() override;
  // Hides the label and edit of the field `name`.
  void HideField(const char* name);

 private:
  CNamedObject* FindField(int index) const;
  CNamedObject** m_ppArgs;
};
