#include "panel/HelpMessages.h"

#include <wx/msgdlg.h>

#include "res/ResourceIds.h"

namespace zintrel {

namespace {

using namespace res;

constexpr HelpMessage kHelpMessages[] = {
    {IDC_HELP_START_AND_HIDE, "Start & Hide",
     "This button will bring the sound on (if it isn't dun brought already).\r\n\r\n"
     "After the sound is dun being brought, it will hide the window.\r\n\r\n"
     "To close the program when it is hidden, use a system monitor (or \"pkill -x zintrel\" in "
     "a terminal) or restart the system."},
    {IDC_HELP_INTERVAL, "Interval Slider",
     "The Interval slider allows you to adjust the duration of each note.\r\n\r\n"
     "Having a lower duration speeds up the response time, while having a\r\n"
     "higher interval makes sounds more like notes, rather than squeaking."},
    {IDC_HELP_PITCH, "Pitch Slider",
     "The Pitch slider basically allows you to control how sensitive\r\n"
     "the mouse is to a given rate of travel.\r\n\r\n"
     "It is best to find a value that suits your mouse's travel style."},
    {IDC_HELP_WRAP_MOUSE, "Wrap mouse cursor at edges of the screen",
     "When this option is enabled, when moved to a given screen edge, the mouse\r\n"
     "cursor will be moved to that edge's opposite.\r\n\r\n"
     "This creates a wrapping effect that essentially provides the mouse more freedom."},
    {IDC_HELP_MAKE_NO_SOUND, "Make not a sound!!!",
     "When this option is enabled, no sound will be made.\r\n\r\n"
     "This is useful if you wish for only cursor wrapping."},
    {IDC_COMMAND_LINE_OPTIONS, "Command line options",
     "Available command line options:\r\n\r\n"
     "-AutoStartOnly   Presses the \"Start Only\" button automatically on program startup.\r\n\r\n"
     "-AutoStartAndHide   Presses the \"Start & Hide\" button automatically on program "
     "startup.\r\n\r\n"
     "-WrapMouse x   Where x is replaced with 1 or 0 to control this option.\r\n\r\n"
     "-MakeNoSound x   Where x is replaced with 1 or 0 to control this option.\r\n\r\n"
     "-Interval xxx   Where xxx is replaced with the desired Interval value between 2 and "
     "300.\r\n\r\n"
     "-Pitch xxx   Where xxx is replaced with the desired Pitch value between 1 and 100."},
};

// GTK breaks lines at "\n" alone; a "\r" left in would show as a glyph.
std::string ToShownLines(const char* text) {
  std::string out;
  for (const char* p = text; *p != '\0'; ++p) {
    if (p[0] == '\r' && p[1] == '\n') continue;
    out += *p;
  }
  return out;
}

}  // namespace

std::span<const HelpMessage> HelpMessages() { return kHelpMessages; }

const HelpMessage* FindHelpMessage(int controlId) {
  for (const auto& m : kHelpMessages) {
    if (m.controlId == controlId) return &m;
  }
  return nullptr;
}

ShownHelpMessage ShownHelp(const HelpMessage& message) {
  return {message.caption, ToShownLines(message.text)};
}

void ShowHelpMessage(wxWindow* owner, int controlId) {
  const HelpMessage* message = FindHelpMessage(controlId);
  if (message == nullptr) return;
  const ShownHelpMessage shown = ShownHelp(*message);
  // wx's own message box rather than GTK's: GTK 3 no longer draws the
  // information icon, and this one's lines can be read back by the tests.
  // It shows the text line by line as written, ampersands and runs of
  // spaces included, and the caption as the window title.
  wxGenericMessageDialog box(owner, wxString::FromUTF8(shown.text),
                             wxString::FromUTF8(shown.caption), wxOK | wxICON_INFORMATION);
  box.ShowModal();
}

}  // namespace zintrel
