// What the host's library sees when plug-in code it calls back fails: the
// entry's failure answer, never an exception.
#include <functional>
#include <stdexcept>

#include "PageTestFixture.h"
#include "Pages.h"
#include "Parameters.h"
#include "norvia/transfer.h"

namespace {

// A screen that fails on every call, as a back end out of memory would.
struct BrokenScreen : ui::Backend {
  void Pull(ui::Control&) override { throw std::runtime_error("screen gone"); }
  void Push(const ui::Control&) override { throw std::runtime_error("screen gone"); }
  void Focus(const ui::Control&) override { throw std::runtime_error("screen gone"); }
  int TrackPopupMenu(const ui::MenuItem&, const ui::Control&) override { return 0; }
  void SetTitle(const std::string&) override {}
};

// A page whose own code does not guard itself.
struct BrokenPage : TrelmTabDialog {
  BrokenPage() : TrelmTabDialog(CFeaturesEditDlg::kTemplateId, nullptr) {}
  int OnInitDialog() override { throw std::runtime_error("page broke"); }
};

TEST_F(PageTest, HostSeesTheFailureAnswerOfACallbackThatThrows) {
  CFeaturesEditDlg page{&theExport};
  std::unique_ptr<ui::PageWindow> pageWindow = ui::OpenPage(page);
  pageWindow->SetBackend(std::make_unique<BrokenScreen>());
  ui::Control& edit = pageWindow->Item(IDC_FEATURE_EDIT);
  const struct {
    const char* entry;
    std::function<std::string()> hostCall;
    std::string answer;
    bool logged;
  } cases[] = {
      {"page runner",
       [] {
         BrokenPage broken;
         CTrelmGeneric owner;
         owner.AddPrepDlg(&broken, 0, nullptr);
         const char* message = owner.ExecGUI(0, nullptr, nullptr, 1, nullptr);
         return std::string(message ? message : "null");
       },
       "The export failed: page broke", false},
      {"control", [&] { return std::to_string(GetControlEntry(&edit, ryn::FEATURES, true)) + edit.GetText(); }, "1", true},
      {"page init", [&] { return std::to_string(page.OnInitDialog()); }, "0", true},
      {"page apply", [&] { return std::to_string(page.OnApply()); }, "0", true},
  };
  for (const auto& c : cases) {
    norvia::ClearLogs();
    std::string answer;
    EXPECT_NO_THROW(answer = c.hostCall()) << c.entry;
    EXPECT_EQ(answer, c.answer) << c.entry;
    EXPECT_EQ(norvia::ErrorLogText().find("The export failed: screen gone") != std::string::npos, c.logged)
        << c.entry << "\n" << norvia::ErrorLogText();
  }
}

}  // namespace
