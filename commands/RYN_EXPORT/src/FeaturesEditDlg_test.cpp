#include "PageTestFixture.h"
#include "Pages.h"
#include "Parameters.h"

using namespace ryn;

namespace {

class FeaturesPageTest : public PageTest {
 protected:
  ui::Control& Grid() { return Item(IDC_FEATURE_GRID); }
  std::string Rows() {
    std::string rows;
    for (const std::string& row : Grid().Rows()) rows += "[" + row + "]";
    return rows;
  }
  // The operator types into a cell and leaves it.
  void EditCell(int row, const std::string& text) {
    Grid().SetCell(row, text);
    window->Fire(IDC_FEATURE_GRID, ui::Event::EndEdit, row);
  }
  std::string InterfaceDir() const { return dir / "interface/"; }
  CFeaturesEditDlg page{&theExport};
};

TEST_F(FeaturesPageTest, QuotedListFillsTheGridWithRelativePaths) {
  Set("FEATURES", "\"" + InterfaceDir() + "a.fea\", \"sub/b.lst\", \"/elsewhere/c.fea\"");
  Open(page);
  EXPECT_TRUE(Grid().IsVisible());
  EXPECT_FALSE(Item(IDC_FEATURE_EDIT).IsVisible());
  EXPECT_EQ(Rows(), "[a.fea][sub/b.lst][/elsewhere/c.fea][]");
  EXPECT_FALSE(page.IsModified());
  EXPECT_EQ(window->GetTitle(), "Choose feature files for export");

  const ui::FileSettings& cells = Grid().GetFileSettings();
  EXPECT_EQ(cells.pathKind, 1);
  EXPECT_EQ(cells.filter, "Features (*.fea)|*.fea|Featurelist (*.lst)|*.lst|All Files (*.*)|*.*||");
  EXPECT_EQ(cells.startDirectory, dir.Native("interface/") + "*.fea;*.lst");
}

TEST_F(FeaturesPageTest, EditingKeepsOneEmptyRowAtTheEndAndApplyJoinsTheRows) {
  struct Case {
    const char* features;  // FEATURES before, "" for none
    int row;
    std::string text;
    const char* rows;
    const char* params;  // after applying
  } cases[] = {
      {"\"a\", \"b\"", 2, "c d", "[a][b][c d][]", "FEATURES=\"a\", \"b\", \"c d\""},
      {"\"a\", \"b\", \"c\"", 1, "", "[a][c][]", "FEATURES=\"a\", \"c\""},
      {"\"a\", \"b\"", 0, "", "[b][]", "FEATURES=\"b\""},
      {"\"a\"", 0, "  x.fea  ", "[x.fea][]", "FEATURES=\"x.fea\""},
      {"\"a\", \"b\"", 2, "   ", "[a][b][]", "FEATURES=\"a\", \"b\""},
      {"", 0, "x", "[x][]", "FEATURES=\"x\""},
      // All rows cleared: the export chooses its features itself.
      {"\"a\"", 0, "", "[]", ""},
      // Paths below the interface folder become relative, others stay.
      {"", 0, " " + InterfaceDir() + "parts/n.lst", "[parts/n.lst][]", "FEATURES=\"parts/n.lst\""},
      {"\"a\"", 1, "/other/m.fea", "[a][/other/m.fea][]", "FEATURES=\"a\", \"/other/m.fea\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.features) + " row " + std::to_string(c.row) + " " + c.text);
    FEATURES.Reset();
    if (*c.features) Set("FEATURES", c.features);
    Open(page);
    EditCell(c.row, c.text);
    EXPECT_EQ(Rows(), c.rows);
    EXPECT_TRUE(page.IsModified());
    ASSERT_EQ(page.OnApply(), 1) << Boxes();
    EXPECT_EQ(Params(), c.params);
  }
}

TEST_F(FeaturesPageTest, ExpressionIsEditedAsText) {
  OpenHost("[globals]\nrun.features = a.fea\n");
  Set("FEATURES", "run.features");
  Open(page);
  EXPECT_FALSE(Grid().IsVisible());
  EXPECT_TRUE(Item(IDC_FEATURE_EDIT).IsVisible());
  EXPECT_EQ(Item(IDC_FEATURE_EDIT).GetText(), "run.features");
  ASSERT_EQ(page.OnApply(), 1);
  EXPECT_EQ(Params(), "FEATURES=run.features") << "written back unchanged";

  Item(IDC_FEATURE_EDIT).SetText("\"x.fea\", \"y.fea\"");
  ASSERT_EQ(page.OnApply(), 1);
  EXPECT_EQ(FEATURES.GetSize(), 2);

  Item(IDC_FEATURE_EDIT).SetText("no.such.global");
  EXPECT_EQ(page.OnApply(), 0);
  EXPECT_EQ(Boxes(), "[message box] RYN EXPORT: Invalid value for FEATURES: no.such.global\n");
  EXPECT_EQ(FEATURES.GetSize(), 2) << "a refused text leaves FEATURES as it was";

  // Not mandatory: an empty edit at run time removes FEATURES.
  page.SetExecMode(0);
  Item(IDC_FEATURE_EDIT).SetText(" ");
  EXPECT_EQ(page.OnApply(), 1);
  EXPECT_FALSE(FEATURES.IsValueAvailable());
}

TEST_F(FeaturesPageTest, DestroyedWindowIsForgotten) {
  Open(page);
  page.DestroyWindow();
  page.OnEndEditCell(0);  // a late notification of the grid does nothing
  EXPECT_FALSE(page.IsModified());
}

}  // namespace
