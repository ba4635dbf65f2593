// Screenshots of the help box and both About boxes over the panel, for a
// person to look at. Runs only when ZINTREL_SCREENSHOT_DIR names a folder:
//   ZINTREL_SCREENSHOT_DIR=/tmp/shots scripts/with-xvfb.sh
//     build/tests/about/about_boxes --gtest_filter='Screenshots.*'
// (one command line)

#include <gtest/gtest.h>
#include <wx/msgdlg.h>

#include <cstdlib>
#include <string>

#include "about/AboutDlg.h"
#include "panel/EngineWorkers.h"
#include "panel/HelpMessages.h"
#include "panel/PanelDlg.h"
#include "platform/fake/FakePlatform.h"
#include "res/ResourceIds.h"
#include "tests/about/BoxTestSupport.h"
#include "tests/wx/WxPump.h"

namespace zintrel {
namespace {

void Shoot(const std::string& name) {
  test::PumpFor(0.5);  // let the box paint
  const std::string command = "import -window root '" +
                              std::string(std::getenv("ZINTREL_SCREENSHOT_DIR")) + "/" + name +
                              ".png'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

class Screenshots : public testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("ZINTREL_SCREENSHOT_DIR") == nullptr)
      GTEST_SKIP() << "no ZINTREL_SCREENSHOT_DIR";
    PanelWorkers() = EngineWorkers{[] {}, [] {}, [] {}, [] {}, [] {}};
    platform::Install(fake_);
  }
  void TearDown() override { PanelWorkers() = DefaultEngineWorkers(); }
  platform::FakePlatform fake_;
};

TEST_F(Screenshots, HelpAndAboutBoxesOverThePanel) {
  CPanelDlg panel;
  wxTheApp->SetTopWindow(&panel);
  test::RunModal(panel, [&] {
    test::WhenShown watcher(
        [](wxTopLevelWindow* w) { return dynamic_cast<wxMessageDialogBase*>(w) ? w : nullptr; },
        [](wxTopLevelWindow& box) {
          Shoot("help-command-line-options");
          test::PressButton(&box, wxID_OK);
        });
    panel.OnCommandLineOptions();

    CAboutLinkDlg link;
    test::RunModal(link, [] { Shoot("about-link"); });
    CAboutDlg plain;
    test::RunModal(plain, [] { Shoot("about-window-menu"); });
  });
  wxTheApp->SetTopWindow(nullptr);
}

}  // namespace
}  // namespace zintrel
