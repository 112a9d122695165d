// The types an edit button, its painted control and their owners share.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/typinfo.h"

// The style of an edit button; each but ebsGlyphEh draws a symbol.
RTL_ENUM(TEditButtonStyleEh, ebsDropDownEh, ebsEllipsisEh, ebsGlyphEh, ebsUpDownEh, ebsPlusEh, ebsMinusEh,
         ebsAltDropDownEh, ebsAltUpDownEh)
// When the face behind the symbol is drawn: always, never, or while the
// mouse is over the button or it is pressed.
RTL_ENUM(TEditButtonDrawBackTimeEh, edbtAlwaysEh, edbtNeverEh, edbtWhenHotEh)

using TButtonClickEventEh = TMethodPtr<void(TObject* Sender, bool& Handled)>;
using TEditButtonDownEventEh =
    TMethodPtr<void(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled)>;
using TRefComponentNotifyEventEh = TMethodPtr<void(TObject* Sender, TComponent* RefComponent)>;
