// The common ground of the control tests: a fresh application with a form at
// fixed bounds, modal failures reported to the test, the in-memory clipboard
// where a fixture asks for it, and the small checks these tests share.
#pragma once

#include "platform/rtl/typinfo.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/clipbrd.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/modaltest.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <ostream>

// Rectangles and points in failure messages.
inline void PrintTo(const TRect& R, std::ostream* Os) {
  *Os << "(" << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom << ")";
}
inline void PrintTo(const TPoint& P, std::ostream* Os) { *Os << "(" << P.X << "," << P.Y << ")"; }

// SetUp makes the application and Form (owned by it, not shown); TearDown
// frees both through FinalizeForms and resets the input layers, so a test
// may leave windows, capture and focus as they are.  A derived fixture picks
// the clipboard and the form's bounds in its constructor, calls SetUp first
// and TearDown last.
class FormFixture : public ::testing::Test {
protected:
  enum TClipboardUse { NoClipboard, MemoryClipboard };

  explicit FormFixture(TClipboardUse ClipboardUse = NoClipboard, TRect FormBounds = Bounds(100, 100, 400, 300))
      : FClipboardUse(ClipboardUse), FFormBounds(FormBounds) {}

  void SetUp() override {
    InitializeForms();
    test::SetFailureReporter([](const String& Message) { ADD_FAILURE() << Message.toStdString(); });
    if (FClipboardUse == MemoryClipboard) {
      InitializeClipboard();
      Clipboard()->SetBackend(std::make_unique<TMemoryClipboardBackend>());
    }
    Form = new TForm(Application);
    Form->SetBoundsRect(FFormBounds);
  }
  void TearDown() override {
    test::SetFailureReporter({});
    if (FClipboardUse == MemoryClipboard) FinalizeClipboard();
    FinalizeForms();
    test::ResetUi();
  }

  // A new T owned by Form, on Parent (Form when none), at Bounds.
  template <class T>
  T* make(TRect Bounds, TWinControl* Parent = nullptr) {
    auto* C = new T(Form);
    C->SetParent(Parent ? Parent : Form);
    C->SetBoundsRect(Bounds);
    return C;
  }

  TForm* Form = nullptr;

private:
  TClipboardUse FClipboardUse;
  TRect FFormBounds;
};

// The control's text as WM_GETTEXT answers it (up to 63 characters).
inline String WindowText(TControl* Control) {
  Char Buffer[64] = {};
  const gdi::LRESULT Length =
      Control->Perform(gdi::WM_GETTEXT, gdi::WPARAM(std::size(Buffer)), reinterpret_cast<gdi::LPARAM>(Buffer));
  return String(Buffer, Length);
}

// Each published property of Instance once, every one with a default holding
// it, and each of Names among them.
inline void ExpectPublishedOnceAtDefaults(TObject* Instance, std::initializer_list<const char*> Names = {}) {
  QStringList Seen;
  for (const TPropInfo* Info : GetPropList(Instance)) {
    SCOPED_TRACE(Info->Name.toStdString());
    EXPECT_FALSE(Seen.contains(Info->Name)) << "published twice";
    Seen.append(Info->Name);
    if (Info->HasDefault) {
      EXPECT_TRUE(IsDefaultPropertyValue(Instance, Info));
    }
  }
  for (const char* Name : Names) EXPECT_TRUE(Seen.contains(QString::fromLatin1(Name))) << Name << " is not published";
}

// A menu item owned by Owner, added to Parent, whose click appends its
// caption to Ran.
inline TMenuItem* AddLoggingItem(TComponent* Owner, TMenuItem* Parent, const String& Caption, TShortCut Key,
                                 QStringList& Ran) {
  auto* Item = new TMenuItem(Owner);
  Item->SetCaption(Caption);
  Item->SetShortCut(Key);
  Item->OnClick = [&Ran](TObject* Sender) { Ran.append(static_cast<TMenuItem*>(Sender)->Caption()); };
  Parent->Add(Item);
  return Item;
}

// Control repainted, as PaintTo draws it; its window's image must show the
// same pixels.
inline std::unique_ptr<TBitmap> ShownImage(TWinControl* Control) {
  Control->Repaint();
  std::unique_ptr<TBitmap> Shot = test::Snapshot(Control);
  TBitmap Window;
  Window.SetImage(test::WindowImage(Control).copy(0, 0, Shot->Width(), Shot->Height()));
  EXPECT_TRUE(ImagesEqual(Shot.get(), &Window, 0)) << "PaintTo and the window differ";
  return Shot;
}
