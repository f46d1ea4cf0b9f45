// The parameter pages without the framework's dialog: a test opens a page
// on its template, runs its initialisation and plays the operator on the
// controls, as the page runner does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "App.h"
#include "Export.h"
#include "norvia/diag.h"
#include "norvia/env.h"
#include "norvia/services.h"
#include "testing/temp_dir.h"
#include "ui/kit.h"

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    theApp.ModuleState()->appName = "RYN EXPORT";
    OpenHost("[trace]\nlevel = 1\n");
    for (CNamedObject** arg = theExport.IdentifyArgs(); *arg; ++arg) (*arg)->Reset();
    boxesBefore = norvia::MessageBoxLog().size();
  }
  void OpenHost(const std::string& ini) {
    dir.Write("host.ini", ini);
    ASSERT_EQ(norvia::Host_Open(dir.path), nullptr);
  }

  // Opens `page` as the framework shows it, in exec mode `mode`.
  ui::PageWindow& Open(TrelmTabDialog& page, int mode = TRELM_EXEC_MODE_EDIT) {
    window = ui::OpenPage(page);
    page.SetExecMode(mode);
    page.OnInitDialog();
    return *window;
  }
  void Set(const char* name, const std::string& value) {
    ASSERT_EQ(theExport.SetParameterEx(name, value.c_str()), nullptr) << name << "=" << value;
  }
  // The parameter text as the host reads it back.
  std::string Params() { return theExport.GetParameter(); }
  // The message boxes shown since the test began.
  std::string Boxes() const { return norvia::MessageBoxLog().substr(boxesBefore); }
  ui::Control& Item(int id) { return window->Item(id); }

  ryntest::TempDir dir;
  std::unique_ptr<ui::PageWindow> window;
  size_t boxesBefore = 0;
  NorviaModuleStateGuard guard{theApp.ModuleState()};
};
