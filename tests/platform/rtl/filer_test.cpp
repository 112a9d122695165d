#include "platform/rtl/filer.h"

#include "platform/rtl/collection.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/variant.h"

#include "tests/support/testing.h"

#include <QStringList>

#include <memory>

namespace {

// ---------------------------------------------------------------------------
// Test classes

// The class of the golden stream: one published integer.
class TFoo : public TComponent {
  RTL_CLASS(TFoo, TComponent)
public:
  explicit TFoo(TComponent* AOwner) : TComponent(AOwner) {}
  Integer FWidth = 0;
  static void DescribeProperties(TPropertyTable& P) { P.Add("Width", &TFoo::FWidth, &TFoo::FWidth).Default(0); }
};

RTL_ENUM(TProbeKind, pkPlain, pkFancy, pkWild)
RTL_ENUM(TProbeOption, poBold, poItalic, poUnderline)
using TProbeOptions = TSet<TProbeOption>;
const TIdentMapEntry ProbeColors[] = {{0x0000FF, "clRed"}, {0xFF0000, "clBlue"}};

// A sub-object streamed under dotted names.
class TProbeFont : public TPersistent {
  RTL_CLASS(TProbeFont, TPersistent)
public:
  String FName;
  Integer FSize = 8;
  static void DescribeProperties(TPropertyTable& P) {
    P.Add("Name", &TProbeFont::FName, &TProbeFont::FName);
    P.Add("Size", &TProbeFont::FSize, &TProbeFont::FSize).Default(8);
  }
};

class TProbeItem : public TCollectionItem {
  RTL_CLASS(TProbeItem, TCollectionItem)
public:
  explicit TProbeItem(TCollection* Collection) : TCollectionItem(Collection) {}
  String FCaption;
  Integer FSize = 0;
  TComponent* FLink = nullptr;
  static void DescribeProperties(TPropertyTable& P) {
    P.Add("Caption", &TProbeItem::FCaption, &TProbeItem::FCaption);
    P.Add("Size", &TProbeItem::FSize, &TProbeItem::FSize).Default(0);
    P.Add("Link", &TProbeItem::FLink, &TProbeItem::FLink);
  }
};

// Every kind of published value, a sub-object, lines, a collection, data of
// its own (DefineProperty, DefineBinaryProperty) and children: the owned
// components whose parent it is.  Counts live instances and logs Loaded.
class TProbe : public TComponent {
  RTL_CLASS(TProbe, TComponent)
public:
  explicit TProbe(TComponent* AOwner)
      : TComponent(AOwner), FFont(new TProbeFont), FLines(new TStringList),
        FItems(new TOwnedCollection(this, TProbeItem::StaticClass())) {
    ++Live;
  }
  ~TProbe() override {
    FItems->Free();
    FLines->Free();
    FFont->Free();
    --Live;
  }

  static inline int Live = 0;
  static inline QStringList* LoadedLog = nullptr;

  Integer FWidth = 0;
  Integer FColor = 0;
  TProbeKind FKind = pkPlain;
  bool FVisible = true;
  TProbeOptions FOptions;
  Char FLetter = u'A';
  Int64 FBig = 0;
  double FRatio = 0;
  float FScale = 0;
  Currency FPrice;
  TDateTime FStarted = 0;
  String FCaption;
  String FHint;
  bool FHintStored = true;
  Integer FCount = 0;
  Variant FData;
  TComponent* FBuddy = nullptr;
  TNotifyEvent FOnClick;
  TProbeFont* FFont;
  TStringList* FLines;
  TOwnedCollection* FItems;
  Integer FFixed = 7;
  std::vector<Integer> FExtra;
  TBytes FBlob;
  TProbe* FParent = nullptr;

  TProbeFont* Font() const { return FFont; }
  TStrings* Lines() const { return FLines; }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  TCollection* Items() const { return FItems; }
  Integer Fixed() const { return FFixed; }
  bool IsHintStored() const { return FHintStored; }
  TProbeItem* Item(int Index) const { return static_cast<TProbeItem*>(FItems->Items(Index)); }

  static void DescribeProperties(TPropertyTable& P) {
    P.Add("Width", &TProbe::FWidth, &TProbe::FWidth).Default(0);
    P.Add("Color", &TProbe::FColor, &TProbe::FColor).Default(0).Idents(ProbeColors);
    P.Add("Kind", &TProbe::FKind, &TProbe::FKind).Default(pkPlain);
    P.Add("Visible", &TProbe::FVisible, &TProbe::FVisible).Default(true);
    P.Add("Options", &TProbe::FOptions, &TProbe::FOptions).Default(TProbeOptions{});
    P.Add("Letter", &TProbe::FLetter, &TProbe::FLetter).Default(Char(u'A'));
    P.Add("Big", &TProbe::FBig, &TProbe::FBig).Default(0);
    P.Add("Ratio", &TProbe::FRatio, &TProbe::FRatio);
    P.Add("Scale", &TProbe::FScale, &TProbe::FScale);
    P.Add("Price", &TProbe::FPrice, &TProbe::FPrice);
    P.Add("Started", &TProbe::FStarted, &TProbe::FStarted).AsDateTime();
    P.Add("Caption", &TProbe::FCaption, &TProbe::FCaption);
    P.Add("Hint", &TProbe::FHint, &TProbe::FHint).Stored(&TProbe::IsHintStored);
    P.Add("Count", &TProbe::FCount, &TProbe::FCount);  // nodefault
    P.Add("Data", &TProbe::FData, &TProbe::FData);
    P.Add("Buddy", &TProbe::FBuddy, &TProbe::FBuddy);
    P.Add("OnClick", &TProbe::FOnClick, &TProbe::FOnClick);
    P.Add("Font", &TProbe::Font);
    P.Add("Lines", &TProbe::Lines, &TProbe::SetLines);
    P.Add("Items", &TProbe::Items);
    P.Add("Fixed", &TProbe::Fixed).Default(0);
  }

  TComponent* GetParentComponent() const override { return FParent; }
  bool HasParent() const override { return true; }

protected:
  void SetParentComponent(TComponent* Value) override { FParent = dynamic_cast<TProbe*>(Value); }
  void SetChildOrder(TComponent* Child, int Order) override { Child->SetComponentIndex(Order); }
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (int I = 0; I < Root->ComponentCount(); ++I) {
      auto* Child = dynamic_cast<TProbe*>(Root->Components(I));
      if (Child && (Child->FParent == this || (this == Root && !Child->FParent))) Proc(Child);
    }
  }
  void Loaded() override {
    TComponent::Loaded();
    if (LoadedLog) *LoadedLog << Name() + (FBuddy ? u'>' + FBuddy->Name() : String());
  }
  void DefineProperties(TFiler* Filer) override {
    Filer->DefineProperty(QStringLiteral("Extra"), TReaderProc(this, &TProbe::readExtra),
                          TWriterProc(this, &TProbe::writeExtra), !FExtra.empty());
    Filer->DefineBinaryProperty(QStringLiteral("Blob"), TStreamProc(this, &TProbe::readBlob),
                                TStreamProc(this, &TProbe::writeBlob), !FBlob.empty());
  }

private:
  void readExtra(TReader* Reader) {
    FExtra.clear();
    Reader->ReadListBegin();
    while (!Reader->EndOfList()) FExtra.push_back(Reader->ReadInteger());
    Reader->ReadListEnd();
  }
  void writeExtra(TWriter* Writer) {
    Writer->WriteListBegin();
    for (Integer V : FExtra) Writer->WriteInteger(V);
    Writer->WriteListEnd();
  }
  void readBlob(TStream* Stream) { FBlob = Stream->ReadBytes(Stream->Size()); }
  void writeBlob(TStream* Stream) { Stream->WriteBuffer(FBlob.data(), Int64(FBlob.size())); }
};

// ---------------------------------------------------------------------------
// Helpers

QByteArray bytesOf(TMemoryStream& Stream) {
  return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

// A stream holding Bytes, positioned at 0.
std::unique_ptr<TMemoryStream> streamOf(const QByteArray& Bytes) {
  auto Stream = std::make_unique<TMemoryStream>();
  Stream->WriteBuffer(Bytes.constData(), Bytes.size());
  Stream->SetPosition(0);
  return Stream;
}

QByteArray written(TComponent* Root, TComponent* Ancestor = nullptr) {
  TMemoryStream Stream;
  Stream.WriteDescendent(Root, Ancestor);
  return bytesOf(Stream);
}

// The text form, for readable comparisons.
String asText(const QByteArray& Binary) {
  auto Input = streamOf(Binary);
  TMemoryStream Output;
  ObjectBinaryToText(Input.get(), &Output);
  return String::fromUtf8(bytesOf(Output));
}

// The binary form of a text.
QByteArray binaryOf(const QByteArray& Text) {
  auto Input = streamOf(Text);
  TMemoryStream Output;
  ObjectTextToBinary(Input.get(), &Output);
  return bytesOf(Output);
}

// Collects what one writer call emits.
template <class F>
QByteArray emitted(F Write) {
  TMemoryStream Stream;
  {
    TWriter Writer(&Stream);
    Write(Writer);
  }
  return bytesOf(Stream);
}

// A root with every kind of value set away from its default, a font, lines,
// items referring to components, data of its own and two levels of children.
TProbe* makeRichProbe() {
  auto* Root = new TProbe(nullptr);
  Root->SetName(QStringLiteral("Root"));
  Root->FWidth = 100000;
  Root->FColor = 0xFF0000;
  Root->FKind = pkWild;
  Root->FVisible = false;
  Root->FOptions = {poBold, poUnderline};
  Root->FLetter = u'Ж';
  Root->FBig = 3000000000LL;
  Root->FRatio = 0.1 + 0.2;
  Root->FScale = 1.25f;
  Root->FPrice = Currency::FromRaw(123456789);
  Root->FStarted = 45431.75;
  Root->FCaption = QStringLiteral("Привет, мир");
  Root->FHint = QString(300, u'h');
  Root->FCount = 0;
  Root->FData = Variant(-70000);
  Root->FFont->FName = QStringLiteral("Arial");
  Root->FFont->FSize = 12;
  Root->FLines->Add(QStringLiteral("first"));
  Root->FLines->Add(QStringLiteral("второй"));
  Root->FExtra = {1, -300, 70000};
  Root->FBlob = {0x00, 0x7F, 0x80, 0xFF};
  auto* Child = new TProbe(Root);
  Child->SetName(QStringLiteral("Child"));
  Child->FParent = Root;
  auto* Grandchild = new TProbe(Root);
  Grandchild->SetName(QStringLiteral("Grandchild"));
  Grandchild->FParent = Child;
  Grandchild->FBuddy = Root;
  auto* Last = new TProbe(Root);
  Last->SetName(QStringLiteral("Last"));
  Last->FParent = Root;
  // References to a component read later: resolved only after the whole read.
  Root->FBuddy = Last;
  Child->FBuddy = Grandchild;
  auto* First = static_cast<TProbeItem*>(Root->FItems->Add());
  First->FCaption = QStringLiteral("one");
  First->FLink = Last;
  static_cast<TProbeItem*>(Root->FItems->Add())->FSize = 2;
  return Root;
}

// ---------------------------------------------------------------------------
// Writing

TEST(WriterTest, GoldenBytesOfOneComponent) {
  TFoo Foo(nullptr);
  Foo.SetName(QStringLiteral("F1"));
  Foo.FWidth = 5;
  EXPECT_EQ(written(&Foo), QByteArray::fromHex("54504630" "0454466f6f" "024631" "055769647468" "0205" "00" "00"));
}

TEST(WriterTest, IntegersTakeTheShortestTag) {
  struct Case {
    Int64 Value;
    const char* Bytes;
  } Cases[] = {
      {0, "0200"},
      {100, "0264"},
      {-128, "0280"},
      {127, "027f"},
      {128, "038000"},
      {-129, "037fff"},
      {1000, "03e803"},
      {32767, "03ff7f"},
      {32768, "0400800000"},
      {-32769, "04ff7fffff"},
      {100000, "04a0860100"},
      {2147483647, "04ffffff7f"},
      {-2147483647 - 1, "0400000080"},
      {2147483648LL, "130000008000000000"},
      {3000000000LL, "13005ed0b200000000"},
      {-2147483649LL, "13ffffff7fffffffff"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Value);
    const QByteArray Bytes = emitted([&](TWriter& W) { W.WriteInteger(C.Value); });
    EXPECT_EQ(Bytes.toHex(), QByteArray(C.Bytes));
    auto Input = streamOf(Bytes);
    TReader Reader(Input.get());
    EXPECT_EQ(Reader.ReadInt64(), C.Value);
  }
}

TEST(WriterTest, ValueTagsOfTheOtherWriters) {
  struct Case {
    const char* Name;
    std::function<void(TWriter&)> Write;
    const char* Bytes;
  } Cases[] = {
      {"ascii", [](TWriter& W) { W.WriteString(QStringLiteral("ab")); }, "06026162"},
      {"empty", [](TWriter& W) { W.WriteString(String()); }, "0600"},
      {"non-ascii is UTF-8", [](TWriter& W) { W.WriteString(QStringLiteral("é")); }, "1402000000c3a9"},
      {"double", [](TWriter& W) { W.WriteFloat(1.5); }, "15000000000000f83f"},
      {"single", [](TWriter& W) { W.WriteSingle(1.5f); }, "0f0000c03f"},
      {"currency", [](TWriter& W) { W.WriteCurrency(Currency::FromRaw(15000)); }, "10983a000000000000"},
      {"date", [](TWriter& W) { W.WriteDate(2.0); }, "110000000000000040"},
      {"false", [](TWriter& W) { W.WriteBoolean(false); }, "08"},
      {"ident", [](TWriter& W) { W.WriteIdent(QStringLiteral("pkFancy")); }, "0707706b46616e6379"},
      {"ident true", [](TWriter& W) { W.WriteIdent(QStringLiteral("TRUE")); }, "09"},
      {"ident nil", [](TWriter& W) { W.WriteIdent(QStringLiteral("nil")); }, "0d"},
      {"ident Null", [](TWriter& W) { W.WriteIdent(QStringLiteral("null")); }, "00"},
      {"binary", [](TWriter& W) { W.WriteBinary("\x01\x02", 2); }, "0a020000000102"},
      {"prefix", [](TWriter& W) { W.WritePrefix({ffInherited, ffChildPos}, 3); }, "f30203"},
      {"no prefix", [](TWriter& W) { W.WritePrefix({}, 3); }, ""},
      {"variant empty", [](TWriter& W) { W.WriteVariant(Variant()); }, "0d"},
      {"variant null", [](TWriter& W) { W.WriteVariant(Null()); }, "00"},
      {"variant int", [](TWriter& W) { W.WriteVariant(Variant(300)); }, "032c01"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(emitted(C.Write).toHex(), QByteArray(C.Bytes));
  }
  const QByteArray Long = emitted([](TWriter& W) { W.WriteString(QString(256, u'x')); });
  EXPECT_EQ(Long.left(5).toHex(), QByteArray("0c00010000"));
  EXPECT_EQ(Long.size(), 5 + 256);
}

TEST(WriterTest, DefaultsStoredFalseEventsAndReadOnlyValuesAreOmitted) {
  TProbe Probe(nullptr);
  Probe.SetName(QStringLiteral("P"));
  Probe.FHint = QStringLiteral("not stored");
  Probe.FHintStored = false;
  Probe.FOnClick = TNotifyEvent([](TObject*) {});
  Probe.FFixed = 9;
  // Count has no default, so even 0 is written; an empty collection is
  // written too, as the original format does.
  EXPECT_EQ(asText(written(&Probe)), QStringLiteral("object P: TProbe\r\n"
                                                    "  Count = 0\r\n"
                                                    "  Items = <>\r\n"
                                                    "end\r\n"));
}

TEST(WriterTest, PropertyNamesTakeThePropPathUntilItIsCleared) {
  TProbeItem Item(nullptr);
  Item.FSize = 3;
  TMemoryStream Stream;
  {
    TWriter W(&Stream);
    W.SetPropPath(QStringLiteral("Font."));
    W.WriteProperties(&Item);
    EXPECT_EQ(W.PropPath(), QStringLiteral("Font."));
    W.SetPropPath({});
    W.WriteProperties(&Item);
  }
  const QByteArray Bytes = bytesOf(Stream);
  EXPECT_EQ(Bytes, QByteArray("\x09" "Font.Size" "\x02\x03" "\x04" "Size" "\x02\x03", 19));
}

TEST(WriterTest, ArrayVariantRaisesWriteError) {
  TProbe Probe(nullptr);
  Probe.FData = VarArrayOf({1, 2});
  TMemoryStream Stream;
  EXPECT_RAISES(Stream.WriteComponent(&Probe), EWriteError, "Stream write error");
}

TEST(WriterTest, TextOfARichComponent) {
  std::unique_ptr<TProbe, void (*)(TProbe*)> Root(makeRichProbe(), [](TProbe* P) { P->Free(); });
  Root->FHint = QStringLiteral("short");
  EXPECT_EQ(asText(written(Root.get())),
            QStringLiteral("object Root: TProbe\r\n"
                           "  Width = 100000\r\n"
                           "  Color = clBlue\r\n"
                           "  Kind = pkWild\r\n"
                           "  Visible = False\r\n"
                           "  Options = [poBold, poUnderline]\r\n"
                           "  Letter = #1046\r\n"
                           "  Big = 3000000000\r\n"
                           "  Ratio = 0.30000000000000004\r\n"
                           "  Scale = 1.25\r\n"
                           "  Price = 123456789c\r\n"
                           "  Started = 45431.75d\r\n"
                           "  Caption = #1055#1088#1080#1074#1077#1090', '#1084#1080#1088\r\n"
                           "  Hint = 'short'\r\n"
                           "  Count = 0\r\n"
                           "  Data = -70000\r\n"
                           "  Buddy = Last\r\n"
                           "  Font.Name = 'Arial'\r\n"
                           "  Font.Size = 12\r\n"
                           "  Lines.Strings = (\r\n"
                           "    'first'\r\n"
                           "    #1074#1090#1086#1088#1086#1081)\r\n"
                           "  Items = <\r\n"
                           "    item\r\n"
                           "      Caption = 'one'\r\n"
                           "      Link = Last\r\n"
                           "    end\r\n"
                           "    item\r\n"
                           "      Size = 2\r\n"
                           "    end>\r\n"
                           "  Extra = (\r\n"
                           "    1\r\n"
                           "    -300\r\n"
                           "    70000)\r\n"
                           "  Blob = {007F80FF}\r\n"
                           "  object Child: TProbe\r\n"
                           "    Count = 0\r\n"
                           "    Buddy = Grandchild\r\n"
                           "    Items = <>\r\n"
                           "    object Grandchild: TProbe\r\n"
                           "      Count = 0\r\n"
                           "      Buddy = Owner\r\n"
                           "      Items = <>\r\n"
                           "    end\r\n"
                           "  end\r\n"
                           "  object Last: TProbe\r\n"
                           "    Count = 0\r\n"
                           "    Items = <>\r\n"
                           "  end\r\n"
                           "end\r\n"));
}

// ---------------------------------------------------------------------------
// Reading

TEST(ReaderTest, RoundTripOfEveryKindCollectionAndDefinedData) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  std::unique_ptr<TProbe, void (*)(TProbe*)> Original(makeRichProbe(), [](TProbe* P) { P->Free(); });
  const QByteArray Bytes = written(Original.get());
  auto Input = streamOf(Bytes);
  QStringList Loaded;
  TProbe::LoadedLog = &Loaded;
  TComponent* Read = nullptr;
  try {
    Read = Input->ReadComponent(nullptr);
  } catch (const Exception& E) {
    ADD_FAILURE() << E.what();
  }
  TProbe::LoadedLog = nullptr;
  auto* Copy = dynamic_cast<TProbe*>(Read);
  ASSERT_TRUE(Copy);
  std::unique_ptr<TProbe, void (*)(TProbe*)> Guard(Copy, [](TProbe* P) { P->Free(); });

  EXPECT_EQ(Input->Position(), Bytes.size());
  EXPECT_EQ(written(Copy), Bytes);
  EXPECT_EQ(Copy->Name(), QStringLiteral("Root"));
  EXPECT_EQ(Copy->FWidth, 100000);
  EXPECT_EQ(Copy->FColor, 0xFF0000);
  EXPECT_EQ(Copy->FOptions, (TProbeOptions{poBold, poUnderline}));
  EXPECT_EQ(Copy->FLetter, Char(u'Ж'));
  EXPECT_EQ(Copy->FBig, 3000000000LL);
  EXPECT_EQ(Copy->FRatio, 0.1 + 0.2);
  EXPECT_EQ(Copy->FScale, 1.25f);
  EXPECT_EQ(Copy->FPrice, Currency::FromRaw(123456789));
  EXPECT_EQ(Copy->FStarted, 45431.75);
  EXPECT_EQ(Copy->FCaption, QStringLiteral("Привет, мир"));
  EXPECT_EQ(Copy->FHint, QString(300, u'h'));
  EXPECT_EQ(VarType(Copy->FData), varInteger);
  EXPECT_EQ(Copy->FData.AsInteger(), -70000);
  EXPECT_EQ(Copy->FFont->FName, QStringLiteral("Arial"));
  EXPECT_EQ(Copy->FLines->Text(), QStringLiteral("first\r\nвторой\r\n"));
  EXPECT_EQ(Copy->FExtra, (std::vector<Integer>{1, -300, 70000}));
  EXPECT_EQ(Copy->FBlob, (TBytes{0x00, 0x7F, 0x80, 0xFF}));
  ASSERT_EQ(Copy->ComponentCount(), 3);
  auto* Child = static_cast<TProbe*>(Copy->FindComponent(QStringLiteral("Child")));
  auto* Grandchild = static_cast<TProbe*>(Copy->FindComponent(QStringLiteral("Grandchild")));
  auto* Last = Copy->FindComponent(QStringLiteral("Last"));
  EXPECT_EQ(Grandchild->FParent, Child);
  EXPECT_EQ(Copy->FBuddy, Last);
  EXPECT_EQ(Grandchild->FBuddy, Copy);
  ASSERT_EQ(Copy->FItems->Count(), 2);
  EXPECT_EQ(Copy->Item(0)->FLink, Last);
  EXPECT_EQ(Copy->Item(1)->FSize, 2);
  // References were set before any Loaded; the root first, then each
  // component as its read ends (a child before its parent).
  EXPECT_EQ(Loaded, (QStringList{"Root>Last", "Grandchild>Root", "Child>Grandchild", "Last"}));
  for (int I = 0; I < Copy->ComponentCount(); ++I)
    EXPECT_TRUE(Copy->Components(I)->ComponentState().Empty()) << I;
}

// The text form carries every kind as well: binary -> text -> binary gives
// the same bytes, and the component read from it writes them again.
TEST(ReaderTest, RoundTripOfEveryKindThroughTheTextForm) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  std::unique_ptr<TProbe, void (*)(TProbe*)> Original(makeRichProbe(), [](TProbe* P) { P->Free(); });
  const QByteArray Bytes = written(Original.get());
  const QByteArray FromText = binaryOf(asText(Bytes).toUtf8());
  EXPECT_EQ(FromText.toHex(), Bytes.toHex());
  auto Input = streamOf(FromText);
  std::unique_ptr<TProbe, void (*)(TProbe*)> Copy(static_cast<TProbe*>(Input->ReadComponent(nullptr)),
                                                  [](TProbe* P) { P->Free(); });
  EXPECT_EQ(written(Copy.get()), Bytes);
}

TEST(ReaderTest, ReadsIntoAGivenInstanceOfTheStreamsClassOnly) {
  TFoo Source(nullptr);
  Source.SetName(QStringLiteral("F1"));
  Source.FWidth = 5;
  const QByteArray Bytes = written(&Source);

  TFoo Target(nullptr);
  auto Input = streamOf(Bytes);
  EXPECT_EQ(Input->ReadComponent(&Target), &Target);
  EXPECT_EQ(Target.Name(), QStringLiteral("F1"));
  EXPECT_EQ(Target.FWidth, 5);

  TProbe Other(nullptr);
  Input->SetPosition(0);
  EXPECT_RAISES(Input->ReadComponent(&Other), EReadError, "Cannot read a TFoo into a TProbe");
}

TEST(ReaderTest, ClassesComeFromTheRegistryOrTheHook) {
  TFoo Source(nullptr);
  const QByteArray Bytes = written(&Source);
  auto Input = streamOf(Bytes);
  EXPECT_RAISES(Input->ReadComponent(nullptr), EClassNotFound, "Class TFoo not found");

  Input->SetPosition(0);
  TReader Reader(Input.get());
  Reader.OnFindComponentClass = TFindComponentClassEvent([](TReader*, const String& Name, TClass& Class) {
    if (Name == QStringLiteral("TFoo")) Class = TFoo::StaticClass();
  });
  TComponent* Root = Reader.ReadRootComponent(nullptr);
  EXPECT_TRUE(Is<TFoo>(Root));
  Root->Free();
}

TEST(ReaderTest, AcceptsTheTagsWritersDoNotEmit) {
  struct Case {
    const char* Name;
    const char* Value;  // the hex bytes of a value
    double Expected;
  } Floats[] = {
      {"extended 1.5", "05" "00000000000000c0ff3f", 1.5},
      {"extended -0.25", "05" "0000000000000080fdbf", -0.25},
      {"extended 0", "05" "00000000000000000000", 0},
      {"single", "0f" "0000c03f", 1.5},
      {"integer", "0205", 5},
  };
  for (const Case& C : Floats) {
    SCOPED_TRACE(C.Name);
    auto Input = streamOf(QByteArray::fromHex(C.Value));
    TReader Reader(Input.get());
    EXPECT_EQ(Reader.ReadFloat(), C.Expected);
  }
  // vaWString: a count of UTF-16LE units.
  auto Input = streamOf(QByteArray::fromHex("12020000001604" "3000"));
  TReader Reader(Input.get());
  EXPECT_EQ(Reader.ReadString(), QStringLiteral("Ж0"));
}

TEST(ReaderTest, ReferencesAndChildrenFollowTheHooks) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  std::unique_ptr<TProbe, void (*)(TProbe*)> Original(makeRichProbe(), [](TProbe* P) { P->Free(); });
  auto Input = streamOf(written(Original.get()));
  TReader Reader(Input.get());
  QStringList Created;
  Reader.OnCreateComponent = TCreateComponentEvent([&](TReader* R, TClass Class, TComponent*& Component) {
    Component = Class->Create(R->Owner());
    Created << Class->ClassName();
  });
  Reader.OnSetName = TSetNameEvent([](TReader*, TComponent*, String& Name) { Name += QStringLiteral("2"); });
  auto* Root = static_cast<TProbe*>(Reader.ReadRootComponent(nullptr));
  std::unique_ptr<TProbe, void (*)(TProbe*)> Guard(Root, [](TProbe* P) { P->Free(); });
  EXPECT_EQ(Created, QStringList(3, QStringLiteral("TProbe")));
  EXPECT_EQ(Root->Name(), QStringLiteral("Root2"));
  // References keep the names the stream gives, so renamed components are
  // not found; "Owner" still is.
  EXPECT_EQ(Root->FBuddy, nullptr);
  EXPECT_TRUE(Root->FindComponent(QStringLiteral("Last2")));
  EXPECT_EQ(static_cast<TProbe*>(Root->FindComponent(QStringLiteral("Grandchild2")))->FBuddy, Root);
}

// ---------------------------------------------------------------------------
// Descendants

TEST(DescendentTest, AncestorWriteEmitsOnlyDifferencesAndReadsBack) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  auto Build = [](TProbe* Root) {
    Root->SetName(QStringLiteral("Form"));
    Root->FWidth = 5;
    Root->FCaption = QStringLiteral("Base");
    Root->FFont->FName = QStringLiteral("Arial");
    Root->FLines->Add(QStringLiteral("a"));
    static_cast<TProbeItem*>(Root->FItems->Add())->FCaption = QStringLiteral("x");
    for (const char* Name : {"A", "B"}) {
      auto* Child = new TProbe(Root);
      Child->SetName(QString::fromLatin1(Name));
      Child->FParent = Root;
      Child->FCount = 1;
    }
  };
  std::unique_ptr<TProbe, void (*)(TProbe*)> Ancestor(new TProbe(nullptr), [](TProbe* P) { P->Free(); });
  std::unique_ptr<TProbe, void (*)(TProbe*)> Descendant(new TProbe(nullptr), [](TProbe* P) { P->Free(); });
  Build(Ancestor.get());
  Build(Descendant.get());
  Descendant->FCaption = QStringLiteral("Derived");
  Descendant->FFont->FSize = 10;
  auto* B = static_cast<TProbe*>(Descendant->FindComponent(QStringLiteral("B")));
  B->FWidth = 7;
  B->FBuddy = Descendant->FindComponent(QStringLiteral("A"));
  auto* C = new TProbe(Descendant.get());
  C->SetName(QStringLiteral("C"));
  C->FParent = Descendant.get();
  // New before B: C carries its position, as does B after it.
  C->SetComponentIndex(1);

  const QByteArray Difference = written(Descendant.get(), Ancestor.get());
  EXPECT_EQ(asText(Difference), QStringLiteral("inherited Form: TProbe\r\n"
                                               "  Caption = 'Derived'\r\n"
                                               "  Font.Size = 10\r\n"
                                               "  inherited A: TProbe\r\n"
                                               "  end\r\n"
                                               "  object C: TProbe [1]\r\n"
                                               "    Count = 0\r\n"
                                               "    Items = <>\r\n"
                                               "  end\r\n"
                                               "  inherited B: TProbe\r\n"
                                               "    Width = 7\r\n"
                                               "    Buddy = A\r\n"
                                               "  end\r\n"
                                               "end\r\n"));

  // The ancestor's stream, then the differences, rebuild the descendant.
  std::unique_ptr<TProbe, void (*)(TProbe*)> Rebuilt(new TProbe(nullptr), [](TProbe* P) { P->Free(); });
  auto AncestorStream = streamOf(written(Ancestor.get()));
  AncestorStream->ReadComponent(Rebuilt.get());
  auto DifferenceStream = streamOf(Difference);
  DifferenceStream->ReadComponent(Rebuilt.get());
  EXPECT_EQ(asText(written(Rebuilt.get())), asText(written(Descendant.get())));
  EXPECT_EQ(static_cast<TProbe*>(Rebuilt->FindComponent(QStringLiteral("B")))->FBuddy,
            Rebuilt->FindComponent(QStringLiteral("A")));

  // An inherited component the root lacks.
  std::unique_ptr<TProbe, void (*)(TProbe*)> Empty(new TProbe(nullptr), [](TProbe* P) { P->Free(); });
  DifferenceStream->SetPosition(0);
  EXPECT_RAISES(DifferenceStream->ReadComponent(Empty.get()), EReadError, "Ancestor for 'A' not found");
  DifferenceStream->SetPosition(0);
  TReader Reader(DifferenceStream.get());
  QStringList Missing;
  Reader.OnAncestorNotFound = TAncestorNotFoundEvent(
      [&](TReader* R, const String& Name, TClass Class, TComponent*& Component) {
        Missing << Name;
        Component = Class->Create(R->Root());
        Component->SetName(Name);
      });
  Reader.ReadRootComponent(Empty.get());
  EXPECT_EQ(Missing, (QStringList{"A", "B"}));
  EXPECT_EQ(Empty->ComponentCount(), 3);
}

// ---------------------------------------------------------------------------
// Bad input

TEST(ReaderTest, UnknownPropertyBadTagAndBadSignature) {
  TClassRegistrationScope Classes({TFoo::StaticClass()});
  const QByteArray Head = QByteArray::fromHex("54504630" "0454466f6f" "024631");
  struct Case {
    const char* Name;
    QByteArray Bytes;
    const char* Message;
  } Cases[] = {
      {"unknown property", Head + QByteArray::fromHex("05426f67757302050000"),
       "Error reading F1.Bogus: Property Bogus does not exist"},
      {"unknown sub-object", Head + QByteArray::fromHex("0a466f6e742e5769647468020500 00"),
       "Error reading F1.Font.Width: Property Font does not exist"},
      {"bad tag", Head + QByteArray::fromHex("055769647468630000"),
       "Error reading F1.Width: Invalid property value"},
      {"string for an integer", Head + QByteArray::fromHex("05576964746806017800 00"),
       "Error reading F1.Width: Invalid property value"},
      {"truncated value", Head + QByteArray::fromHex("05576964746803"),
       "Error reading F1.Width: Stream read error"},
      {"truncated name", Head.left(Head.size() - 1), "Stream read error"},
      {"signature", QByteArray::fromHex("54504631") + Head.mid(4), "Invalid stream format"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto Input = streamOf(C.Bytes);
    EXPECT_RAISES(Input->ReadComponent(nullptr), EReadError, C.Message);
  }
}

TEST(ReaderTest, OnErrorAndOnPropertyNotFoundSkipOrRedirectValues) {
  TClassRegistrationScope Classes({TFoo::StaticClass()});
  // Bogus = (1 'x'); Old = 6; Gone = 8; Width = 'bad'
  const QByteArray Bytes = QByteArray::fromHex(
      "54504630" "0454466f6f" "024631"
      "05426f677573" "01" "0201" "060178" "00"
      "034f6c64" "0206"
      "04476f6e65" "0208"
      "055769647468" "0603626164"
      "0000");
  auto Input = streamOf(Bytes);
  TReader Reader(Input.get());
  QStringList Errors;
  Reader.OnError = TReaderError([&](TReader*, const String& Message, bool& Handled) {
    Errors << Message;
    Handled = true;
  });
  Reader.OnPropertyNotFound = TPropertyNotFoundEvent(
      [](TReader*, TPersistent*, String& Name, bool, bool& Handled, bool& Skip) {
        if (Name == QStringLiteral("Old")) {
          Name = QStringLiteral("Width");
          Handled = true;
        }
        Skip = Name == QStringLiteral("Gone");
      });
  TFoo Foo(nullptr);
  Reader.ReadRootComponent(&Foo);
  EXPECT_EQ(Foo.FWidth, 6);
  EXPECT_EQ(Errors, (QStringList{"Error reading F1.Bogus: Property Bogus does not exist",
                                 "Error reading F1.Width: Invalid property value"}));
}

TEST(ReaderTest, OnErrorSkipsAComponentItCannotCreate) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  const QByteArray Bytes = binaryOf(
      "object Root: TProbe\r\n"
      "  object Ghost: TGhost\r\n"
      "    Width = 1\r\n"
      "    object Inner: TProbe\r\n"
      "    end\r\n"
      "  end\r\n"
      "  object Kept: TProbe\r\n"
      "    Width = 2\r\n"
      "  end\r\n"
      "end\r\n");
  auto Input = streamOf(Bytes);
  EXPECT_RAISES(Input->ReadComponent(nullptr), EClassNotFound, "Class TGhost not found");
  EXPECT_EQ(TProbe::Live, 0);

  Input->SetPosition(0);
  TReader Reader(Input.get());
  QStringList Errors;
  Reader.OnError = TReaderError([&](TReader*, const String& Message, bool& Handled) {
    Errors << Message;
    Handled = true;
  });
  std::unique_ptr<TComponent, void (*)(TComponent*)> Root(Reader.ReadRootComponent(nullptr),
                                                          [](TComponent* C) { C->Free(); });
  EXPECT_EQ(Errors, QStringList{"Class TGhost not found"});
  ASSERT_EQ(Root->ComponentCount(), 1);
  EXPECT_EQ(static_cast<TProbe*>(Root->Components(0))->FWidth, 2);
}

// A collection read again frees its items; references still waiting to be
// set in them must go with them.
TEST(ReaderTest, CollectionReadTwiceDropsReferencesIntoItsOldItems) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  const QByteArray Bytes = binaryOf(
      "object Root: TProbe\r\n"
      "  Items = <\r\n"
      "    item\r\n"
      "      Link = Owner\r\n"
      "    end>\r\n"
      "  Items = <\r\n"
      "    item\r\n"
      "      Caption = 'second'\r\n"
      "    end>\r\n"
      "end\r\n");
  auto Input = streamOf(Bytes);
  std::unique_ptr<TProbe, void (*)(TProbe*)> Root(static_cast<TProbe*>(Input->ReadComponent(nullptr)),
                                                  [](TProbe* P) { P->Free(); });
  ASSERT_EQ(Root->FItems->Count(), 1);
  EXPECT_EQ(Root->Item(0)->FCaption, QStringLiteral("second"));
  EXPECT_EQ(Root->Item(0)->FLink, nullptr);
}

TEST(ReaderTest, CountsBeyondTheBytesLeftRaiseBeforeAllocating) {
  const char* Values[] = {
      "0cffffff7f",          // long string
      "14ffffff7f41",        // UTF-8 string
      "12ffffff3f4100",      // wide string: count * 2 overflows nothing either
      "0affffffff",          // binary, negative count
      "0a0500000001020304",  // binary, one byte short
  };
  for (const char* Value : Values) {
    SCOPED_TRACE(Value);
    auto Input = streamOf(QByteArray::fromHex(Value));
    TReader Reader(Input.get());
    EXPECT_RAISES(Value[1] == 'a' ? (void)Reader.ReadBinary() : (void)Reader.ReadString(), EReadError,
                  "Stream read error");
    Input->SetPosition(0);
    TReader Skipper(Input.get());
    EXPECT_RAISES(Skipper.SkipValue(), EReadError, "Stream read error");
  }
}

TEST(ReaderTest, DeepNestingIsRefused) {
  QByteArray Bytes(MaxStreamNesting + 1, char(vaList));
  Bytes += QByteArray(MaxStreamNesting + 1, char(vaNull));
  auto Input = streamOf(Bytes);
  TReader Reader(Input.get());
  EXPECT_RAISES(Reader.SkipValue(), EReadError, "Stream nesting exceeds 256 levels");
  Input->SetPosition(1);
  TReader Shallower(Input.get());
  Shallower.SkipValue();
  EXPECT_EQ(Shallower.Position(), Bytes.size() - 1);
}

TEST(ReaderTest, EveryTruncationRaisesReadErrorAndLeaksNothing) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  std::unique_ptr<TProbe, void (*)(TProbe*)> Original(makeRichProbe(), [](TProbe* P) { P->Free(); });
  const QByteArray Bytes = written(Original.get());
  const int LiveBefore = TProbe::Live;
  for (qsizetype Length = 0; Length < Bytes.size(); ++Length) {
    SCOPED_TRACE(Length);
    auto Input = streamOf(Bytes.left(Length));
    EXPECT_THROW(Input->ReadComponent(nullptr), EReadError);
    EXPECT_EQ(TProbe::Live, LiveBefore);
  }
}

// Every byte replaced by a few hostile values: the reader may succeed or
// raise one of the runtime's exceptions, but never crash or leak.
TEST(ReaderTest, CorruptedBytesNeverCrash) {
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  std::unique_ptr<TProbe, void (*)(TProbe*)> Original(makeRichProbe(), [](TProbe* P) { P->Free(); });
  const QByteArray Bytes = written(Original.get());
  const int LiveBefore = TProbe::Live;
  for (qsizetype I = 0; I < Bytes.size(); ++I)
    for (char Replacement : {'\x00', '\x01', '\x7f', '\xff', char(Bytes[I] + 1)}) {
      QByteArray Corrupt = Bytes;
      Corrupt[I] = Replacement;
      auto Input = streamOf(Corrupt);
      try {
        Input->ReadComponent(nullptr)->Free();
      } catch (const Exception&) {
      }
      ASSERT_EQ(TProbe::Live, LiveBefore) << "byte " << I;
    }
}

// ---------------------------------------------------------------------------
// Stream positions

TEST(FilerTest, RawCountsAroundWriterAndReaderRuns) {
  TMemoryStream Stream;
  Stream.WriteInt32(2);
  for (Integer Value : {7, 300}) {
    TWriter Writer(&Stream);
    Writer.WriteInteger(Value);
  }
  Stream.WriteInt32(-1);
  Stream.SetPosition(0);
  const Integer Count = Stream.ReadInt32();
  std::vector<Integer> Values;
  for (Integer I = 0; I < Count; ++I) {
    TReader Reader(&Stream);
    Values.push_back(Reader.ReadInteger());
  }
  EXPECT_EQ(Values, (std::vector<Integer>{7, 300}));
  EXPECT_EQ(Stream.ReadInt32(), -1);
}

TEST(FilerTest, SmallBuffersGiveTheSameBytes) {
  std::unique_ptr<TProbe, void (*)(TProbe*)> Original(makeRichProbe(), [](TProbe* P) { P->Free(); });
  const QByteArray Expected = written(Original.get());
  TMemoryStream Stream;
  {
    TWriter Writer(&Stream, 3);
    Writer.WriteRootComponent(Original.get());
  }
  EXPECT_EQ(bytesOf(Stream), Expected);
  Stream.SetPosition(0);
  TClassRegistrationScope Classes({TProbe::StaticClass()});
  TReader Reader(&Stream, 5);
  TComponent* Copy = Reader.ReadRootComponent(nullptr);
  EXPECT_EQ(written(Copy), Expected);
  Copy->Free();
}

}  // namespace
