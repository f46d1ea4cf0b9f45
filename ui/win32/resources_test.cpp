// The resource templates that the Win32 dialogs are made from must hold the
// controls of the kit's templates: same ids in the same order, same kinds,
// places and texts. The back end maps controls by that order.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/screen.h"

namespace {

struct ResourceControl {
  int id;
  std::string windowClass;
  DWORD style;
  std::string text;
  int x, y, width, height;
};

struct ResourceDialog {
  DWORD style;
  std::string title;
  int width, height;
  std::vector<ResourceControl> controls;
};

// Reads a DIALOGEX resource: a header, then one DWORD-aligned item per control.
class Reader {
 public:
  explicit Reader(const BYTE* data) : m_p(data), m_begin(data) {}
  WORD Word() { return Take<WORD>(); }
  DWORD Dword() { return Take<DWORD>(); }
  short Short() { return Take<short>(); }
  // A name or ordinal: 0 for none, 0xFFFF and a number, or a wide string.
  std::string NameOrOrdinal(const char* const* ordinals = nullptr) {
    WORD first = Word();
    if (first == 0) return std::string();
    if (first == 0xFFFF) {
      WORD ordinal = Word();
      if (ordinals && ordinal >= 0x80 && ordinal <= 0x85) return ordinals[ordinal - 0x80];
      return "#" + std::to_string(ordinal);
    }
    std::string text(1, static_cast<char>(first));
    for (WORD c = Word(); c; c = Word()) text += static_cast<char>(c);
    return text;
  }
  // Class names are case-insensitive (the resource compiler upper-cases them).
  std::string ClassName(const char* const* ordinals) {
    std::string name = NameOrOrdinal(ordinals);
    for (char& c : name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return name;
  }
  void Align() {
    while ((m_p - m_begin) % 4) ++m_p;
  }
  void Skip(size_t bytes) { m_p += bytes; }

 private:
  template <typename T>
  T Take() {
    T value;
    memcpy(&value, m_p, sizeof value);
    m_p += sizeof value;
    return value;
  }
  const BYTE* m_p;
  const BYTE* m_begin;
};

bool LoadDialog(int id, ResourceDialog& dialog) {
  HRSRC found = FindResourceA(ui::ResourceModule(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  if (!found) return false;
  const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(ui::ResourceModule(), found)));
  Reader r(data);
  if (r.Word() != 1 || r.Word() != 0xFFFF) return false;  // not DIALOGEX
  r.Skip(8);                                              // help id, extended style
  dialog.style = r.Dword();
  const WORD count = r.Word();
  r.Skip(4);  // x, y
  dialog.width = r.Short();
  dialog.height = r.Short();
  r.NameOrOrdinal();  // menu
  r.NameOrOrdinal();  // class
  dialog.title = r.NameOrOrdinal();
  if (dialog.style & DS_SETFONT) {
    r.Skip(6);  // point size, weight, italic, character set
    r.NameOrOrdinal();
  }
  static const char* const classes[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
  for (WORD i = 0; i < count; ++i) {
    r.Align();
    ResourceControl c{};
    r.Skip(8);  // help id, extended style
    c.style = r.Dword();
    c.x = r.Short();
    c.y = r.Short();
    c.width = r.Short();
    c.height = r.Short();
    c.id = static_cast<int>(r.Dword());
    c.windowClass = r.ClassName(classes);
    c.text = r.NameOrOrdinal();
    r.Skip(r.Word());
    dialog.controls.push_back(c);
  }
  return true;
}

// The kind of control that a template entry makes on the screen.
ui::Kind KindOf(const ResourceControl& c, bool fileEdit) {
  if (c.windowClass == "COMBOBOX") return ui::Kind::Combo;
  if (c.windowClass == "SYSLISTVIEW32") return ui::Kind::Grid;
  if (c.windowClass == "EDIT") return fileEdit ? ui::Kind::FileEdit : ui::Kind::Edit;
  if (c.windowClass == "STATIC") return (c.style & 0x1F) == SS_ICON ? ui::Kind::Icon : ui::Kind::Static;
  if (c.windowClass == "BUTTON") return (c.style & 0x0F) == BS_GROUPBOX ? ui::Kind::Frame : ui::Kind::ImageButton;
  return ui::Kind::Static;
}

// RYN_RESOURCE_TEMPLATES: the templates the module's resources hold (the
// build names them): the kit's record page, and a command's pages in its tests.
TEST(Win32Resources, DialogTemplatesHoldTheKitsControls) {
  for (int id : {RYN_RESOURCE_TEMPLATES}) {
    SCOPED_TRACE("template " + std::to_string(id));
    const ui::Template* kit = ui::FindTemplate(id);
    ASSERT_NE(kit, nullptr);
    ResourceDialog dialog;
    ASSERT_TRUE(LoadDialog(id, dialog));
    EXPECT_EQ(dialog.title, kit->title);
    EXPECT_EQ(dialog.width, kit->width);
    EXPECT_EQ(dialog.height, kit->height);
    // Pages sit inside the sheet and take part in its tab order.
    EXPECT_TRUE(dialog.style & WS_CHILD);
    EXPECT_TRUE(dialog.style & DS_CONTROL);
    ASSERT_EQ(dialog.controls.size(), kit->controls.size());
    for (size_t i = 0; i < dialog.controls.size(); ++i) {
      const ResourceControl& c = dialog.controls[i];
      const ui::ControlSpec& expected = kit->controls[i];
      SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(expected.id));
      EXPECT_EQ(static_cast<WORD>(c.id), static_cast<WORD>(expected.id));
      EXPECT_EQ(ui::KindName(KindOf(c, expected.kind == ui::Kind::FileEdit)), std::string(ui::KindName(expected.kind)));
      EXPECT_EQ(c.x, expected.x);
      EXPECT_EQ(c.y, expected.y);
      // An icon takes the size of its image.
      if (expected.kind != ui::Kind::Icon) {
        EXPECT_EQ(c.width, expected.width);
        EXPECT_EQ(c.height, expected.height);
      }
      switch (expected.kind) {
        case ui::Kind::Static:
          EXPECT_EQ(c.text, expected.text);
          break;
        case ui::Kind::Icon:
          EXPECT_EQ(c.text, "#" + expected.text);
          break;
        case ui::Kind::ImageButton:
          EXPECT_TRUE(c.style & BS_BITMAP) << "the button shows an image";
          break;
        case ui::Kind::Combo:
          EXPECT_EQ(c.style & 0x3, static_cast<DWORD>(CBS_DROPDOWNLIST));
          break;
        case ui::Kind::Grid:
          EXPECT_TRUE(c.style & LVS_EDITLABELS) << "the path cells are edited in place";
          break;
        default:
          break;
      }
      const bool reachable =
          expected.kind != ui::Kind::Static && expected.kind != ui::Kind::Frame && expected.kind != ui::Kind::Icon;
      EXPECT_EQ((c.style & WS_TABSTOP) != 0, reachable) << "the tab key reaches exactly the input controls";
    }
  }
}

TEST(Win32Resources, SheetHoldsTheTabsAndTheButtons) {
  ResourceDialog sheet;
  ASSERT_TRUE(LoadDialog(ui::kSheetTemplateId, sheet));
  std::vector<int> ids;
  for (const ResourceControl& c : sheet.controls) ids.push_back(c.id);
  EXPECT_EQ(ids, (std::vector<int>{ui::kSheetTabId, IDOK, IDCANCEL}));
  EXPECT_EQ(sheet.controls[0].windowClass, "SYSTABCONTROL32");
  // The "..." image and the note icon are checked in the plug-in itself, on
  // the screen, by page_shots.
}

}  // namespace
