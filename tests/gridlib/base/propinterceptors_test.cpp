#include "gridlib/base/propinterceptors.h"

#include "platform/ui/controls/edits.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/support/testing.h"

#include <gtest/gtest.h>

namespace {

class TOtherInterceptor : public TStoragePropertyInterceptor {
  RTL_CLASS_META(TOtherInterceptor, TStoragePropertyInterceptor, TInterceptorClassOf<TOtherInterceptor>)
public:
  explicit TOtherInterceptor(TPersistent* ATarget) : TStoragePropertyInterceptor(ATarget) {}
};

TEST(PropertyInterceptorRegistry, SecondRegistrationReplacesTheFirst) {
  InitializePropInterceptorsEh();
  EXPECT_EQ(FindPropertyInterceptorClassEh(TForm::StaticClass()), TFormStoragePropertyInterceptor::StaticClass());
  RegisterPropertyInterceptorEh(TCustomForm::StaticClass(), TOtherInterceptor::StaticClass());
  EXPECT_EQ(FindPropertyInterceptorClassEh(TCustomForm::StaticClass()), TOtherInterceptor::StaticClass());
  UnregisterPropertyInterceptorEh(TCustomForm::StaticClass(), TOtherInterceptor::StaticClass());
  EXPECT_EQ(FindPropertyInterceptorClassEh(TCustomForm::StaticClass()), nullptr);
  // the virtual constructor takes the target
  auto* Meta = static_cast<const TStoragePropertyInterceptorMeta*>(TOtherInterceptor::StaticClass());
  TPersistent Target;
  TStoragePropertyInterceptor* Made = Meta->CreateInterceptor(&Target);
  EXPECT_EQ(Made->ClassType(), TOtherInterceptor::StaticClass());
  EXPECT_EQ(Made->Target(), &Target);
  Made->Free();
  FinalizePropInterceptorsEh();
}

struct FormInterceptorTest : ::testing::Test {
  TForm* Form = nullptr;
  void SetUp() override {
    InitializeForms();
    Form = new TForm(Application);
    Form->SetBounds(10, 20, 300, 200);
  }
  void TearDown() override {
    Form->Free();
    ResetScreenMetrics();
    FinalizeForms();
    test::ResetUi();
  }
};

TEST_F(FormInterceptorTest, MaximizedFormWritesItsRestoredRectangle) {
  Form->Show();
  Form->SetWindowState(wsMaximized);
  ASSERT_NE(Form->Width(), 300);
  TFormStoragePropertyInterceptor Interceptor(Form);
  EXPECT_EQ(Interceptor.Left(), 10);
  EXPECT_EQ(Interceptor.Top(), 20);
  EXPECT_EQ(Interceptor.Width(), 300);
  EXPECT_EQ(Interceptor.Height(), 200);
  EXPECT_EQ(Interceptor.WindowState(), wsMaximized);
  EXPECT_EQ(Interceptor.PixelsPerInch(), 96);
}

TEST_F(FormInterceptorTest, ReadAtAHigherResolutionScales) {
  TFormStoragePropertyInterceptor Interceptor(Form);  // written at 96
  Interceptor.SetLeft(10);
  Interceptor.SetTop(20);
  Interceptor.SetWidth(300);
  Interceptor.SetHeight(200);
  ScreenMetrics().PixelsPerInch = 144;
  Interceptor.Readed();
  EXPECT_EQ(Form->BoundsRect(), TRect(15, 30, 15 + 450, 30 + 300));
}

TEST_F(FormInterceptorTest, MaximizedReadPutsTheRectangleInThePlacement) {
  Form->Show();
  TFormStoragePropertyInterceptor Interceptor(Form);
  Interceptor.SetLeft(40);
  Interceptor.SetWindowState(wsMaximized);
  Interceptor.Readed();
  EXPECT_EQ(Form->WindowState(), wsMaximized);
  EXPECT_EQ(GetFormNormalPlacementEh(Form), TRect(40, 20, 340, 220));
  Form->SetWindowState(wsNormal);
  EXPECT_EQ(Form->BoundsRect(), TRect(40, 20, 340, 220));
}

TEST_F(FormInterceptorTest, CenteredFormKeepsAStoredLeftEdge) {
  Form->SetPosition(poScreenCenter);
  TFormStoragePropertyInterceptor Interceptor(Form);
  Interceptor.SetLeft(5);
  Interceptor.Readed();
  EXPECT_EQ(Form->Position(), poDesigned);
  Form->Show();
  EXPECT_EQ(Form->Left(), 5);
  // without a stored position the form stays centred
  Form->SetPosition(poScreenCenter);
  TFormStoragePropertyInterceptor SizeOnly(Form);
  SizeOnly.Readed();
  EXPECT_EQ(Form->Position(), poScreenCenter);
}

TEST_F(FormInterceptorTest, ActiveControlThatCannotFocusIsIgnored) {
  auto* A = new TEdit(Form);
  A->SetParent(Form);
  auto* B = new TEdit(Form);
  B->SetParent(Form);
  B->SetEnabled(false);
  Form->Show();
  Form->SetActiveControl(A);
  TFormStoragePropertyInterceptor Interceptor(Form);
  EXPECT_EQ(Interceptor.ActiveControl(), A);
  Interceptor.SetActiveControl(B);
  Interceptor.Readed();
  EXPECT_EQ(Form->ActiveControl(), A);
  B->SetEnabled(true);
  Interceptor.Readed();
  EXPECT_EQ(Form->ActiveControl(), B);
}

}  // namespace
