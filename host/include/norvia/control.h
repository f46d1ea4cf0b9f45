// A dialog control and the window of a page, as the framework's pages and
// value transfer see them; the dialog kit implements both.
#pragma once

#include <string>

// Real host: the framework works on the platform's dialog controls; this
// interface is the stand-in's, so that pages run headless and on Windows alike.
// Combo entries carry a label and the value they stand for.
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

// Stand-in only: the window a page runs in.
class TrelmPageWindow {
 public:
  virtual ~TrelmPageWindow() = default;
  // Null when the page's template has no control with that id.
  virtual TrelmControl* GetDlgItem(int id) = 0;
  // Translates the texts of every control in `domain`.
  virtual void TranslateTexts(const char* domain) = 0;
};
