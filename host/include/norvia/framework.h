// The host's plug-in framework: the command bases a plug-in derives from,
// its page base, the module-state switch and the sibling-command runner.
#pragma once

#include <string>
#include <vector>

#include "norvia/named.h"
#include "platform/types.h"

// What the host passes to an execution (unused by the stand-in's commands).
struct TrelmEnvironment {
  int reserved = 0;
};

// The part of a generic dialog the host talks to.
class DialogInterface {
 public:
  virtual ~DialogInterface() = default;
};

class CTrelmGeneric;

// Base of a parameter page; the dialog kit fills in its behaviour.
class TrelmTabDialog {
 public:
  TrelmTabDialog(int templateId, CTrelmGeneric* owner);
  virtual ~TrelmTabDialog() = default;
  virtual int OnInitDialog() { return 1; }
  virtual int OnApply() { return 1; }
  // 65536 while the host edits the command, else the mode of the call.
  int GetExecMode() const { return m_nExecMode; }
  void SetExecMode(int mode) { m_nExecMode = mode; }
  void SetModified(bool modified = true) { m_bModified = modified; }
  bool IsModified() const { return m_bModified; }
  int GetTemplateId() const { return m_nTemplateId; }
  CTrelmGeneric* GetOwner() const { return m_pOwner; }

 private:
  int m_nTemplateId;
  CTrelmGeneric* m_pOwner;
  int m_nExecMode = 0;
  bool m_bModified = false;
};

// Module state: which library a call runs for (name, resources).
struct NorviaModuleState {
  std::string appName;     // the library's file name without extension
  HINSTANCE resource = nullptr;
};

// Makes `state` current for the lifetime of the guard, then restores the previous one.
class NorviaModuleStateGuard {
 public:
  explicit NorviaModuleStateGuard(NorviaModuleState* state);
  ~NorviaModuleStateGuard();
  NorviaModuleStateGuard(const NorviaModuleStateGuard&) = delete;
  NorviaModuleStateGuard& operator=(const NorviaModuleStateGuard&) = delete;

 private:
  NorviaModuleState* m_pPrevious;
};
NorviaModuleState* Norvia_CurrentModuleState();
// The current module's application name ("" outside any module).
const char* AfxGetAppName();
// Fills the state of the library that contains `address` (name from its file).
void Norvia_InitModuleState(NorviaModuleState& state, const void* address);
// Loads an icon resource of the current module; 0 when it has none.
HICON Norvia_LoadIcon(int resourceId);
// Number of icon loads so far (tests check that a command caches its icon).
int Norvia_IconLoadCount();

// The framework's library initialisers, run once by a plug-in's start-up.
void InitGenTrelmDll();
void InitRynGenericDll();

// Identify kinds understood by CTrelmGeneric::Identify.
enum TrelmIdentifyKind {
  TRELM_IDENT_NAME = 0,
  TRELM_IDENT_NUMBER = 1,
  TRELM_IDENT_ICON = 2,
  TRELM_IDENT_ARGS = 3,
  TRELM_IDENT_CONSTS = 4,
};

// Exec mode of the dialog when the host edits the command.
constexpr int TRELM_EXEC_MODE_EDIT = 0x10000;

class CTrelmGeneric {
 public:
  CTrelmGeneric();
  virtual ~CTrelmGeneric();

  // Overridden by the command.
  virtual const char* IdentifyName();
  virtual int* IdentifyNumber();
  virtual HICON* IdentifyIcon();
  virtual CNamedObject** IdentifyArgs();
  virtual CNamedObject** IdentifyConsts();
  virtual const char* ExecCommand(bool bCheckOnly);
  virtual const char* ExecGUI(int mode);
  virtual int InitInstance();
  virtual std::string GetParameterText(int index);

  // Framework operations reached through the exports.
  void* Identify(int kind);
  CNamedObject** IdentifyConstOfArg(const char* argName);
  const char* ExecAlg(int* status, bool bCheckOnly, TrelmEnvironment* env);
  void SetExecCallback(bool (*callback)(int));
  const char* GetParameter();
  const char* GetParameterEx(const char* name, bool withName);
  bool SetParameter(const char* text);
  const char* SetParameterEx(const char* name, const char* value);
  void SetOptions(int options) { m_nOptions = options; }
  void GetOptions(int& options) const { options = m_nOptions; }
  long GetExtendedParameterInformation(const std::string& name);
  std::string SpecifyFileFilter(const std::string& what);
  int SpecifyMode(const std::string& what);
  DialogInterface* GetDialogInterface() { return m_pDialogInterface; }

  // Services for the command's own code.
  int IsArg(const CNamedObject& object);
  CNamedObject* FindArg(const char* name);
  void AddPrepDlg(TrelmTabDialog* page, int flags, void* reserved);
  // Shows the registered pages in order, applies them, forgets them; returns a message or null.
  const char* ExecGUI(int mode, void* a, void* b, int showAll, void* c);
  static void ProcessMessages();
  void SetTitle(const std::string& title) { m_strTitle = title; }
  const std::string& GetTitle() const { return m_strTitle; }
  const std::vector<TrelmTabDialog*>& PrepDialogs() const { return m_prepDlgs; }

  // Hook for the dialog kit: runs the pages that ExecGUI shows (null: apply only).
  using PageRunner = const char* (*)(CTrelmGeneric& owner, const std::vector<TrelmTabDialog*>& pages,
                                     int mode);
  static void SetPageRunner(PageRunner runner);

 protected:
  DialogInterface* m_pDialogInterface = nullptr;

 private:
  std::string m_strTitle;
  std::string m_strParameterText;
  int m_nOptions = 0;
  bool (*m_pExecCallback)(int) = nullptr;
  std::vector<TrelmTabDialog*> m_prepDlgs;
};

// Command-family base: owns the fourteen drawing-header parameters.
class CRynTrelmGeneric : public CTrelmGeneric {
 public:
  CRynTrelmGeneric();
  int InitInstance() override;

  CNamedString m_Title1, m_Title2, m_Title3, m_Revision, m_Operator, m_PartName, m_DrawingNo,
      m_Operation, m_Comment, m_Text1, m_Text2, m_Text3, m_Text4, m_Text5;
};

// Runs a sibling host command ("GET MACHINE INFO.DLL", ...). Parameters
// named with a leading "&" receive the command's results.
class CTrelmExec {
 public:
  explicit CTrelmExec(const char* moduleName);
  void ResetParameterAlgEx();
  void SetParameterAlgEx(const char* name, std::string* text);
  void SetParameterAlgEx(const char* name, double* number);
  // Runs the command; throws a const char* text when it fails.
  const char* ExecAlgEx(bool bCheckOnly);
  int m_nFlag = 0;

 private:
  std::string m_strModule;
  std::vector<std::pair<std::string, std::string*>> m_texts;
  std::vector<std::pair<std::string, double*>> m_numbers;
};

// Moves values between dialog controls and parameters (filled by the dialog kit).
void SetControlEntry(void* control, CNamedObject& object);
bool GetControlEntry(void* control, CNamedObject& object, bool check);
void FillComboList(void* control, CNamedObject** constants);
bool GetValueFromString(const std::string& text, CNamedObject& object, CNamedObject** constants);

// The framework's page for the parameters it owns (drawing header and the
// record parameters); a command specialises it.
class CEditRecordParameterGeneric : public TrelmTabDialog {
 public:
  static constexpr int kTemplateId = 200;
  CEditRecordParameterGeneric(CTrelmGeneric* owner, CNamedObject** args, void* parent);
  CNamedObject** GetArgs() const { return m_ppArgs; }

 private:
  CNamedObject** m_ppArgs;
};

// Identify kinds from this base on return the command's parameter summary
// text (GetParameterText of kind - base) as a const char*.
constexpr int TRELM_IDENT_PARAMETER_TEXT = 0x10000;
