// The control kit the parameter pages stand on: controls addressed by the
// ids of their dialog template, pop-up menus with command ids, and the page
// window that dispatches control events to the page's handlers.
//
// Controls keep their state here; a screen back end (Win32) mirrors it into
// real controls. Without a back end the state alone is the dialog, which is
// how tests and the host emulator drive pages.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "mboundary.h"
#include "norvia/command.h"
#include "norvia/control.h"
#include "norvia/module.h"
#include "norvia/page_script.h"

namespace ui {

enum class Kind { Static, Edit, FileEdit, Combo, ImageButton, Grid, Frame, Icon };
const char* KindName(Kind kind);

enum class Event { Clicked, SelChange, KillFocus, EndEdit, GridSelChange, Size };

// One control of a dialog template (positions in dialog units).
struct ControlSpec {
  int id;
  Kind kind;
  std::string text;
  int x, y, width, height;
};

struct Template {
  int id;
  std::string title;
  int width, height;
  std::vector<ControlSpec> controls;
};
// The template of `id`: the framework's record page (200) or one a command
// registered; null for any other id.
const Template* FindTemplate(int id);
// Makes a command's page template known by its id; a later one of the same id replaces it.
void RegisterTemplate(const Template& dialogTemplate);

// File edits and grid path cells: what the browse action opens.
struct FileSettings {
  int pathKind = 6;
  int openArg = 0;
  std::string filter;
  std::string extension;
  std::string startDirectory;
};

struct MenuItem {
  int command = 0;  // 0 for a sub-menu
  std::string label;
  std::vector<MenuItem> items;
};

class PageWindow;

class Control : public TrelmControl {
 public:
  Control(PageWindow& window, const ControlSpec& spec);
  int Id() const { return m_nId; }
  Kind GetKind() const { return m_kind; }

  std::string GetText() const override;
  void SetText(const std::string& text) override;
  bool IsCombo() const override { return m_kind == Kind::Combo; }
  void ResetContent() override;
  void AddItem(const std::string& label, const std::string& value) override;
  int GetItemCount() const override { return static_cast<int>(m_items.size()); }
  std::string GetItemValue(int index) const override;
  std::string GetItemLabel(int index) const;
  int GetCurSel() const override;
  void SetCurSel(int index) override;
  void SetMandatory(bool mandatory) override { m_bMandatory = mandatory; }
  bool IsMandatory() const override { return m_bMandatory; }
  void Show(bool show) override;
  bool IsVisible() const override { return m_bVisible; }
  void Focus() override;

  // Edits: the selection [start, end); a caret is an empty selection.
  void GetSel(int& start, int& end) const;
  void SetSel(int start, int end);
  void ScrollCaret();
  void SetImage(int resourceId);
  int GetImage() const { return m_nImage; }
  void SetFileSettings(const FileSettings& settings) { m_file = settings; }
  const FileSettings& GetFileSettings() const { return m_file; }

  // Grids: one path cell per row.
  int GetRowCount() const;
  void SetRowCount(int rows);
  std::string GetCell(int row) const;
  void SetCell(int row, const std::string& text);
  void DeleteRow(int row);
  void AutoSizeColumns();

  // Back ends read the state directly.
  const std::vector<std::pair<std::string, std::string>>& Items() const { return m_items; }
  const std::vector<std::string>& Rows() const { return m_rows; }
  // Called by a back end after the user changed a control.
  void Store(const std::string& text, int selStart, int selEnd, int curSel);
  void StoreRows(const std::vector<std::string>& rows) { m_rows = rows; }

 private:
  void Sync() const;
  PageWindow& m_window;
  int m_nId;
  Kind m_kind;
  std::string m_strText;
  std::vector<std::pair<std::string, std::string>> m_items;  // label, value
  int m_nCurSel = -1;
  int m_nSelStart = 0, m_nSelEnd = 0;
  bool m_bMandatory = false;
  bool m_bVisible = true;
  int m_nImage = 0;
  FileSettings m_file;
  std::vector<std::string> m_rows;
};

// A screen back end; none for a dialog without a screen.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual void Pull(Control& control) = 0;  // the screen's state into the control
  virtual void Push(const Control& control) = 0;
  virtual void Focus(const Control& control) = 0;
  // Shows the menu at the control and returns the chosen command, 0 for none.
  virtual int TrackPopupMenu(const MenuItem& menu, const Control& anchor) = 0;
  virtual void SetTitle(const std::string& title) = 0;
};

class PageWindow : public TrelmPageWindow {
 public:
  explicit PageWindow(const Template& dialogTemplate);
  ~PageWindow() override;

  const Template& GetTemplate() const { return m_template; }
  TrelmControl* GetDlgItem(int id) override { return Find(id); }
  Control* Find(int id);
  // The control with that id. A missing one is a mistake in the code: it is
  // logged as an assertion, and the caller gets a hidden stand-in that
  // belongs to no template.
  Control& Item(int id);
  const std::vector<std::unique_ptr<Control>>& Controls() const { return m_controls; }
  void TranslateTexts(const char* domain) override;
  std::string GetTitle() const { return m_strTitle; }
  void SetTitle(const std::string& title);

  // Focus: leaving a control fires its KillFocus event.
  void SetFocus(int id);
  int GetFocus() const { return m_nFocus; }

  void TrackPopupMenu(const MenuItem& menu, int anchorId);
  // The menu opened last and not yet answered (null when none is open).
  const MenuItem* OpenMenu() const { return m_bMenuOpen ? &m_openMenu : nullptr; }
  // Answers the open menu with the entry of that label or command; false when there is none.
  bool ChooseMenuEntry(const std::string& labelOrCommand);
  void CloseMenu() { m_bMenuOpen = false; }

  using Handler = std::function<void(int id, int arg)>;
  void On(int id, Event event, Handler handler);
  void OnCommandRange(int first, int last, std::function<void(int command)> handler);
  void Fire(int id, Event event, int arg = 0);
  void FireCommand(int command);

  void SetBackend(std::unique_ptr<Backend> backend) { m_backend = std::move(backend); }
  Backend* GetBackend() const { return m_backend.get(); }

 private:
  const Template& m_template;
  std::vector<std::unique_ptr<Control>> m_controls;
  std::string m_strTitle;
  int m_nFocus = 0;
  MenuItem m_openMenu;
  bool m_bMenuOpen = false;
  std::map<std::pair<int, Event>, std::vector<Handler>> m_handlers;
  std::vector<std::tuple<int, int, std::function<void(int)>>> m_commandHandlers;
  std::unique_ptr<Backend> m_backend;
  std::unique_ptr<Control> m_pStandIn;  // what Item answers for a missing id
};

// The window of a page while the framework shows it. Outside that time the
// call is a mistake in the code: it is logged as an assertion, and the
// caller gets a window without controls.
PageWindow& WindowOf(const TrelmTabDialog& page);

// Creates the page's window from its template and attaches it (the caller owns it).
std::unique_ptr<PageWindow> OpenPage(TrelmTabDialog& page);

// Runs one action of the dialog script on `windows` (see the README's
// action syntax); `current` is the page the actions address. Printed output
// goes to the script's output. Null, or the message why the page refuses the
// action (kept as the script's error).
const char* RunAction(const std::string& action, std::vector<PageWindow*>& windows, size_t& current,
                      TrelmPageScript& script);
// A readable listing of a page's controls, one line each.
std::string Describe(const PageWindow& window);

// Runs the pages without a screen: opens them, runs the dialog script's
// actions, applies them in order (a page runner).
const char* RunPagesOffScreen(CTrelmGeneric& owner, const std::vector<TrelmTabDialog*>& pages, int mode);

// A page runner as the framework may call it: the host's library calls it,
// so whatever escapes the pages becomes the dialog's message.
template <TrelmPageRunner Run>
const char* GuardedPageRunner(CTrelmGeneric& owner, const std::vector<TrelmTabDialog*>& pages, int mode) noexcept {
  return ryn::GuardedMessage([&] { return Run(owner, pages, mode); });
}

// Makes the framework show the pages of the library that owns `state`
// through this kit: on the screen where the back end has one, else off screen.
void InstallPageRunner(NorviaModuleState& state);

}  // namespace ui
