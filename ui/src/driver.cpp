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

namespace {

// What a verb acts on: the page itself, or a shown control named "ID"
// (or "ID=VALUE").
enum class Reach { Page, Control, ControlAndValue };

// One action on the current page of a script, and the refusal it may give.
struct Act {
  std::string verb;
  std::vector<PageWindow*>& windows;
  size_t& current;
  TrelmPageScript& script;
  PageWindow& window;
  // The control a Control verb acts on, its id and the value after "=".
  Control* control = nullptr;
  int id = 0;
  std::string value;

  const char* Refuse(std::string text) {
    script.error = std::move(text);
    return script.error.c_str();
  }
  const char* NotA(const char* kind) { return Refuse("control " + std::to_string(id) + " is not " + kind); }
  // Finds the control the argument names, when the operator can reach it;
  // false once refused (the refusal is then script.error).
  bool FindTarget(const std::string& argument, bool needValue) {
    if (!SplitTarget(argument, id, value, needValue)) {
      Refuse(verb + " expects ID" + (needValue ? "=VALUE" : ""));
      return false;
    }
    control = window.Find(id);
    if (!control) {
      Refuse("page " + std::to_string(window.GetTemplate().id) + " has no control " + std::to_string(id));
      return false;
    }
    // The operator cannot reach what the page does not show.
    if (!control->IsVisible()) {
      Refuse("control " + std::to_string(id) + " is hidden");
      return false;
    }
    return true;
  }
};

const char* Show(Act& a, const std::string&) {
  a.script.output += Describe(a.window);
  return nullptr;
}

const char* GoToPage(Act& a, const std::string& argument) {
  int id = 0;
  if (!ParseInt(argument, id)) return a.Refuse("page expects a template id");
  for (size_t i = 0; i < a.windows.size(); ++i)
    if (a.windows[i]->GetTemplate().id == id) return a.current = i, nullptr;
  return a.Refuse("no page on template " + argument);
}

const char* ChooseMenuEntry(Act& a, const std::string& argument) {
  if (!a.window.OpenMenu()) return a.Refuse("no pop-up menu is open");
  return a.window.ChooseMenuEntry(argument) ? nullptr : a.Refuse("the pop-up menu has no entry " + Quote(argument));
}

const char* Focus(Act& a, const std::string&) {
  a.window.SetFocus(a.id);
  return nullptr;
}

const char* Click(Act& a, const std::string&) {
  if (a.control->GetKind() != Kind::ImageButton) return a.NotA("a button");
  a.window.SetFocus(a.id);
  a.window.Fire(a.id, Event::Clicked);
  return nullptr;
}

const char* Type(Act& a, const std::string&) {
  Control* c = a.control;
  if (c->IsCombo() || c->GetKind() == Kind::Grid) return a.NotA("an edit");
  a.window.SetFocus(a.id);
  c->SetText(a.value);
  c->SetSel(static_cast<int>(a.value.size()), static_cast<int>(a.value.size()));
  a.window.SetFocus(0);  // leaving the edit
  return nullptr;
}

const char* Caret(Act& a, const std::string&) {
  size_t comma = a.value.find(',');
  int start = 0, end = 0;
  if (!ParseInt(a.value.substr(0, comma), start) ||
      (comma != std::string::npos ? !ParseInt(a.value.substr(comma + 1), end) : (end = start, false)))
    return a.Refuse("caret expects ID=POS or ID=START,END");
  a.window.SetFocus(a.id);
  a.control->SetSel(start, end);
  return nullptr;
}

const char* Select(Act& a, const std::string&) {
  Control* c = a.control;
  if (!c->IsCombo()) return a.NotA("a combo");
  int selection = -1;
  for (int i = 0; i < c->GetItemCount() && selection < 0; ++i)
    if (c->GetItemValue(i) == a.value || c->GetItemLabel(i) == a.value) selection = i;
  if (selection < 0 && a.value != "-")
    return a.Refuse("combo " + std::to_string(a.id) + " has no entry " + Quote(a.value));
  a.window.SetFocus(a.id);
  c->SetCurSel(selection);
  a.window.Fire(a.id, Event::SelChange);
  return nullptr;
}

// row:ID:ROW=TEXT
const char* EditRow(Act& a, const std::string& argument) {
  size_t second = argument.find(':');
  int row = 0;
  std::string rest;
  if (second == std::string::npos || !ParseInt(argument.substr(0, second), a.id) ||
      !SplitTarget(argument.substr(second + 1), row, rest, true))
    return a.Refuse("row expects ID:ROW=TEXT");
  Control* c = a.window.Find(a.id);
  if (!c || c->GetKind() != Kind::Grid) return a.NotA("a grid");
  if (!c->IsVisible()) return a.Refuse("control " + std::to_string(a.id) + " is hidden");
  if (row < 0 || row >= c->GetRowCount())
    return a.Refuse("grid " + std::to_string(a.id) + " has no row " + std::to_string(row));
  c->SetCell(row, rest);
  a.window.Fire(a.id, Event::EndEdit, row);
  return nullptr;
}

const struct {
  const char* verb;
  Reach reach;
  const char* (*run)(Act&, const std::string& argument);
} kVerbs[] = {
    {"show", Reach::Page, Show},
    {"page", Reach::Page, GoToPage},
    {"menu", Reach::Page, ChooseMenuEntry},
    {"row", Reach::Page, EditRow},
    {"focus", Reach::Control, Focus},
    {"click", Reach::Control, Click},
    {"type", Reach::ControlAndValue, Type},
    {"caret", Reach::ControlAndValue, Caret},
    {"select", Reach::ControlAndValue, Select},
};

}  // namespace

const char* RunAction(const std::string& action, std::vector<PageWindow*>& windows, size_t& current,
                      TrelmPageScript& script) {
  size_t colon = action.find(':');
  std::string verb = action.substr(0, colon);
  std::string argument = colon == std::string::npos ? std::string() : action.substr(colon + 1);
  if (windows.empty()) {
    script.error = "no page to act on";
    return script.error.c_str();
  }
  Act act{verb, windows, current, script, *windows[current], nullptr, 0, {}};
  for (const auto& entry : kVerbs) {
    if (verb != entry.verb) continue;
    if (entry.reach != Reach::Page && !act.FindTarget(argument, entry.reach == Reach::ControlAndValue))
      return script.error.c_str();
    return entry.run(act, argument);
  }
  return act.Refuse("unknown action '" + action + "'");
}

}  // namespace ui
