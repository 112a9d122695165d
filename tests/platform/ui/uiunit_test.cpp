#include "platform/ui/uiunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/extctrls.h"

#include "tests/support/testing.h"

namespace {

TEST(UiUnitTest, ComponentClassesAreCreatedByName) {
  InitializeUnits({UiUnit});
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
