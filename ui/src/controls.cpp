// Controls and the page window: state, event dispatch and pop-up menus.
#include <algorithm>

#include "massert.h"
#include "mboundary.h"
#include "norvia/translate.h"
#include "ui/kit.h"

namespace ui {
namespace {
constexpr const char* kFile = "ui\\src\\controls";
}  // namespace

// ---- Control
//
// The TrelmControl overrides are called from the host's library (its value
// transfer), so each runs through a guard: a failure is logged and the
// control answers as an empty one.

using ryn::GuardedLogged;

Control::Control(PageWindow& window, const ControlSpec& spec)
    : m_window(window), m_nId(spec.id), m_kind(spec.kind), m_strText(spec.text) {
  if (m_kind == Kind::Grid) m_rows.assign(1, std::string());
}

// Reads back what the user changed on the screen before answering.
void Control::Sync() const {
  if (Backend* backend = m_window.GetBackend()) backend->Pull(const_cast<Control&>(*this));
}

#define RYN_UI_PUSH() \
  if (Backend* backend = m_window.GetBackend()) backend->Push(*this)

std::string Control::GetText() const {
  return GuardedLogged(kFile, __LINE__, std::string(), [&]() -> std::string {
    Sync();
    if (m_kind == Kind::Combo) return m_nCurSel >= 0 ? m_items[static_cast<size_t>(m_nCurSel)].first : "";
    return m_strText;
  });
}

void Control::SetText(const std::string& text) {
  GuardedLogged(kFile, __LINE__, [&] {
    Sync();
    m_strText = text;
    int end = static_cast<int>(text.size());
    m_nSelStart = std::min(m_nSelStart, end);
    m_nSelEnd = std::min(m_nSelEnd, end);
    RYN_UI_PUSH();
  });
}

void Control::ResetContent() {
  GuardedLogged(kFile, __LINE__, [&] {
    m_items.clear();
    m_nCurSel = -1;
    RYN_UI_PUSH();
  });
}

void Control::AddItem(const std::string& label, const std::string& value) {
  GuardedLogged(kFile, __LINE__, [&] {
    m_items.emplace_back(label, value);
    RYN_UI_PUSH();
  });
}

std::string Control::GetItemValue(int index) const {
  return GuardedLogged(kFile, __LINE__, std::string(), [&] {
    return index >= 0 && index < GetItemCount() ? m_items[static_cast<size_t>(index)].second : std::string();
  });
}

std::string Control::GetItemLabel(int index) const {
  return index >= 0 && index < GetItemCount() ? m_items[static_cast<size_t>(index)].first : std::string();
}

int Control::GetCurSel() const {
  return GuardedLogged(kFile, __LINE__, -1, [&] {
    Sync();
    return m_nCurSel;
  });
}

void Control::SetCurSel(int index) {
  GuardedLogged(kFile, __LINE__, [&] {
    m_nCurSel = index >= 0 && index < GetItemCount() ? index : -1;
    RYN_UI_PUSH();
  });
}

void Control::Show(bool show) {
  GuardedLogged(kFile, __LINE__, [&] {
    m_bVisible = show;
    RYN_UI_PUSH();
  });
}

// Runs the page's kill-focus handlers.
void Control::Focus() {
  GuardedLogged(kFile, __LINE__, [&] { m_window.SetFocus(m_nId); });
}

void Control::GetSel(int& start, int& end) const {
  Sync();
  start = m_nSelStart;
  end = m_nSelEnd;
}

void Control::SetSel(int start, int end) {
  Sync();
  int size = static_cast<int>(m_strText.size());
  m_nSelStart = std::clamp(start, 0, size);
  m_nSelEnd = std::clamp(end, m_nSelStart, size);
  RYN_UI_PUSH();
}

void Control::ScrollCaret() { RYN_UI_PUSH(); }

void Control::SetImage(int resourceId) {
  m_nImage = resourceId;
  RYN_UI_PUSH();
}

int Control::GetRowCount() const {
  Sync();
  return static_cast<int>(m_rows.size());
}

void Control::SetRowCount(int rows) {
  m_rows.resize(static_cast<size_t>(std::max(rows, 0)));
  RYN_UI_PUSH();
}

std::string Control::GetCell(int row) const {
  Sync();
  return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(row)] : std::string();
}

void Control::SetCell(int row, const std::string& text) {
  if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
  m_rows[static_cast<size_t>(row)] = text;
  RYN_UI_PUSH();
}

void Control::DeleteRow(int row) {
  if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
  m_rows.erase(m_rows.begin() + row);
  RYN_UI_PUSH();
}

void Control::AutoSizeColumns() { RYN_UI_PUSH(); }

void Control::Store(const std::string& text, int selStart, int selEnd, int curSel) {
  m_strText = text;
  m_nSelStart = selStart;
  m_nSelEnd = selEnd;
  m_nCurSel = curSel;
}

#undef RYN_UI_PUSH

// ---- PageWindow

PageWindow::PageWindow(const Template& dialogTemplate)
    : m_template(dialogTemplate), m_strTitle(dialogTemplate.title) {
  for (const ControlSpec& spec : dialogTemplate.controls) m_controls.push_back(std::make_unique<Control>(*this, spec));
}

PageWindow::~PageWindow() = default;

Control* PageWindow::Find(int id) {
  if (id < 0) return nullptr;
  for (auto& control : m_controls)
    if (control->Id() == id) return control.get();
  return nullptr;
}

Control& PageWindow::Item(int id) {
  if (Control* control = Find(id)) return *control;
  MAssert_Soft(kFile, __LINE__, "Find(id)", "template %d has no control %d", m_template.id, id);
  if (!m_pStandIn) {
    m_pStandIn = std::make_unique<Control>(*this, ControlSpec{-1, Kind::Static, "", 0, 0, 0, 0});
    m_pStandIn->Show(false);
  }
  return *m_pStandIn;
}

void PageWindow::TranslateTexts(const char* domain) {
  GuardedLogged(kFile, __LINE__, [&] {
    for (auto& control : m_controls)
      if (control->GetKind() == Kind::Static && !control->GetText().empty())
        control->SetText(Translate(control->GetText().c_str(), 0, nullptr, domain));
    SetTitle(Translate(m_strTitle.c_str(), 0, nullptr, domain));
  });
}

void PageWindow::SetTitle(const std::string& title) {
  m_strTitle = title;
  if (m_backend) m_backend->SetTitle(title);
}

void PageWindow::SetFocus(int id) {
  if (id == m_nFocus) return;
  int previous = m_nFocus;
  m_nFocus = id;
  if (m_backend)
    if (Control* control = Find(id)) m_backend->Focus(*control);
  if (previous) Fire(previous, Event::KillFocus);
}

void PageWindow::TrackPopupMenu(const MenuItem& menu, int anchorId) {
  m_openMenu = menu;
  m_bMenuOpen = true;
  if (!m_backend) return;  // answered later by ChooseMenuEntry
  int command = m_backend->TrackPopupMenu(menu, Item(anchorId));
  m_bMenuOpen = false;
  if (command) FireCommand(command);
}

namespace {
const MenuItem* FindEntry(const MenuItem& menu, const std::string& key) {
  for (const MenuItem& item : menu.items) {
    if (item.command && (item.label == key || std::to_string(item.command) == key)) return &item;
    if (const MenuItem* found = FindEntry(item, key)) return found;
  }
  return nullptr;
}
}  // namespace

bool PageWindow::ChooseMenuEntry(const std::string& labelOrCommand) {
  if (!m_bMenuOpen) return false;
  const MenuItem* entry = FindEntry(m_openMenu, labelOrCommand);
  if (!entry) return false;
  int command = entry->command;
  m_bMenuOpen = false;
  FireCommand(command);
  return true;
}

void PageWindow::On(int id, Event event, Handler handler) { m_handlers[{id, event}].push_back(std::move(handler)); }

void PageWindow::OnCommandRange(int first, int last, std::function<void(int)> handler) {
  m_commandHandlers.emplace_back(first, last, std::move(handler));
}

void PageWindow::Fire(int id, Event event, int arg) {
  auto found = m_handlers.find({id, event});
  if (found == m_handlers.end()) return;
  // A handler may register others; run a copy.
  std::vector<Handler> handlers = found->second;
  for (Handler& handler : handlers) handler(id, arg);
}

void PageWindow::FireCommand(int command) {
  auto handlers = m_commandHandlers;
  for (auto& [first, last, handler] : handlers)
    if (command >= first && command <= last) handler(command);
}

PageWindow& WindowOf(const TrelmTabDialog& page) {
  if (auto* window = dynamic_cast<PageWindow*>(page.GetPageWindow())) return *window;
  MAssert_Soft(kFile, __LINE__, "page.GetPageWindow()", "page %d has no window", page.GetTemplateId());
  static const Template kNoControls{0, "", 0, 0, {}};
  static PageWindow none(kNoControls);
  return none;
}

std::unique_ptr<PageWindow> OpenPage(TrelmTabDialog& page) {
  const Template* dialogTemplate = FindTemplate(page.GetTemplateId());
  if (!dialogTemplate) return nullptr;
  auto window = std::make_unique<PageWindow>(*dialogTemplate);
  page.AttachWindow(window.get());
  return window;
}

}  // namespace ui
