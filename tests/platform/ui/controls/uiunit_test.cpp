#include "platform/ui/controls/uiunit.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/windowing/windowingunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/controls/extctrls.h"

#include "tests/support/testing.h"

namespace {

TEST(UiUnitTest, ComponentClassesAreCreatedByName) {
  InitializeUnits({GraphicsUnit, WindowingUnit, UiUnit});
  for (const char* Name : {"TForm", "TButton", "TPanel", "TPopupMenu", "TOpenDialog", "TTimer", "TEdit", "TMaskEdit",
                           "TComboBox", "TToolButton", "TTabSheet"}) {
    SCOPED_TRACE(Name);
    EXPECT_NE(GetClass(String::fromLatin1(Name)), nullptr);
  }
  TComponent* Panel = FindClass("tpanel")->Create(static_cast<TComponent*>(nullptr));
  EXPECT_TRUE(Is<TPanel>(Panel));
  Panel->Free();
}

}  // namespace
