#include "platform/ui/windowing/bidialign.h"

void ChangeBiDiModeAlignment(TAlignment& Alignment) {
  if (Alignment == taLeftJustify)
    Alignment = taRightJustify;
  else if (Alignment == taRightJustify)
    Alignment = taLeftJustify;
}
