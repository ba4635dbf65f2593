#pragma once

#include "res/DialogTemplate.h"

namespace zintrel::res {

// IDD_ABOUTBOX: the About box, 176 x 150 dialog units, no caption bar.
extern const DialogTemplate kAboutBoxTemplate;

}  // namespace zintrel::res
