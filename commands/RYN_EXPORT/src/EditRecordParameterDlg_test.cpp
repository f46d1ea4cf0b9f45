#include "PageTestFixture.h"
#include "Pages.h"
#include "Parameters.h"

namespace {

class RecordPageTest : public PageTest {
 protected:
  CEditRecordParameterDlg page{&theExport, ryn::g_Args, nullptr};
};

constexpr int kFields = CEditRecordParameterGeneric::kFieldCount;

struct Field {
  const char* name;
  const char* label;
};
const Field kFieldTable[kFields] = {
    {"TITLE_1", "Title 1"},
    {"TITLE_2", "Title 2"},
    {"TITLE_3", "Title 3"},
    {"REVISION", "Revision"},
    {"OPERATOR", "Operator"},
    {"PART_NAME", "Part name"},
    {"DRAWING_NO", "Drawing number"},
    {"OPERATION", "Operation"},
    {"COMMENT", "Comment"},
    {"TEXT_1", "Text 1"},
    {"TEXT_2", "Text 2"},
    {"TEXT_3", "Text 3"},
    {"TEXT_4", "Text 4"},
    {"TEXT_5", "Text 5"},
};

TEST_F(RecordPageTest, FourteenFieldsLoadedLabelledAndRevisionHidden) {
  for (int i = 0; i < kFields; ++i) Set(kFieldTable[i].name, "\"v" + std::to_string(i) + "\"");
  Open(page);
  EXPECT_EQ(window->GetTitle(), "Header data");
  EXPECT_FALSE(page.IsModified());
  EXPECT_EQ(page.GetTrelmObject(), &theExport);
  for (int i = 0; i < kFields; ++i) {
    SCOPED_TRACE(kFieldTable[i].name);
    ui::Control& edit = Item(CEditRecordParameterGeneric::kFirstEditId + i);
    ui::Control& label = Item(CEditRecordParameterGeneric::kFirstLabelId + i);
    const bool revision = std::string(kFieldTable[i].name) == "REVISION";
    EXPECT_EQ(edit.IsVisible(), !revision);
    EXPECT_EQ(label.IsVisible(), !revision);
    if (!revision) {
      EXPECT_EQ(label.GetText(), kFieldTable[i].label);
    }
    EXPECT_EQ(edit.GetText(), "\"v" + std::to_string(i) + "\"");
  }
}

TEST_F(RecordPageTest, ApplyWritesEveryShownFieldBack) {
  Set("REVISION", "\"B\"");
  Set("COMMENT", "\"old\"");
  Open(page);
  for (int i = 0; i < kFields; ++i) Item(CEditRecordParameterGeneric::kFirstEditId + i).SetText(kFieldTable[i].name);
  Item(CEditRecordParameterGeneric::kFirstEditId + 8).SetText("  ");  // COMMENT emptied
  ASSERT_EQ(page.OnApply(), 1) << Boxes();
  for (int i = 0; i < kFields; ++i) {
    SCOPED_TRACE(kFieldTable[i].name);
    CNamedObject* field = theExport.FindArg(kFieldTable[i].name);
    ASSERT_NE(field, nullptr);
    const std::string name = kFieldTable[i].name;
    if (name == "REVISION") {
      EXPECT_EQ(field->GetString(), "\"B\"") << "a hidden field keeps its value";
    } else if (name == "COMMENT") {
      EXPECT_FALSE(field->IsValueAvailable());
    } else {
      EXPECT_EQ(field->GetString(), "\"" + name + "\"");
      EXPECT_EQ(static_cast<CNamedString*>(field)->GetText(), name);
    }
  }
}

TEST_F(RecordPageTest, AGlobalNameStaysAnExpression) {
  OpenHost("[globals]\nryn.draw.title_1 = Housing\n");
  Open(page, 0);
  Item(CEditRecordParameterGeneric::kFirstEditId).SetText("ryn.draw.title_1");
  ASSERT_EQ(page.OnApply(), 1);
  CNamedObject* title = theExport.FindArg("TITLE_1");
  EXPECT_EQ(title->GetString(), "ryn.draw.title_1");
  EXPECT_EQ(static_cast<CNamedString*>(title)->GetText(), "Housing");
}

}  // namespace
