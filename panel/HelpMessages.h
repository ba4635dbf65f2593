#pragma once

// The six help messages of the control panel: which help button shows which
// caption and text, and the information box that shows them.

#include <span>
#include <string>

class wxWindow;

namespace zintrel {

struct HelpMessage {
  int controlId;        // the help button
  const char* caption;  // the box's title, shown as it is
  const char* text;     // lines broken with "\r\n"
};

// Every help message, in the order of the buttons' ids.
std::span<const HelpMessage> HelpMessages();
// The message of help button `controlId`, or nullptr.
const HelpMessage* FindHelpMessage(int controlId);

// What the box shows: the caption, and the text with every "\r\n" made the
// single line break the toolkit draws.
struct ShownHelpMessage {
  std::string caption;
  std::string text;
};
ShownHelpMessage ShownHelp(const HelpMessage& message);

// Shows the message of help button `controlId` in a modal information box
// owned by `owner`; returns when the user has dismissed it. Unknown ids show
// nothing.
void ShowHelpMessage(wxWindow* owner, int controlId);

}  // namespace zintrel
