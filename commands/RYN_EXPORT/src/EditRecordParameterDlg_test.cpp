#include "PageTestFixture.h"
#include "Pages.h"
#include "Parameters.h"

namespace {

class RecordPageTest : public PageTest {
 protected:
  CEditRecordParameterDlg page{&theExport, ryn::g_Args, nullptr};
};

constexpr int kFields = CEditRecordParameterGeneric::kFieldCount;

// The labels come translated from the message catalogue; the first one shows that they do.
const char* const kFieldNames[kFields] = {"TITLE_1",   "TITLE_2",    "TITLE_3",   "REVISION", "OPERATOR",
                                          "PART_NAME", "DRAWING_NO", "OPERATION", "COMMENT",  "TEXT_1",
                                          "TEXT_2",    "TEXT_3",     "TEXT_4",    "TEXT_5"};

// Each edit gets its field's name typed: a literal, but for the one that
// names a host global, which stays an expression.
TEST_F(RecordPageTest, FourteenFieldsLoadedAndWrittenBackButTheHiddenRevision) {
  OpenHost("[globals]\nOPERATOR = mkeller\n");
  for (int i = 0; i < kFields; ++i) Set(kFieldNames[i], "\"v" + std::to_string(i) + "\"");
  Open(page);
  EXPECT_EQ(window->GetTitle(), "Header data");
  EXPECT_FALSE(page.IsModified());
  EXPECT_EQ(Item(CEditRecordParameterGeneric::kFirstLabelId).GetText(), "Title 1");
  for (int i = 0; i < kFields; ++i) {
    SCOPED_TRACE(kFieldNames[i]);
    ui::Control& edit = Item(CEditRecordParameterGeneric::kFirstEditId + i);
    const bool revision = std::string(kFieldNames[i]) == "REVISION";
    EXPECT_EQ(edit.IsVisible(), !revision);
    EXPECT_EQ(Item(CEditRecordParameterGeneric::kFirstLabelId + i).IsVisible(), !revision);
    EXPECT_EQ(edit.GetText(), "\"v" + std::to_string(i) + "\"");
    edit.SetText(kFieldNames[i]);
  }
  Item(CEditRecordParameterGeneric::kFirstEditId + 8).SetText("  ");  // COMMENT emptied
  ASSERT_EQ(page.OnApply(), 1) << Boxes();
  for (int i = 0; i < kFields; ++i) {
    SCOPED_TRACE(kFieldNames[i]);
    CNamedObject* field = theExport.FindArg(kFieldNames[i]);
    ASSERT_NE(field, nullptr);
    const std::string name = kFieldNames[i];
    if (name == "REVISION") {
      EXPECT_EQ(field->GetString(), "\"v3\"") << "a hidden field keeps its value";
    } else if (name == "COMMENT") {
      EXPECT_FALSE(field->IsValueAvailable());
    } else if (name == "OPERATOR") {
      EXPECT_EQ(field->GetString(), name);
      EXPECT_EQ(static_cast<CNamedString*>(field)->GetText(), "mkeller");
    } else {
      EXPECT_EQ(field->GetString(), "\"" + name + "\"");
      EXPECT_EQ(static_cast<CNamedString*>(field)->GetText(), name);
    }
  }
}

}  // namespace
