#pragma once

#include "res/DialogTemplate.h"

namespace zintrel::res {

// IDD_CONTROL_PANEL: the control panel, 320 x 234 dialog units.
extern const DialogTemplate kControlPanelTemplate;

}  // namespace zintrel::res
