#include "engine/StatusTexts.h"

#include "res/ResourceIds.h"

namespace zintrel {

void StatusTexts::SetSpeedTexts(const char* word, const char* value) {
  if (word != nullptr) SetDlgItemText(res::IDC_SPEED_WORDS, word);
  SetDlgItemText(res::IDC_SPEED_VALUE, value);
}

}  // namespace zintrel
