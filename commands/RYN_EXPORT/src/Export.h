// CTrelmExport: the command's one export object. The exports forward to
// it; its operations validate the parameters and run the writers.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ExportSettings.h"
#include "Status.h"
#include "norvia/command.h"
#include "norvia/module.h"

class CExportEditDlg;
class CFeaturesEditDlg;
class CEditRecordParameterDlg;

class CTrelmExport : public CRynTrelmGeneric {
 public:
  CTrelmExport();
  ~CTrelmExport() override;

  const char* IdentifyName() override;
  int* IdentifyNumber() override;
  HICON* IdentifyIcon() override;
  CNamedObject** IdentifyArgs() override;
  CNamedObject** IdentifyConsts() override;
  const char* ExecCommand(bool bCheckOnly) override;
  const char* ExecGUI(int mode) override;
  int InitInstance() override;
  std::string GetParameterText(int index) override;

  // The thirteen drawing-header texts in the order title 1, 2, 3, operator,
  // part name, drawing number, operation, comment, text 1 to 5.
  CNamedString* DrawingHeader(int index);
  // The thirteen drawing-header texts, in that order (empty when not given).
  std::vector<std::string> DrawingHeaderTexts();

  // The writers the mode kinds name; each composes from the settled
  // settings and fails with the message for the host.
  ryn::Status FunctionExportASCII(const ryn::ExportSettings& settings);
  ryn::Status FunctionExportCSV(const ryn::ExportSettings& settings);
  ryn::Status FunctionExportCSVHistory(const ryn::ExportSettings& settings);
  // The script export: the interface file, the script run, the interface file removed.
  ryn::Status RunScriptExport(const ryn::ExportSettings& settings);
  // What a retired data-transfer mode answers.
  ryn::Status RetiredModeMessage(const ryn::ExportSettings& settings);
  static constexpr int kDrawingHeaderCount = 13;

  CExportEditDlg* m_pExportDlg = nullptr;
  CFeaturesEditDlg* m_pFeaturesDlg = nullptr;
  CEditRecordParameterDlg* m_pRecordPage = nullptr;

 private:
  // Written before the table of a CSV-family mode when its file is given.
  ryn::Status ExportAdditionalData(const ryn::ExportSettings& settings);
  // What the executor's checks settled, for the writer.
  ryn::ExportSettings SettledSettings() const;

  HICON m_hIcon = nullptr;
  int32_t m_nIdentNumber = 0;
  std::string m_strMessage;
  // The effective separators and transposition, kept from execution to execution.
  std::string m_strValueSeparator;
  std::string m_strThousandsSeparator;
  std::string m_strDecimalSeparator;
  bool m_bTranspose = false;
  std::map<signed char, std::string> m_separatorNames;
  // Path of the default-values file the ASCII writer read last.
  std::string m_strDefaultValuesFile;

  // The executor's steps.
  ryn::Status RunCommand(bool bCheckOnly);
  bool IsCsvMode() const;
  void InitSeparatorDefaults(std::string& value, std::string& decimal, std::string& thousands);
  bool ParseSeparator(const CNamedString& parameter, std::string& separator);
  std::string SeparatorDisplayName(char c) const;
  // Failed with the script's error text when the script did not run through.
  ryn::Status RunExportScript(std::string scriptFile);
  std::string ParameterText(int index);
  void FillSeparatorNames();
  ryn::Status CheckModeClass();
  ryn::Status CheckCsvSettings();
  ryn::Status CheckSeparatorPairs(const std::string names[3], const std::string* separators[3],
                                  const bool recognised[3]);
  ryn::Status CheckScheme();
  ryn::Status Dispatch(bool bCheckOnly);
};

// The one export object of the library.
extern CTrelmExport theExport;

// Identification number of the command.
constexpr int32_t kRynExportIdentNumber = 400;
// Icon resource of the command.
constexpr int kRynExportIconId = 101;
// Module name under which the command writes its diagnostics.
constexpr const char* kRynModuleName = "RYN_EXPORT.dll";
