// Named objects: the host's typed, named values that carry a command's
// parameters and constants, set from texts in the host's parameter language.
#pragma once

#include <string>
#include <vector>

class CNamedObject {
 public:
  // Flags of construction: a mandatory object without value, or optional.
  enum { kMandatory = 0, kOptional = 1 };

  CNamedObject(const char* name, int access, int unit);
  virtual ~CNamedObject() = default;
  CNamedObject(const CNamedObject&) = delete;
  CNamedObject& operator=(const CNamedObject&) = delete;

  const char* GetName() const { return m_strName.c_str(); }
  int GetAccess() const { return m_nAccess; }

  // A value is available when the object was given one (literal, constant,
  // global expression) or holds its initial value.
  bool IsValueAvailable() const { return m_bValue; }
  // The string form is the text the object was last set from; an initial value has none.
  bool IsStringAvailable() const { return m_bString; }
  bool HasDefaultValue() const { return m_bDefault; }
  const std::string& GetString() const { return m_strText; }

  // Parses `text` in the parameter language; on refusal returns false and
  // leaves the object as it was. `constants` resolve identifiers (may be null).
  bool Set(const std::string& text, CNamedObject* const* constants = nullptr);
  // Back to the state of construction.
  void Reset();
  // Set by the framework when the host gave this object in its parameter text.
  bool IsUsed() const { return m_bUsed; }
  void SetUsed(bool used) { m_bUsed = used; }

 protected:
  // Assigns the parsed value; false when the value does not fit the type.
  virtual bool AssignLiteral(const std::string& text) = 0;
  virtual bool AssignLong(long value) = 0;
  virtual bool AssignStringArray(const std::vector<std::string>& items) = 0;
  virtual void ResetValue() = 0;
  void MarkValue(const std::string& text);
  void MarkDefault() { m_bValue = m_bDefault = true; }

 private:
  bool SetFromGlobal(const std::string& identifier);

  std::string m_strName;
  int m_nAccess;
  [[maybe_unused]] int m_nUnit;  // the host converts by it; the stand-in keeps values as given
  std::string m_strText;
  bool m_bValue = false;
  bool m_bString = false;
  bool m_bDefault = false;
  bool m_bUsed = false;
};

class CNamedLong : public CNamedObject {
 public:
  // Optional (flag OPTIONAL) or mandatory, without value.
  CNamedLong(const char* name, int access, int unit, int flag);
  // With an initial value, which also serves as the default.
  CNamedLong(const char* name, int access, int unit, long initial);
  CNamedLong(const char* name, long value);  // a constant

  long GetValue() const { return m_lValue; }
  operator long() const { return m_lValue; }
  CNamedLong& operator=(long value);

 protected:
  bool AssignLiteral(const std::string& text) override;
  bool AssignLong(long value) override;
  bool AssignStringArray(const std::vector<std::string>& items) override;
  void ResetValue() override;

 private:
  long m_lInitial = 0;
  bool m_bHasInitial = false;
  long m_lValue = 0;
};

class CNamedString : public CNamedObject {
 public:
  CNamedString(const char* name, int access, int unit, int flag);
  CNamedString(const char* name, int access, int unit, const char* initial);

  const std::string& GetText() const { return m_strValue; }
  operator const char*() const { return m_strValue.c_str(); }
  // True when the value is empty or white space only.
  bool IsEmptyString() const;
  CNamedString& operator=(const std::string& value);

 protected:
  bool AssignLiteral(const std::string& text) override;
  bool AssignLong(long value) override;
  bool AssignStringArray(const std::vector<std::string>& items) override;
  void ResetValue() override;

 private:
  std::string m_strInitial;
  bool m_bHasInitial = false;
  std::string m_strValue;
};

class CNamedStringArray : public CNamedObject {
 public:
  CNamedStringArray(const char* name, int access, int unit, int flag);

  int GetSize() const { return static_cast<int>(m_items.size()); }
  // Element access; an index out of range yields the empty text.
  const std::string& GetAt(int index) const;
  const std::string& operator[](int index) const { return GetAt(index); }
  void SetItems(const std::vector<std::string>& items);
  void Add(const std::string& item);

 protected:
  bool AssignLiteral(const std::string& text) override;
  bool AssignLong(long value) override;
  bool AssignStringArray(const std::vector<std::string>& items) override;
  void ResetValue() override;

 private:
  std::vector<std::string> m_items;
};

namespace norvia {
// Splits the array form `"a", "b"` into its items; false when the text is not one.
bool ParseQuotedList(const std::string& text, std::vector<std::string>& items);
}  // namespace norvia
