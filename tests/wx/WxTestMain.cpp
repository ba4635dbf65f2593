// gtest main for tests that need wx: wx is started once (on the test's
// private X server) before the tests run and cleaned up after.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new wxApp);
  int wxArgc = argc;
  if (!wxEntryStart(wxArgc, argv)) return 1;
  const int result = RUN_ALL_TESTS();
  wxEntryCleanup();
  return result;
}
