#include "platform/rtl/interfaces.h"

#include "tests/support/testing.h"

#include <set>

namespace {

class ISpeaker : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{8FF448B0-1C2D-4E5F-9A0B-1C2D3E4F5A6B}");
  virtual String Speak() = 0;
};

class IWalker : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{0D1E2F30-4152-4637-8899-AABBCCDDEEFF}");
  virtual int Steps() = 0;
};

// Counts its instances so tests see when the last reference frees it.
class TCountedSpeaker : public TInterfacedObject, public ISpeaker {
public:
  explicit TCountedSpeaker(int& Alive) : FAlive(Alive) { ++FAlive; }
  ~TCountedSpeaker() override { --FAlive; }
  String Speak() override { return QStringLiteral("hello"); }

private:
  int& FAlive;
};

// An implementor that is not reference-counted, as components are.
class TPlainSpeaker : public TObject, public ISpeaker {
public:
  String Speak() override { return QStringLiteral("plain"); }
};

TEST(GUIDTest, TextRoundTripIsUpperCaseWithBraces) {
  const TGUID G = StringToGUID(QStringLiteral("{8ff448b0-1c2d-4e5f-9a0b-1c2d3e4f5a6b}"));
  EXPECT_EQ(G, ISpeaker::IID);
  EXPECT_EQ(G.D1, 0x8FF448B0u);
  EXPECT_EQ(G.D4[7], 0x6B);
  EXPECT_EQ(GUIDToString(G), QStringLiteral("{8FF448B0-1C2D-4E5F-9A0B-1C2D3E4F5A6B}"));
  EXPECT_EQ(GUIDToString(TGUID()), QStringLiteral("{00000000-0000-0000-0000-000000000000}"));
  EXPECT_TRUE(IsEqualGUID(StringToGUID(GUIDToString(IWalker::IID)), IWalker::IID));
  EXPECT_FALSE(IsEqualGUID(ISpeaker::IID, IWalker::IID));
}

TEST(GUIDTest, MalformedTextRaises) {
  struct Case {
    const char* Name;
    const char* Text;
  } Cases[] = {
      {"empty", ""},
      {"no braces", "8FF448B0-1C2D-4E5F-9A0B-1C2D3E4F5A6B"},
      {"one digit short", "{8FF448B0-1C2D-4E5F-9A0B-1C2D3E4F5A6}"},
      {"one digit long", "{8FF448B0-1C2D-4E5F-9A0B-1C2D3E4F5A6BC}"},
      {"non-hex digit", "{8FF448B0-1C2D-4E5F-9A0B-1C2D3E4F5A6G}"},
      {"dash moved", "{8FF448B01-C2D-4E5F-9A0B-1C2D3E4F5A6B}"},
      {"blank inside", "{8FF448B0-1C2D-4E5F-9A0B-1C2D3E4F5A6 }"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const String Text = QString::fromUtf8(C.Text);
    EXPECT_RAISES(StringToGUID(Text), EConvertError, u'\'' + Text + QStringLiteral("' is not a valid GUID value"));
  }
}

TEST(GUIDTest, CreateGUIDIsRandomVersion4) {
  std::set<String> Seen;
  for (int I = 0; I < 100; ++I) {
    const TGUID G = CreateGUID();
    EXPECT_EQ(G.D3 >> 12, 4);
    EXPECT_EQ(G.D4[0] & 0xC0, 0x80);
    Seen.insert(GUIDToString(G));
  }
  EXPECT_EQ(Seen.size(), 100u);
}

TEST(IPtrTest, LastReferenceFreesTheObject) {
  int Alive = 0;
  {
    IPtr<ISpeaker> A(new TCountedSpeaker(Alive));
    auto* Obj = dynamic_cast<TCountedSpeaker*>(A.Get());
    EXPECT_EQ(Obj->RefCount(), 1);
    {
      IPtr<ISpeaker> B = A;
      IPtr<IInterface> C = B;
      EXPECT_EQ(Obj->RefCount(), 3);
      EXPECT_TRUE(C == A);
    }
    EXPECT_EQ(Obj->RefCount(), 1);
    IPtr<ISpeaker> Moved = std::move(A);
    EXPECT_FALSE(A);
    EXPECT_EQ(Obj->RefCount(), 1);
    EXPECT_EQ(Moved->Speak(), QStringLiteral("hello"));
    EXPECT_EQ(Alive, 1);
    Moved = nullptr;
    EXPECT_EQ(Alive, 0);
  }
  EXPECT_EQ(Alive, 0);
}

TEST(IPtrTest, NonInterfacedObjectsAreNotCounted) {
  TPlainSpeaker Plain;
  {
    IPtr<ISpeaker> A(&Plain);
    IPtr<ISpeaker> B = A;
    EXPECT_EQ(B->Speak(), QStringLiteral("plain"));
  }
  EXPECT_EQ(Plain.Speak(), QStringLiteral("plain"));  // still alive: nobody freed it
}

TEST(SupportsTest, CastsByTypeAndByRegisteredGUID) {
  RegisterInterfaceCaster<ISpeaker>();
  int Alive = 0;
  IPtr<ISpeaker> Held(new TCountedSpeaker(Alive));
  TObject* Obj = dynamic_cast<TObject*>(Held.Get());
  ISpeaker* Speaker = nullptr;
  EXPECT_TRUE(Supports(Obj, Speaker));
  EXPECT_EQ(Speaker, Held.Get());
  EXPECT_FALSE(Supports<IWalker>(Obj));
  EXPECT_FALSE(Supports<ISpeaker>(static_cast<TObject*>(nullptr)));

  IPtr<ISpeaker> Counted;
  EXPECT_TRUE(Supports(Obj, Counted));
  EXPECT_EQ(Counted.Get(), Held.Get());

  void* Raw = nullptr;
  EXPECT_TRUE(Supports(Obj, ISpeaker::IID, Raw));
  EXPECT_EQ(static_cast<ISpeaker*>(Raw), Held.Get());
  IInterface* AsInterface = Held.Get();
  EXPECT_TRUE(Supports(AsInterface, ISpeaker::IID, Raw));
  EXPECT_EQ(static_cast<ISpeaker*>(Raw)->Speak(), QStringLiteral("hello"));
  EXPECT_FALSE(Supports(Obj, IWalker::IID, Raw)) << "no caster registered";
  EXPECT_EQ(Raw, nullptr);
  TPlainSpeaker Plain;
  EXPECT_FALSE(Supports(static_cast<TObject*>(nullptr), ISpeaker::IID, Raw));
  EXPECT_TRUE(Supports(&Plain, ISpeaker::IID, Raw));
}

}  // namespace
