// The record store as a command sees it: features, feature lists and the
// record sets read by name or by filter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CNamedString;
class CNamedStringArray;

class MCNamedItem {
 public:
  virtual ~MCNamedItem() = default;
  // Copies the name into `buffer` (at most size-1 bytes, terminated); returns buffer.
  char* GetName(char* buffer, const char* unused, int size) const;
  const std::string& Name() const { return m_strName; }
  void SetItemName(const std::string& name) { m_strName = name; }

 private:
  std::string m_strName;
};

class CMDatabaseElement : public MCNamedItem {
 public:
  const char* GetKey() const { return m_strKey.c_str(); }
  // The key's last component, with its extension when `withExtension`.
  std::string GetShortKey(bool withExtension) const;
  void SetKey(const std::string& key) { m_strKey = key; }
  virtual bool IsKindOf(const char* typeName) const = 0;

 private:
  std::string m_strKey;
};

// Time value of a feature: seconds since 1970 (local time applies when formatted).
struct MCDateTime {
  int64_t seconds = 0;
};

class MCFeature : public CMDatabaseElement {
 public:
  static constexpr const char* kTypeName = "MCFeature";
  bool IsKindOf(const char* typeName) const override;

  double GetAktualValue() const { return actual; }
  double GetNominalValue() const { return nominal; }
  double GetUpperTolerance() const { return upperTol; }
  double GetLowerTolerance() const { return lowerTol; }
  double GetDeviation() const { return actual - nominal; }
  double GetResolution() const { return resolution; }
  int GetUnit() const { return unit; }
  int GetDisplayUnit() const { return displayUnit; }
  int GetMask() const { return mask; }
  int GetSymbolIndex() const { return symbol; }
  int GetType() const { return type; }
  int GetLowerLimitType() const { return lowerLimitType; }
  bool IsValid() const { return valid; }
  bool getExportFlag() const { return exportFlag; }
  bool GetMeasuringDateTime(MCDateTime& t) const;
  bool GetEvaluationDateTime(MCDateTime& t) const;

  // Renames the copy; the three values are upper bounds the host ignores here.
  void SetName(const char* name, double a, double b, double c);
  void SetValid(bool v) { valid = v; }

  double actual = 0, nominal = 0, upperTol = 0, lowerTol = 0, resolution = 0;
  int unit = 0, displayUnit = 0, mask = 0, symbol = 0, type = 0, lowerLimitType = 0;
  bool valid = true, exportFlag = true;
  bool hasMeasured = false, hasEvaluated = false;
  int64_t measured = 0, evaluated = 0;
};

class MCFeatureList : public CMDatabaseElement {
 public:
  static constexpr const char* kTypeName = "MCFeatureList";
  bool IsKindOf(const char* typeName) const override;

  // Appends a copy of `feature` (index 0xFFFFFFFF or past the end) or inserts before index.
  void EnterItem(const MCFeature& feature, uint32_t index);
  MCFeature* GetFirst();
  MCFeature* GetNext();
  int GetNumItems() const { return static_cast<int>(m_items.size()); }
  MCFeature* GetItem(int i) { return &m_items[static_cast<size_t>(i)]; }

 private:
  std::vector<MCFeature> m_items;
  size_t m_cursor = 0;
};

// A set of records, read by name (type 0) or by the patterns of a filter
// array (type 4), in the store's order.
class CRecords {
 public:
  CRecords(const CNamedString& name, int readType, int flag);
  CRecords(const char* name, int readType, int flag);
  CRecords(const CNamedStringArray& filter, int readType, const void* elementFilter, int a, int b);
  ~CRecords();

  int size() const { return static_cast<int>(m_elements.size()); }
  CMDatabaseElement* GetDatabaseElement(int i) const;
  MCFeature* GetFeature(int i) const;
  MCFeatureList* GetFeatureList(int i) const;

 private:
  void ReadByName(const std::string& name);
  std::vector<std::shared_ptr<CMDatabaseElement>> m_elements;
};

namespace norvia {
struct StoreRecord {
  std::string path;  // below store/, with '/'
  std::shared_ptr<CMDatabaseElement> element;
};
// Parses one record file; null, or the message "file:line: what".
const char* ParseFeatureRecord(const std::string& text, const std::string& path, MCFeature& out);
const char* ParseFeatureListRecord(const std::string& text, const std::string& path, MCFeatureList& out);
// Loads every *.fea and *.lst below `storeDir`, in byte order of their path.
const char* LoadStore(const std::string& storeDir, std::vector<StoreRecord>& out);
void SetStore(std::vector<StoreRecord> records);
const std::vector<StoreRecord>& Store();
}  // namespace norvia
