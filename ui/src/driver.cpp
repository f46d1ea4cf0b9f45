// Actions that drive pages without a screen, as an operator would: type,
// choose, click, answer a pop-up menu, edit a grid row.
#include <cstdlib>

#include "ui/kit.h"

namespace ui {
namespace {

bool ParseInt(const std::string& text, int& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  long number = std::strtol(text.c_str(), &end, 10);
  if (*end) return false;
  value = static_cast<int>(number);
  return true;
}

// "ID=REST" into its parts; false when the id is not a number.
bool SplitTarget(const std::string& argument, int& id, std::string& rest, bool needValue) {
  size_t eq = argument.find('=');
  if (needValue && eq == std::string::npos) return false;
  rest = eq == std::string::npos ? std::string() : argument.substr(eq + 1);
  return ParseInt(argument.substr(0, eq), id);
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string Describe(const PageWindow& window) {
  std::string out = "page " + std::to_string(window.GetTemplate().id) + " " + Quote(window.GetTitle()) + "\n";
  for (const auto& control : window.Controls()) {
    if (control->Id() < 0) continue;
    out += std::to_string(control->Id()) + " " + KindName(control->GetKind()) + " " +
           (control->IsVisible() ? "shown" : "hidden");
    if (control->GetKind() == Kind::Grid) {
      for (const std::string& row : control->Rows()) out += " " + Quote(row);
    } else if (control->IsCombo()) {
      out += " " + Quote(control->GetText());
      int selection = control->GetCurSel();
      if (selection >= 0) out += " = " + control->GetItemValue(selection);
    } else if (control->GetKind() != Kind::ImageButton) {
      out += " " + Quote(control->GetText());
    }
    if (control->GetKind() == Kind::FileEdit) {
      const FileSettings& file = control->GetFileSettings();
      out += " browse " + std::to_string(file.pathKind) + " " + Quote(file.extension) + " " + Quote(file.filter);
    }
    out += "\n";
  }
  return out;
}

const char* RunAction(const std::string& action, std::vector<PageWindow*>& windows, size_t& current,
                      TrelmPageScript& script) {
  auto refuse = [&](std::string text) {
    script.error = std::move(text);
    return script.error.c_str();
  };
  size_t colon = action.find(':');
  std::string verb = action.substr(0, colon);
  std::string argument = colon == std::string::npos ? std::string() : action.substr(colon + 1);
  if (windows.empty()) return refuse("no page to act on");
  PageWindow& window = *windows[current];
  auto control = [&](int id) -> Control* { return window.Find(id); };
  int id = 0;
  std::string value;

  if (verb == "show") {
    script.output += Describe(window);
    return nullptr;
  }
  if (verb == "page") {
    if (!ParseInt(argument, id)) return refuse("page expects a template id");
    for (size_t i = 0; i < windows.size(); ++i)
      if (windows[i]->GetTemplate().id == id) return current = i, nullptr;
    return refuse("no page on template " + argument);
  }
  if (verb == "menu") {
    if (!window.OpenMenu()) return refuse("no pop-up menu is open");
    return window.ChooseMenuEntry(argument) ? nullptr : refuse("the pop-up menu has no entry " + Quote(argument));
  }
  if (verb == "type" || verb == "select" || verb == "caret" || verb == "click" || verb == "focus") {
    if (!SplitTarget(argument, id, value, verb == "type" || verb == "select" || verb == "caret"))
      return refuse(verb + " expects ID" + (verb == "click" || verb == "focus" ? "" : "=VALUE"));
    Control* c = control(id);
    if (!c) return refuse("page " + std::to_string(window.GetTemplate().id) + " has no control " + std::to_string(id));
    // The operator cannot reach what the page does not show.
    if (!c->IsVisible()) return refuse("control " + std::to_string(id) + " is hidden");
    if (verb == "focus") return window.SetFocus(id), nullptr;
    if (verb == "click") {
      if (c->GetKind() != Kind::ImageButton) return refuse("control " + std::to_string(id) + " is not a button");
      window.SetFocus(id);
      window.Fire(id, Event::Clicked);
      return nullptr;
    }
    if (verb == "type") {
      if (c->IsCombo() || c->GetKind() == Kind::Grid)
        return refuse("control " + std::to_string(id) + " is not an edit");
      window.SetFocus(id);
      c->SetText(value);
      c->SetSel(static_cast<int>(value.size()), static_cast<int>(value.size()));
      window.SetFocus(0);  // leaving the edit
      return nullptr;
    }
    if (verb == "caret") {
      size_t comma = value.find(',');
      int start = 0, end = 0;
      if (!ParseInt(value.substr(0, comma), start) ||
          (comma != std::string::npos ? !ParseInt(value.substr(comma + 1), end) : (end = start, false)))
        return refuse("caret expects ID=POS or ID=START,END");
      window.SetFocus(id);
      c->SetSel(start, end);
      return nullptr;
    }
    // select
    if (!c->IsCombo()) return refuse("control " + std::to_string(id) + " is not a combo");
    int selection = -1;
    for (int i = 0; i < c->GetItemCount() && selection < 0; ++i)
      if (c->GetItemValue(i) == value || c->GetItemLabel(i) == value) selection = i;
    if (selection < 0 && value != "-") return refuse("combo " + std::to_string(id) + " has no entry " + Quote(value));
    window.SetFocus(id);
    c->SetCurSel(selection);
    window.Fire(id, Event::SelChange);
    return nullptr;
  }
  if (verb == "row") {
    // row:ID:ROW=TEXT
    size_t second = argument.find(':');
    int row = 0;
    std::string rest;
    if (second == std::string::npos || !ParseInt(argument.substr(0, second), id) ||
        !SplitTarget(argument.substr(second + 1), row, rest, true))
      return refuse("row expects ID:ROW=TEXT");
    Control* c = control(id);
    if (!c || c->GetKind() != Kind::Grid) return refuse("control " + std::to_string(id) + " is not a grid");
    if (!c->IsVisible()) return refuse("control " + std::to_string(id) + " is hidden");
    if (row < 0 || row >= c->GetRowCount())
      return refuse("grid " + std::to_string(id) + " has no row " + std::to_string(row));
    c->SetCell(row, rest);
    window.Fire(id, Event::EndEdit, row);
    return nullptr;
  }
  return refuse("unknown action '" + action + "'");
}

}  // namespace ui
