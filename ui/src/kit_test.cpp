#include "ui/kit.h"

#include <gtest/gtest.h>

#include "norvia/diag.h"

namespace {

// Templates of the test's own, as a command registers its pages': edits, combos, buttons, a grid.
const ui::Template& Registered(const ui::Template& t) {
  ui::RegisterTemplate(t);
  return *ui::FindTemplate(t.id);
}
const ui::Template kPage{1, "kit", 200, 100, {{1004, ui::Kind::FileEdit, "", 0, 0, 9, 9},
    {1006, ui::Kind::Combo, "", 0, 9, 9, 9}, {1007, ui::Kind::Combo, "", 0, 18, 9, 9},
    {1036, ui::Kind::Edit, "", 0, 27, 9, 9}, {1040, ui::Kind::ImageButton, "...", 9, 27, 9, 9}}};
const ui::Template kGridPage{2, "grid", 200, 100, {{1007, ui::Kind::Grid, "", 0, 0, 99, 99}}};

// A page window with no page behind it: the kit alone.
class KitTest : public ::testing::Test {
 protected:
  KitTest() : window(Registered(kPage)) {}
  std::string Act(const std::string& action) {
    std::vector<ui::PageWindow*> windows{&window};
    size_t current = 0;
    const char* refused = ui::RunAction(action, windows, current, script);
    return refused ? refused : "";
  }
  ui::PageWindow window;
  TrelmPageScript script;
};

// The controls each page uses are pinned by the page tests, which address them
// by id; here only what the kit does with a template and a missing control.
TEST_F(KitTest, TemplatesAndMissingControls) {
  EXPECT_EQ(ui::FindTemplate(101), nullptr);
  EXPECT_EQ(window.Find(-1), nullptr) << "unnamed statics cannot be addressed";
  // A control the code takes for granted and the template lacks: logged, and
  // the page goes on with a stand-in that is no control of the window.
  norvia::ClearLogs();
  ui::Control& missing = window.Item(4711);
  EXPECT_NE(norvia::ErrorLogText().find("Assertion failed"), std::string::npos);
  EXPECT_EQ(window.Find(missing.Id()), nullptr);
  EXPECT_FALSE(missing.IsVisible());
}

TEST_F(KitTest, SelectionsStayInsideTheText) {
  ui::Control& edit = window.Item(1036);
  edit.SetText("abcdef");
  struct Case {
    int start, end, wantStart, wantEnd;
  } cases[] = {{2, 4, 2, 4}, {4, 2, 4, 4}, {-3, 99, 0, 6}, {9, 9, 6, 6}};
  for (const Case& c : cases) {
    edit.SetSel(c.start, c.end);
    int start = -1, end = -1;
    edit.GetSel(start, end);
    EXPECT_EQ(start, c.wantStart) << c.start << "," << c.end;
    EXPECT_EQ(end, c.wantEnd) << c.start << "," << c.end;
  }
  edit.SetSel(5, 6);
  edit.SetText("ab");
  int start = -1, end = -1;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 2) << "a shorter text pulls the selection in";
  EXPECT_EQ(end, 2);
}

TEST_F(KitTest, LeavingAControlFiresItsKillFocusOnce) {
  std::vector<int> left;
  window.On(1004, ui::Event::KillFocus, [&](int id, int) { left.push_back(id); });
  window.SetFocus(1004);
  window.SetFocus(1004);
  EXPECT_TRUE(left.empty());
  window.SetFocus(1006);
  window.SetFocus(0);
  EXPECT_EQ(left, std::vector<int>{1004});
}

TEST_F(KitTest, MenusAnswerByLabelOrCommandInSubMenus) {
  std::vector<int> commands;
  window.OnCommandRange(100, 200, [&](int command) { commands.push_back(command); });
  ui::MenuItem menu{0, "", {{0, "sub", {{101, "first", {}}, {102, "second", {}}}}, {150, "top", {}}, {300, "far", {}}}};
  EXPECT_FALSE(window.ChooseMenuEntry("first")) << "no menu open";
  window.TrackPopupMenu(menu, 1040);
  EXPECT_FALSE(window.ChooseMenuEntry("sub")) << "a sub-menu is no entry";
  EXPECT_TRUE(window.ChooseMenuEntry("second"));
  EXPECT_EQ(window.OpenMenu(), nullptr);
  window.TrackPopupMenu(menu, 1040);
  EXPECT_TRUE(window.ChooseMenuEntry("300"));
  EXPECT_EQ(commands, (std::vector<int>{102})) << "300 is outside the handler's range";
}

TEST_F(KitTest, ActionsRefuseWhatTheOperatorCouldNotDo) {
  window.Item(1006).AddItem("CSV", "RYN_CSV_APPEND");
  window.Item(1036).Show(false);
  window.Item(1040).Show(false);
  struct Case {
    const char* action;
    const char* error;
  } cases[] = {
      {"type:1006=x", "control 1006 is not an edit"},
      {"type:1004", "type expects ID=VALUE"},
      {"type:abc=x", "type expects ID=VALUE"},
      {"select:1004=x", "control 1004 is not a combo"},
      {"select:1006=RYN_ASCII_APPEND", "combo 1006 has no entry \"RYN_ASCII_APPEND\""},
      {"click:1004", "control 1004 is not a button"},
      {"click:5", "page 1 has no control 5"},
      {"caret:1004=a", "caret expects ID=POS or ID=START,END"},
      {"menu:Date", "no pop-up menu is open"},
      {"row:1007=x", "row expects ID:ROW=TEXT"},
      {"row:1007:0=x", "control 1007 is not a grid"},
      {"page:2", "no page on template 2"},
      {"page:x", "page expects a template id"},
      {"typo", "unknown action 'typo'"},
      {"select:CSV", "select expects ID=VALUE"},
      {"type:1036=;", "control 1036 is hidden"},
      {"caret:1036=0", "control 1036 is hidden"},
      {"focus:1036", "control 1036 is hidden"},
      {"click:1040", "control 1040 is hidden"},
  };
  for (const Case& c : cases) EXPECT_EQ(Act(c.action), c.error) << c.action;
}

TEST_F(KitTest, ActionsPlayTheOperator) {
  window.Item(1006).AddItem("CSV export", "RYN_CSV_APPEND");
  int changes = 0;
  window.On(1006, ui::Event::SelChange, [&](int, int) { ++changes; });
  EXPECT_EQ(Act("select:1006=CSV export"), "");
  EXPECT_EQ(window.Item(1006).GetCurSel(), 0);
  EXPECT_EQ(Act("select:1006=-"), "");
  EXPECT_EQ(window.Item(1006).GetCurSel(), -1);
  EXPECT_EQ(changes, 2);

  EXPECT_EQ(Act("type:1004=\"a=b.txt\""), "");
  EXPECT_EQ(window.Item(1004).GetText(), "\"a=b.txt\"") << "only the first = separates";
  EXPECT_EQ(window.GetFocus(), 0) << "typing ends by leaving the edit";
  EXPECT_EQ(Act("caret:1004=2,4"), "");
  int start = 0, end = 0;
  window.Item(1004).GetSel(start, end);
  EXPECT_EQ(std::make_pair(start, end), std::make_pair(2, 4));
  EXPECT_EQ(window.GetFocus(), 1004);

  ui::PageWindow features(Registered(kGridPage));
  std::vector<ui::PageWindow*> windows{&window, &features};
  size_t current = 0;
  EXPECT_EQ(ui::RunAction("page:2", windows, current, script), nullptr);
  EXPECT_EQ(ui::RunAction("row:1007:0=a.fea", windows, current, script), nullptr);  // a grid starts with one empty row
  EXPECT_STREQ(ui::RunAction("row:1007:1=b.fea", windows, current, script), "grid 1007 has no row 1");
  EXPECT_EQ(ui::RunAction("show", windows, current, script), nullptr);
  const std::string& out = script.output;
  EXPECT_EQ(out.substr(0, out.find('\n', out.find('\n') + 1)),
            "page 2 \"grid\"\n1007 grid shown \"a.fea\"");
}

}  // namespace
