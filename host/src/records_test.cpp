#include "norvia/records.h"

#include <gtest/gtest.h>

#include "norvia/env.h"
#include "norvia/named.h"
#include "testing/temp_dir.h"

namespace {

class StoreTest : public ::testing::Test {
 protected:
  void Open() {
    dir.Write("host.ini", "[trace]\nlevel = 0\n");
    ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
  }
  ryntest::TempDir dir;
};

TEST_F(StoreTest, FeatureDefaultsComeFromThePath) {
  dir.Write("store/parts/bore.fea", "actual = 12.5031\nunit = 1\nmeasured = 2024-03-07 14:05:09\n");
  Open();
  CRecords byName("parts/bore.fea", 0, 1);
  ASSERT_EQ(byName.size(), 1);
  MCFeature* f = byName.GetFeature(0);
  ASSERT_NE(f, nullptr);
  EXPECT_STREQ(f->GetKey(), "./parts/bore.fea");
  EXPECT_EQ(f->Name(), "bore");
  EXPECT_EQ(f->GetShortKey(false), "bore");
  EXPECT_EQ(f->GetShortKey(true), "bore.fea");
  EXPECT_DOUBLE_EQ(f->GetAktualValue(), 12.5031);
  EXPECT_TRUE(f->IsValid());
  EXPECT_TRUE(f->getExportFlag());
  MCDateTime t;
  EXPECT_TRUE(f->GetMeasuringDateTime(t));
  EXPECT_FALSE(f->GetEvaluationDateTime(t));
  EXPECT_EQ(byName.GetFeatureList(0), nullptr);
  EXPECT_EQ(byName.GetDatabaseElement(1), nullptr);
}

TEST_F(StoreTest, NamedReadAcceptsKeyOrPathWithEitherSlash) {
  dir.Write("store/parts/bore.fea", "key = K:/x/bore.fea\n");
  Open();
  for (const char* name : {"K:/x/bore.fea", "K:\\x\\bore.fea", "parts/bore.fea", "parts\\bore.fea"})
    EXPECT_EQ(CRecords(name, 0, 1).size(), 1) << name;
  EXPECT_EQ(CRecords("bore.fea", 0, 1).size(), 0);
  EXPECT_EQ(CRecords("", 0, 1).size(), 0);
}

TEST_F(StoreTest, FilterYieldsBothKindsInPathByteOrder) {
  dir.Write("store/b.fea", "");
  dir.Write("store/A.lst", "[item]\nname = D1\n[item]\nname = D2\nactual = 2\n");
  dir.Write("store/a/z.fea", "");
  dir.Write("store/notes.txt", "ignored");
  Open();
  CNamedStringArray filter("FEATURE_FILTER", 0, 0, CNamedObject::kOptional);
  filter.SetItems({"*:*.fea", "*:*.lst"});
  CRecords all(filter, 4, nullptr, 0, 1);
  ASSERT_EQ(all.size(), 3);
  EXPECT_STREQ(all.GetDatabaseElement(0)->GetKey(), "./A.lst");
  EXPECT_STREQ(all.GetDatabaseElement(1)->GetKey(), "./a/z.fea");
  EXPECT_STREQ(all.GetDatabaseElement(2)->GetKey(), "./b.fea");
  MCFeatureList* list = all.GetFeatureList(0);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->IsKindOf("MCFeatureList"));
  EXPECT_FALSE(list->IsKindOf("MCFeature"));
  ASSERT_EQ(list->GetNumItems(), 2);
  EXPECT_EQ(list->GetFirst()->Name(), "D1");
  EXPECT_DOUBLE_EQ(list->GetNext()->GetAktualValue(), 2);
  EXPECT_EQ(list->GetNext(), nullptr);
  MCFeature first;  // the parser appends; an index inserts
  first.SetName("first", 0, 0, 0);
  list->EnterItem(first, 0);
  EXPECT_EQ(list->GetFirst()->Name(), "first");
  EXPECT_EQ(list->GetNext()->Name(), "D1");
}

TEST(RecordParsing, ErrorsNameFileAndLine) {
  struct Case {
    const char* text;
    bool list;
    const char* error;
  } cases[] = {
      {"actual = 1\nbogus = 2\n", false, "f:2: unknown key 'bogus'"},
      {"valid = yes\n", false, "f:1: expected 0 or 1"},
      {"unit = 1.5\n", false, "f:1: expected an integer"},
      {"measured = 2024-03-07\n", false, "f:1: expected YYYY-MM-DD hh:mm:ss"},
      {"[item]\n", false, "f:1: unexpected section [item] in a feature record"},
      {"actual = 1\n", true, "f:1: unknown key 'actual' before the first [item]"},
      {"[items]\n", true, "f:1: unknown section [items] (expected [item])"},
      {"no equals\n", true, "f:1: expected 'key = value'"},
  };
  for (const Case& c : cases) {
    MCFeature f;
    MCFeatureList l;
    const char* message =
        c.list ? norvia::ParseFeatureListRecord(c.text, "f", l) : norvia::ParseFeatureRecord(c.text, "f", f);
    EXPECT_STREQ(message, c.error) << c.text;
  }
}

}  // namespace
