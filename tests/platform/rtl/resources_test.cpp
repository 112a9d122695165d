#include "platform/rtl/resources.h"

#include "platform/rtl/component.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/streams.h"
#include "tests/support/testing.h"

namespace {

TEST(ResourcesTest, AddedResourceIsFoundByNameInAnyCaseAndStreamed) {
  TResourceScope Scope("MyFont", RT_RCDATA, QByteArray("abc"));
  HRSRC R = FindResource(HInstance(), "MYFONT", RT_RCDATA);
  ASSERT_NE(R, nullptr);
  EXPECT_EQ(FindResource(HInstance(), "myfont", RT_RCDATA), R);
  EXPECT_EQ(LoadResourceBytes(R), QByteArray("abc"));

  TResourceStream S(HInstance(), "MyFont", RT_RCDATA);
  EXPECT_EQ(S.Size(), 3);
  char Buffer[3];
  S.ReadBuffer(Buffer, 3);
  EXPECT_EQ(QByteArray(Buffer, 3), QByteArray("abc"));
  EXPECT_RAISES(S.Write("x", 1), EStreamError, "Can't write to a read-only resource stream");
}

TEST(ResourcesTest, MissingResourceGivesNoHandleAndTheStreamRaises) {
  {
    TResourceScope Scope("GONE", RT_RCDATA, QByteArray("x"));
    EXPECT_EQ(FindResource(HInstance(), "GONE", 11), nullptr);  // another type
    EXPECT_EQ(FindResource(nullptr, "GONE", RT_RCDATA), nullptr);  // another module
  }
  EXPECT_EQ(FindResource(HInstance(), "GONE", RT_RCDATA), nullptr);
  EXPECT_RAISES(TResourceStream(HInstance(), "GONE", RT_RCDATA), EResNotFound, "Resource GONE not found");
}

TEST(ResourcesTest, EnumResourceNamesListsEachNameOnceInUpperCase) {
  TResourceScope First("Lang_RUS", RT_RCDATA, QByteArray("1"));
  TResourceScope Again("LANG_rus", RT_RCDATA, QByteArray("2"));
  TResourceScope Other("Lang_ENU", 11, QByteArray("3"));
  const std::vector<String> Names = EnumResourceNames(HInstance(), RT_RCDATA);
  EXPECT_EQ(std::count(Names.begin(), Names.end(), QStringLiteral("LANG_RUS")), 1);
  EXPECT_EQ(std::count(Names.begin(), Names.end(), QStringLiteral("LANG_ENU")), 0);
  EXPECT_TRUE(EnumResourceNames(nullptr, RT_RCDATA).empty());
}

class TCaptioned : public TComponent {
  RTL_CLASS(TCaptioned, TComponent)
public:
  explicit TCaptioned(TComponent* AOwner) : TComponent(AOwner) {}
  String FCaption;
  static void DescribeProperties(TPropertyTable& P) {
    P.Add("Caption", &TCaptioned::FCaption, &TCaptioned::FCaption);
  }
};

// Stored forms are kept as text in the repository and may be compiled in as
// text or as binary; both read the same.
TEST(ResourcesTest, ComponentResourceInBinaryOrTextForm) {
  const QByteArray Text = "object Form1: TCaptioned\r\n  Caption = 'stored'\r\nend\r\n";
  TMemoryStream In, Out;
  In.WriteBuffer(Text.constData(), Text.size());
  In.SetPosition(0);
  ObjectTextToBinary(&In, &Out);
  const QByteArray Binary(static_cast<const char*>(Out.Memory()), Out.Size());
  TClassRegistrationScope Classes({TCaptioned::StaticClass()});
  for (const QByteArray& Stored : {Text, Binary}) {
    TResourceScope Scope("TCaptioned", RT_RCDATA, Stored);
    TCaptioned C(nullptr);
    EXPECT_TRUE(InternalReadComponentRes("TCaptioned", HInstance(), &C));
    EXPECT_EQ(C.FCaption, QStringLiteral("stored"));
    EXPECT_EQ(C.Name(), QStringLiteral("Form1"));
  }
  TCaptioned Untouched(nullptr);
  EXPECT_FALSE(InternalReadComponentRes("TCaptioned", HInstance(), &Untouched));
  EXPECT_TRUE(Untouched.FCaption.isEmpty());
  TResourceScope Broken("Broken", RT_RCDATA, Binary.left(Binary.size() - 3));
  EXPECT_THROW(InternalReadComponentRes("Broken", HInstance(), &Untouched), EReadError);
}

}  // namespace
