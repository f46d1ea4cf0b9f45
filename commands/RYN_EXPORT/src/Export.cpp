// The export object: identification, instance start-up, the parameter
// summary for the host's listing and the dialog entry.
#include "Export.h"

#include <cstdio>
#include <new>

#include "App.h"
#include "Boundary.h"
#include "Pages.h"
#include "Parameters.h"
#include "norvia/diag.h"
#include "norvia/services.h"
#include "norvia/translate.h"

using namespace ryn;

namespace {

const char* const kExportSource = "commands\\RYN_EXPORT\\src\\Export";

std::string Tr(const char* key) { return Translate(key, 0, nullptr, AfxGetAppName()); }

void LogExecGUI(int line, const char* text) {
  MErrLog_Location(kRynModuleName, kExportSource, line);
  MErrLog_Add("%s", text);
}

bool HasText(CTrelmExport& self, CNamedObject& object) {
  return self.IsArg(object) && object.IsStringAvailable();
}

std::string LabelAndValue(const std::string& label, const std::string& value) {
  return label + ": " + value + " ";
}

}  // namespace

CTrelmExport::CTrelmExport() { FillSeparatorNames(); }

CTrelmExport::~CTrelmExport() {
  m_separatorNames.clear();
  m_strMessage.clear();
  m_strValueSeparator.clear();
  m_strThousandsSeparator.clear();
  m_strDecimalSeparator.clear();
}

void CTrelmExport::FillSeparatorNames() {
  static const char* const controlNames[] = {"<FS>", "<GS>", "<RS>", "<US>"};
  m_separatorNames[9] = "<HT>";
  for (int c = 28; c <= 31; ++c) m_separatorNames[static_cast<signed char>(c)] = controlNames[c - 28];
  for (char c : std::string("!#$%&'*,./:;<=>?@^_`|~")) m_separatorNames[static_cast<signed char>(c)] = std::string(1, c);
}

const char* CTrelmExport::IdentifyName() { return AfxGetAppName(); }

int* CTrelmExport::IdentifyNumber() {
  m_nIdentNumber = kRynExportIdentNumber;
  return &m_nIdentNumber;
}

HICON* CTrelmExport::IdentifyIcon() {
  // A failed load leaves 0, so the next request tries again.
  if (!m_hIcon) m_hIcon = Norvia_LoadIcon(kRynExportIconId);
  return &m_hIcon;
}

CNamedObject** CTrelmExport::IdentifyArgs() { return g_Args; }
CNamedObject** CTrelmExport::IdentifyConsts() { return g_Consts; }

int CTrelmExport::InitInstance() {
  CRynTrelmGeneric::InitInstance();
  SetTitle(Tr("Exportieren der Messergebnisse"));
  return 1;
}

CNamedString* CTrelmExport::DrawingHeader(int index) {
  CNamedString* const headers[kDrawingHeaderCount] = {&m_Title1, &m_Title2, &m_Title3, &m_Operator,
                                                      &m_PartName, &m_DrawingNo, &m_Operation,
                                                      &m_Comment, &m_Text1, &m_Text2, &m_Text3,
                                                      &m_Text4, &m_Text5};
  return index >= 0 && index < kDrawingHeaderCount ? headers[index] : nullptr;
}

// The host's listing asks through Identify, from the host's library: a
// failure is logged and the line stays empty.
std::string CTrelmExport::GetParameterText(int index) {
  return GuardedLogged(kExportSource, __LINE__, std::string(), [&] { return ParameterText(index); });
}

std::string CTrelmExport::ParameterText(int index) {
  switch (index) {
    case 0:
      return HasText(*this, SCHEME) ? LabelAndValue(Tr("Schema.txt"), SCHEME.GetText()) : std::string();
    case 1:
      return LabelAndValue(Tr("Einheit.txt"),
                           Tr(HasText(*this, UNITTYPE) ? UNITTYPE.GetString().c_str() : "MILLI"));
    case 2:
      return Tr(HasText(*this, MODE) ? "Zusatzdaten erfassen.txt" : "Messergebnisse exportieren.txt");
    default:
      if (CNamedString* header = DrawingHeader(index - 3); header && HasText(*this, *header))
        return header->GetText();
      return std::string();
  }
}

const char* CTrelmExport::ExecGUI(int mode) {
  const long logExit = getreg_long("logging\\commands", "exit", 0);
  const long logEntry = getreg_long("logging\\commands", "entry", 0);
  if (logEntry)
    LogExecGUI(__LINE__, mode == TRELM_EXEC_MODE_EDIT ? "entry ExecGUI(edit)" : "entry ExecGUI(doit)");

  m_pExportDlg = new (std::nothrow) CExportEditDlg(this);
  m_pRecordPage = new (std::nothrow) CEditRecordParameterDlg(this, g_Args, nullptr);
  m_pFeaturesDlg = new (std::nothrow) CFeaturesEditDlg(this);
  AddPrepDlg(m_pExportDlg, 0, nullptr);
  AddPrepDlg(m_pRecordPage, 0, nullptr);
  AddPrepDlg(m_pFeaturesDlg, 0, nullptr);

  const char* result = CTrelmGeneric::ExecGUI(mode, nullptr, nullptr, 1, nullptr);

  delete m_pExportDlg;
  m_pExportDlg = nullptr;
  delete m_pFeaturesDlg;
  m_pFeaturesDlg = nullptr;
  delete m_pRecordPage;
  m_pRecordPage = nullptr;

  if (logExit) LogExecGUI(__LINE__, "exit ExecGUI()");
  return result;
}

std::vector<std::string> CTrelmExport::DrawingHeaderTexts() {
  std::vector<std::string> texts;
  for (int i = 0; i < kDrawingHeaderCount; ++i) {
    CNamedString* header = DrawingHeader(i);
    texts.push_back(header->IsValueAvailable() ? header->GetText() : std::string());
  }
  return texts;
}
