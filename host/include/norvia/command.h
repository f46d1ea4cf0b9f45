// The command bases a plug-in derives from (CTrelmGeneric, CRynTrelmGeneric)
// and the base of its parameter pages (TrelmTabDialog).
#pragma once

#include <string>
#include <vector>

#include "norvia/control.h"
#include "norvia/named.h"
#include "platform/types.h"

// Real host: everything below but what is marked stand-in only.

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
  // Stand-in only: the page runner attaches the window before OnInitDialog
  // and detaches it after the dialog; the controls are found through it.
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
  // Stand-in only: the pages registered so far.
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

// Identify kinds from this base on return the command's parameter summary
// text (GetParameterText of kind - base) as a const char*.
constexpr int TRELM_IDENT_PARAMETER_TEXT = 0x10000;
