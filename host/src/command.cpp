// The command bases with parameter access by text, the page base, the page
// list of ExecGUI, and message pumping.
#include "norvia/command.h"

#include <cstring>
#include <sstream>

#include "norvia/module.h"
#include "text_util.h"

// ---- the page base

TrelmTabDialog::TrelmTabDialog(int templateId, CTrelmGeneric* owner)
    : m_nTemplateId(templateId), m_pOwner(owner) {}

int TrelmTabDialog::OnInitDialog() {
  DoDataExchange();
  return 1;
}

// ---- CTrelmGeneric

CTrelmGeneric::CTrelmGeneric() = default;
CTrelmGeneric::~CTrelmGeneric() = default;

const char* CTrelmGeneric::IdentifyName() { return AfxGetAppName(); }
int* CTrelmGeneric::IdentifyNumber() { return nullptr; }
HICON* CTrelmGeneric::IdentifyIcon() { return nullptr; }
CNamedObject** CTrelmGeneric::IdentifyArgs() { return nullptr; }
CNamedObject** CTrelmGeneric::IdentifyConsts() { return nullptr; }
const char* CTrelmGeneric::ExecCommand(bool) { return nullptr; }
const char* CTrelmGeneric::ExecGUI(int mode) { return ExecGUI(mode, nullptr, nullptr, 1, nullptr); }
int CTrelmGeneric::InitInstance() { return 1; }
std::string CTrelmGeneric::GetParameterText(int) { return std::string(); }

void* CTrelmGeneric::Identify(int kind) {
  switch (kind) {
    case TRELM_IDENT_NAME: return const_cast<char*>(IdentifyName());
    case TRELM_IDENT_NUMBER: return IdentifyNumber();
    case TRELM_IDENT_ICON: return IdentifyIcon();
    case TRELM_IDENT_ARGS: return IdentifyArgs();
    case TRELM_IDENT_CONSTS: return IdentifyConsts();
    default: break;
  }
  if (kind >= TRELM_IDENT_PARAMETER_TEXT - 0x8000 && kind < TRELM_IDENT_PARAMETER_TEXT + 0x8000) {
    m_strParameterText = GetParameterText(kind - TRELM_IDENT_PARAMETER_TEXT);
    return const_cast<char*>(m_strParameterText.c_str());
  }
  return nullptr;
}

// The stand-in offers every constant for every argument; the host's own
// framework narrows them by type, which no caller here depends on.
CNamedObject** CTrelmGeneric::IdentifyConstOfArg(const char* argName) {
  return FindArg(argName) ? IdentifyConsts() : nullptr;
}

const char* CTrelmGeneric::ExecAlg(int* status, bool bCheckOnly, TrelmEnvironment*) {
  const char* message = ExecCommand(bCheckOnly);
  if (status) *status = message ? 1 : 0;
  if (m_pExecCallback) m_pExecCallback(message ? 1 : 0);
  return message;
}

void CTrelmGeneric::SetExecCallback(bool (*callback)(int)) { m_pExecCallback = callback; }

CNamedObject* CTrelmGeneric::FindArg(const char* name) {
  if (!name) return nullptr;
  for (CNamedObject** arg = IdentifyArgs(); arg && *arg; ++arg)
    if (!std::strcmp((*arg)->GetName(), name)) return *arg;
  return nullptr;
}

int CTrelmGeneric::IsArg(const CNamedObject& object) {
  for (CNamedObject** arg = IdentifyArgs(); arg && *arg; ++arg)
    if (*arg == &object) return object.IsUsed() ? 1 : 0;
  return 0;
}

const char* CTrelmGeneric::GetParameter() {
  std::string text;
  for (CNamedObject** arg = IdentifyArgs(); arg && *arg; ++arg)
    if ((*arg)->IsUsed() && (*arg)->IsStringAvailable())
      text += std::string(text.empty() ? "" : "\n") + (*arg)->GetName() + "=" + (*arg)->GetString();
  m_strParameterText = text;
  return m_strParameterText.c_str();
}

const char* CTrelmGeneric::GetParameterEx(const char* name, bool withName) {
  CNamedObject* arg = FindArg(name);
  if (!arg || !arg->IsStringAvailable()) return nullptr;
  m_strParameterText = withName ? std::string(name) + "=" + arg->GetString() : arg->GetString();
  return m_strParameterText.c_str();
}

const char* CTrelmGeneric::SetParameterEx(const char* name, const char* value) {
  CNamedObject* arg = FindArg(name);
  if (!arg) {
    m_strParameterText = norvia::Format("unknown parameter '%s'", name ? name : "");
    return m_strParameterText.c_str();
  }
  if (!arg->Set(value ? value : "", IdentifyConsts())) {
    m_strParameterText = norvia::Format("invalid value for parameter %s: %s", name, value ? value : "");
    return m_strParameterText.c_str();
  }
  arg->SetUsed(true);
  return nullptr;
}

bool CTrelmGeneric::SetParameter(const char* text) {
  for (CNamedObject** arg = IdentifyArgs(); arg && *arg; ++arg) (*arg)->Reset();
  std::istringstream in(text ? text : "");
  std::string line;
  bool ok = true;
  while (std::getline(in, line)) {
    if (norvia::Trim(line).empty()) continue;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
      ok = false;
      continue;
    }
    ok = SetParameterEx(norvia::Trim(line.substr(0, eq)).c_str(), line.c_str() + eq + 1) == nullptr && ok;
  }
  return ok;
}

long CTrelmGeneric::GetExtendedParameterInformation(const std::string& name) {
  CNamedObject* arg = FindArg(name.c_str());
  return arg ? arg->GetAccess() : -1;
}

std::string CTrelmGeneric::SpecifyFileFilter(const std::string&) { return std::string(); }
int CTrelmGeneric::SpecifyMode(const std::string&) { return 0; }

void CTrelmGeneric::AddPrepDlg(TrelmTabDialog* page, int, void*) { m_prepDlgs.push_back(page); }

const char* CTrelmGeneric::ExecGUI(int mode, void*, void*, int, void*) {
  std::vector<TrelmTabDialog*> pages;
  pages.swap(m_prepDlgs);
  for (TrelmTabDialog* page : pages)
    if (page) page->SetExecMode(mode);
  if (TrelmPageRunner runner = Norvia_CurrentModuleState()->pageRunner) return runner(*this, pages, mode);
  // Without a dialog kit the pages are initialised and applied at once.
  for (TrelmTabDialog* page : pages)
    if (page && page->OnInitDialog() && !page->OnApply()) return "The parameters could not be applied.";
  return nullptr;
}

void CTrelmGeneric::ProcessMessages() {}

// ---- CRynTrelmGeneric

CRynTrelmGeneric::CRynTrelmGeneric()
    : m_Title1("TITLE_1", 0, 0, CNamedObject::kOptional),
      m_Title2("TITLE_2", 0, 0, CNamedObject::kOptional),
      m_Title3("TITLE_3", 0, 0, CNamedObject::kOptional),
      m_Revision("REVISION", 0, 0, CNamedObject::kOptional),
      m_Operator("OPERATOR", 0, 0, CNamedObject::kOptional),
      m_PartName("PART_NAME", 0, 0, CNamedObject::kOptional),
      m_DrawingNo("DRAWING_NO", 0, 0, CNamedObject::kOptional),
      m_Operation("OPERATION", 0, 0, CNamedObject::kOptional),
      m_Comment("COMMENT", 0, 0, CNamedObject::kOptional),
      m_Text1("TEXT_1", 0, 0, CNamedObject::kOptional),
      m_Text2("TEXT_2", 0, 0, CNamedObject::kOptional),
      m_Text3("TEXT_3", 0, 0, CNamedObject::kOptional),
      m_Text4("TEXT_4", 0, 0, CNamedObject::kOptional),
      m_Text5("TEXT_5", 0, 0, CNamedObject::kOptional) {}

int CRynTrelmGeneric::InitInstance() {
  InitGenTrelmDll();
  InitRynGenericDll();
  return CTrelmGeneric::InitInstance();
}
