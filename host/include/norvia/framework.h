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

// A dialog control as the framework's value transfer sees it; the dialog
// kit implements it. Combo entries carry a label and the value they stand for.
class TrelmControl {
 public:
  virtual ~TrelmControl() = default;
  virtual std::string GetText() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual bool IsCombo() const { return false; }
  virtual void ResetContent() {}
  virtual void AddItem(const std::string& label, const std::string& value) {}
  virtual int GetItemCount() const { return 0; }
  virtual std::string GetItemValue(int index) const { return std::string(); }
  virtual int GetCurSel() const { return -1; }
  virtual void SetCurSel(int index) {}
  // A mandatory control must not be left empty when the framework checks.
  virtual void SetMandatory(bool mandatory) {}
  virtual bool IsMandatory() const { return false; }
  virtual void Show(bool show) {}
  virtual bool IsVisible() const { return true; }
  virtual void Focus() {}
};

// The window a page runs in, as the framework sees it.
class TrelmPageWindow {
 public:
  virtual ~TrelmPageWindow() = default;
  // Null when the page's template has no control with that id.
  virtual TrelmControl* GetDlgItem(int id) = 0;
  // Translates the texts of every control in `domain`.
  virtual void TranslateTexts(const char* domain) = 0;
};

// Base of a parameter page. The framework runs OnInitDialog once the page's
// window exists, then OnApply when the dialog is applied.
class TrelmTabDialog {
 public:
  TrelmTabDialog(int templateId, CTrelmGeneric* owner);
  virtual ~TrelmTabDialog() = default;
  // Binds the page's controls; the base initialisation calls it.
  virtual void DoDataExchange() {}
  virtual int OnInitDialog();
  virtual int OnApply() { return 1; }
  // The command object the page edits.
  virtual CTrelmGeneric* GetTrelmObject() { return m_pOwner; }
  // 65536 while the host edits the command, else the mode of the call.
  int GetExecMode() const { return m_nExecMode; }
  void SetExecMode(int mode) { m_nExecMode = mode; }
  void SetModified(bool modified = true) { m_bModified = modified; }
  bool IsModified() const { return m_bModified; }
  int GetTemplateId() const { return m_nTemplateId; }
  CTrelmGeneric* GetOwner() const { return m_pOwner; }
  // The page runner attaches the window before OnInitDialog and detaches it after the dialog.
  void AttachWindow(TrelmPageWindow* window) { m_pWindow = window; }
  TrelmPageWindow* GetPageWindow() const { return m_pWindow; }
  TrelmControl* GetDlgItem(int id) const { return m_pWindow ? m_pWindow->GetDlgItem(id) : nullptr; }

 private:
  int m_nTemplateId;
  CTrelmGeneric* m_pOwner;
  int m_nExecMode = 0;
  bool m_bModified = false;
  TrelmPageWindow* m_pWindow = nullptr;
};

// Shows the pages of CTrelmGeneric::ExecGUI and applies them; a message or null.
using TrelmPageRunner = const char* (*)(CTrelmGeneric& owner, const std::vector<TrelmTabDialog*>& pages, int mode);

// Module state: which library a call runs for (name, resources, dialog kit).
struct NorviaModuleState {
  std::string appName;     // the library's file name without extension
  HINSTANCE resource = nullptr;
  // The library's own dialog kit, set when it loads (null: pages are applied
  // without a dialog). Kept here rather than process-wide, it goes with the
  // library and serves only calls made for it.
  TrelmPageRunner pageRunner = nullptr;
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
  // Shows the registered pages in order through the current module's page
  // runner, applies them, forgets them; returns a message or null.
  const char* ExecGUI(int mode, void* a, void* b, int showAll, void* c);
  static void ProcessMessages();
  void SetTitle(const std::string& title) { m_strTitle = title; }
  const std::string& GetTitle() const { return m_strTitle; }
  const std::vector<TrelmTabDialog*>& PrepDialogs() const { return m_prepDlgs; }

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
  // Runs the command. A failure comes back as its text in `failure` (null
  // when it ran): no exception leaves the host's library, whose runtime
  // need not be the caller's.
  const char* RunAlgEx(bool bCheckOnly, const char** failure);
  // Runs the command and throws the failure text as the host's runner does;
  // inline, so the throw happens in the caller's module.
  const char* ExecAlgEx(bool bCheckOnly) {
    const char* failure = nullptr;
    const char* result = RunAlgEx(bCheckOnly, &failure);
    if (failure) throw failure;
    return result;
  }
  int m_nFlag = 0;

 private:
  std::string m_strModule;
  std::vector<std::pair<std::string, std::string*>> m_texts;
  std::vector<std::pair<std::string, double*>> m_numbers;
};

// Moves values between dialog controls (TrelmControl*) and parameters.
// Combos select the entry whose value is the constant naming the parameter's value.
void SetControlEntry(void* control, CNamedObject& object, CNamedObject** constants = nullptr);
// Sets `object` from the control (an empty control leaves it without value).
// With `check`, a shown mandatory control left empty fails too. A failure shows a
// message box and moves the focus to the control.
bool GetControlEntry(void* control, CNamedObject& object, bool check, CNamedObject** constants = nullptr);
// Fills a combo with the constants: the translated name as label, the name as value.
void FillComboList(void* control, CNamedObject** constants);
bool GetValueFromString(const std::string& text, CNamedObject& object, CNamedObject** constants);

// Actions and output of a dialog run without a screen (the host emulator's
// `edit` verb and tests): the page runner executes the actions, writes what
// they print into `output` and a refused action into `error`.
struct TrelmPageScript {
  std::vector<std::string> actions;
  std::string output;
  std::string error;
};
TrelmPageScript& Trelm_PageScript();

// The framework's page for the parameters it owns (the drawing header); a
// command specialises it. Each parameter has an edit and a label.
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

// Identify kinds from this base on return the command's parameter summary
// text (GetParameterText of kind - base) as a const char*.
constexpr int TRELM_IDENT_PARAMETER_TEXT = 0x10000;
