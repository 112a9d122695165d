#include "platform/rtl/typinfo.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/variant.h"

#include "tests/support/testing.h"

#include <QStringList>

namespace {

RTL_ENUM(TProbeAlign, paNone, paTop, paBottom, paClient)
RTL_ENUM(TProbeStyle, psBold,
         psItalic,  // line breaks and comments inside the list are fine
         psUnderline)
using TProbeStyles = TSet<TProbeStyle>;

const TIdentMapEntry ProbeColors[] = {{0x0000FF, "clRed"}, {0xFF0000, "clBlue"}};

// One published property of every kind.
class TProbe : public TComponent {
  RTL_CLASS(TProbe, TComponent)
public:
  explicit TProbe(TComponent* AOwner) : TComponent(AOwner) {}

  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  Integer GetWidth() const { return FWidth; }
  void SetWidth(Integer Value) { FWidth = Value; }
  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value) { FCaption = Value; }
  int Count() const { return 3; }
  bool IsHintStored() const { return FHint != QStringLiteral("auto"); }
  void Click(TObject*) {}

  TProbeAlign FAlign = paNone;
  TProbeStyles FStyle{psBold};
  Int64 FBig = 0;
  Char FLetter = u'A';
  double FRatio = 0;
  Currency FPrice;
  TDateTime FStarted = 0;
  AnsiString FCode;
  String FHint;
  TComponent* FBuddy = nullptr;
  TNotifyEvent FOnClick;
  Variant FData;
  Integer FColor = 0xFF;
  Integer FHalf = 0;

  static void DescribeProperties(TPropertyTable& P) {
    P.Add("Align", &TProbe::FAlign, &TProbe::FAlign).Default(paNone);
    P.Add("Visible", &TProbe::GetVisible, &TProbe::SetVisible).Default(true);
    P.Add("Style", &TProbe::FStyle, &TProbe::FStyle).Default(TProbeStyles{psBold});
    P.Add("Width", &TProbe::GetWidth, &TProbe::SetWidth).Default(64);
    P.Add("Big", &TProbe::FBig, &TProbe::FBig);
    P.Add("Letter", &TProbe::FLetter, &TProbe::FLetter).Default(Char(u'A'));
    P.Add("Ratio", &TProbe::FRatio, &TProbe::FRatio);
    P.Add("Price", &TProbe::FPrice, &TProbe::FPrice);
    P.Add("Started", &TProbe::FStarted, &TProbe::FStarted).AsDateTime();
    P.Add("Caption", &TProbe::GetCaption, &TProbe::SetCaption);
    P.Add("Code", &TProbe::FCode, &TProbe::FCode);
    P.Add("Hint", &TProbe::FHint, &TProbe::FHint).Stored(&TProbe::IsHintStored);
    P.Add("Buddy", &TProbe::FBuddy, &TProbe::FBuddy);
    P.Add("OnClick", &TProbe::FOnClick, &TProbe::FOnClick);
    P.Add("Data", &TProbe::FData, &TProbe::FData);
    P.Add("Color", &TProbe::FColor, &TProbe::FColor).Default(0xFF).Idents(ProbeColors);
    P.Add("Count", &TProbe::Count);
    P.Add<TProbe>(
         "Double", [](TProbe* O) { return O->FHalf * 2; }, [](TProbe* O, Integer V) { O->FHalf = V / 2; })
        .Default(0);
  }

private:
  bool FVisible = true;
  Integer FWidth = 64;
  String FCaption;
};

// Changes an inherited default and adds one property.
class TWideProbe : public TProbe {
  RTL_CLASS(TWideProbe, TProbe)
public:
  explicit TWideProbe(TComponent* AOwner) : TProbe(AOwner) { SetWidth(100); }
  Integer FExtra = 1;
  static void DescribeProperties(TPropertyTable& P) {
    P.Override("Width").Default(100);
    P.Add("Extra", &TWideProbe::FExtra, &TWideProbe::FExtra).Default(1);
  }
};

// Publishes nothing of its own.
class TPlainWideProbe : public TWideProbe {
  RTL_CLASS(TPlainWideProbe, TWideProbe)
public:
  using TWideProbe::TWideProbe;
};

// Publishes an inherited name anew with another type.
class TRetypedProbe : public TProbe {
  RTL_CLASS(TRetypedProbe, TProbe)
public:
  using TProbe::TProbe;
  Integer FCaptionNumber = 0;
  static void DescribeProperties(TPropertyTable& P) {
    P.Redeclare("Caption", &TRetypedProbe::FCaptionNumber, &TRetypedProbe::FCaptionNumber).Default(0);
  }
};

QStringList names(const std::vector<const TPropInfo*>& List) {
  QStringList Names;
  for (const TPropInfo* P : List) Names << P->Name;
  return Names;
}

TEST(PropertyTableTest, ParentPropertiesComeFirstAndOverridesKeepTheirPlace) {
  const QStringList Own = {"Name",    "Tag",  "Align", "Visible", "Style",   "Width", "Big",  "Letter",
                           "Ratio",   "Price", "Started", "Caption", "Code", "Hint",  "Buddy", "OnClick",
                           "Data",    "Color", "Count", "Double"};
  EXPECT_EQ(names(GetPropList(TProbe::StaticClass())), Own);
  EXPECT_EQ(names(GetPropList(TWideProbe::StaticClass())), QStringList(Own) << "Extra");
  EXPECT_EQ(names(GetPropList(TPlainWideProbe::StaticClass())), QStringList(Own) << "Extra");

  // Inherited entries are shared; the overridden one is the descendant's own.
  EXPECT_EQ(GetPropInfo(TWideProbe::StaticClass(), QStringLiteral("Align")),
            GetPropInfo(TProbe::StaticClass(), QStringLiteral("Align")));
  const TPropInfo* Width = GetPropInfo(TProbe::StaticClass(), QStringLiteral("Width"));
  const TPropInfo* WideWidth = GetPropInfo(TWideProbe::StaticClass(), QStringLiteral("width"));
  EXPECT_NE(Width, WideWidth);
  EXPECT_EQ(Width->Default, 64);
  EXPECT_EQ(WideWidth->Default, 100);

  EXPECT_EQ(GetPropInfo(TProbe::StaticClass(), QStringLiteral("Nope")), nullptr);
  EXPECT_TRUE(IsPublishedProp(TProbe::StaticClass(), QStringLiteral("onclick")));
  EXPECT_FALSE(IsPublishedProp(TComponent::StaticClass(), QStringLiteral("Align")));
}

TEST(PropertyTableTest, RedeclaredPropertyKeepsItsPlaceWithItsNewType) {
  EXPECT_EQ(names(GetPropList(TRetypedProbe::StaticClass())), names(GetPropList(TProbe::StaticClass())));
  const TPropInfo* Caption = GetPropInfo(TRetypedProbe::StaticClass(), QStringLiteral("Caption"));
  EXPECT_EQ(Caption->Kind(), tkInteger);
  EXPECT_EQ(GetPropInfo(TProbe::StaticClass(), QStringLiteral("Caption"))->Kind(), tkString);
  TRetypedProbe Probe(nullptr);
  SetOrdProp(&Probe, QStringLiteral("Caption"), 12);
  EXPECT_EQ(Probe.FCaptionNumber, 12);
}

TEST(PropertyTableTest, KindsAndTypeInfoFollowTheValueTypes) {
  struct Case {
    const char* Prop;
    TTypeKind Kind;
    const char* TypeName;
  } Cases[] = {
      {"Tag", tkInt64, "Int64"},        {"Align", tkEnumeration, "TProbeAlign"},
      {"Visible", tkEnumeration, "Boolean"}, {"Style", tkSet, "set of TProbeStyle"},
      {"Width", tkInteger, "Integer"},  {"Letter", tkChar, "Char"},
      {"Ratio", tkFloat, "Double"},     {"Price", tkFloat, "Currency"},
      {"Started", tkFloat, "TDateTime"}, {"Caption", tkString, "String"},
      {"Code", tkString, "AnsiString"}, {"Buddy", tkClass, "TComponent"},
      {"OnClick", tkMethod, "TMethod"}, {"Data", tkVariant, "Variant"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Prop);
    const TPropInfo* P = GetPropInfo(TProbe::StaticClass(), QString::fromLatin1(C.Prop));
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->Kind(), C.Kind);
    EXPECT_EQ(P->PropType->Name, QString::fromLatin1(C.TypeName));
  }
  const TTypeInfo* Align = TypeInfo<TProbeAlign>();
  EXPECT_EQ(Align->MinValue(), 0);
  EXPECT_EQ(Align->MaxValue(), 3);
  EXPECT_EQ(TypeInfo<TProbeStyles>()->CompType, TypeInfo<TProbeStyle>());
  EXPECT_EQ(GetPropInfo(TProbe::StaticClass(), QStringLiteral("Buddy"))->PropType->ClassType,
            TComponent::StaticClass());
  EXPECT_EQ(GetPropInfo(TProbe::StaticClass(), QStringLiteral("Price"))->PropType->FloatType, TFloatType::ftCurr);
}

TEST(EnumNamesTest, NamesAndValuesBothWays) {
  const TTypeInfo* Style = TypeInfo<TProbeStyle>();
  EXPECT_EQ(GetEnumName(Style, psItalic), QStringLiteral("psItalic"));
  EXPECT_EQ(GetEnumName(Style, psUnderline), QStringLiteral("psUnderline"));
  EXPECT_EQ(GetEnumName(Style, -1), QString());
  EXPECT_EQ(GetEnumName(Style, 3), QString());
  EXPECT_EQ(GetEnumValue(Style, QStringLiteral("PSITALIC")), 1);
  EXPECT_EQ(GetEnumValue(Style, QStringLiteral("psStrike")), -1);
  EXPECT_EQ(GetEnumValue(Style, QString()), -1);
  EXPECT_EQ(GetEnumName(TypeInfo<bool>(), 1), QStringLiteral("True"));
  EXPECT_EQ(GetEnumValue(TypeInfo<bool>(), QStringLiteral("false")), 0);

  Integer Color = 0;
  EXPECT_TRUE(IdentToInt(QStringLiteral("CLBLUE"), Color, ProbeColors));
  EXPECT_EQ(Color, 0xFF0000);
  EXPECT_FALSE(IdentToInt(QStringLiteral("clGreen"), Color, ProbeColors));
  String Ident;
  EXPECT_TRUE(IntToIdent(0x0000FF, Ident, ProbeColors));
  EXPECT_EQ(Ident, QStringLiteral("clRed"));
  EXPECT_FALSE(IntToIdent(1, Ident, ProbeColors));
}

class PropertyAccessTest : public ::testing::Test {
protected:
  TProbe Probe{nullptr};
};

TEST_F(PropertyAccessTest, TypedAccessByName) {
  SetOrdProp(&Probe, QStringLiteral("width"), 12);
  EXPECT_EQ(Probe.GetWidth(), 12);
  EXPECT_EQ(GetOrdProp(&Probe, QStringLiteral("Width")), 12);
  SetOrdProp(&Probe, QStringLiteral("Letter"), u'z');
  EXPECT_EQ(Probe.FLetter, Char(u'z'));
  SetInt64Prop(&Probe, QStringLiteral("Big"), Int64(1) << 40);
  EXPECT_EQ(GetInt64Prop(&Probe, QStringLiteral("Big")), Int64(1) << 40);
  SetInt64Prop(&Probe, QStringLiteral("Tag"), -5);
  EXPECT_EQ(Probe.Tag(), -5);

  SetEnumProp(&Probe, QStringLiteral("Align"), QStringLiteral("paclient"));
  EXPECT_EQ(Probe.FAlign, paClient);
  EXPECT_EQ(GetEnumProp(&Probe, QStringLiteral("Align")), QStringLiteral("paClient"));
  SetEnumProp(&Probe, QStringLiteral("Visible"), QStringLiteral("False"));
  EXPECT_FALSE(Probe.GetVisible());
  EXPECT_EQ(GetEnumProp(&Probe, QStringLiteral("Visible")), QStringLiteral("False"));

  SetSetProp(&Probe, QStringLiteral("Style"), QStringLiteral(" [ psUnderline , psBold ] "));
  EXPECT_EQ(Probe.FStyle, TProbeStyles({psBold, psUnderline}));
  EXPECT_EQ(GetSetProp(&Probe, QStringLiteral("Style")), QStringLiteral("psBold,psUnderline"));
  EXPECT_EQ(GetSetProp(&Probe, QStringLiteral("Style"), /*Brackets=*/true), QStringLiteral("[psBold,psUnderline]"));
  SetSetProp(&Probe, QStringLiteral("Style"), QStringLiteral("[]"));
  EXPECT_TRUE(Probe.FStyle.Empty());
  EXPECT_EQ(GetSetProp(&Probe, QStringLiteral("Style"), true), QStringLiteral("[]"));

  SetFloatProp(&Probe, QStringLiteral("Ratio"), 2.5);
  EXPECT_EQ(GetFloatProp(&Probe, QStringLiteral("Ratio")), 2.5);
  SetFloatProp(&Probe, QStringLiteral("Price"), 1.2345);
  EXPECT_EQ(Probe.FPrice, Currency(1.2345));
  SetStrProp(&Probe, QStringLiteral("Caption"), QStringLiteral("Привет"));
  EXPECT_EQ(Probe.GetCaption(), QStringLiteral("Привет"));
  SetStrProp(&Probe, QStringLiteral("Code"), QStringLiteral("Код"));
  EXPECT_EQ(Probe.FCode.Length(), 3);
  EXPECT_EQ(GetStrProp(&Probe, QStringLiteral("Code")), QStringLiteral("Код"));

  TComponent Buddy(nullptr);
  SetObjectProp(&Probe, QStringLiteral("Buddy"), &Buddy);
  EXPECT_EQ(GetObjectProp(&Probe, QStringLiteral("Buddy")), &Buddy);

  TNotifyEvent Click(&Probe, &TProbe::Click);
  SetMethodProp(&Probe, QStringLiteral("OnClick"), Click.Method());
  EXPECT_EQ(Probe.FOnClick, Click);
  EXPECT_EQ(TNotifyEvent::FromMethod(GetMethodProp(&Probe, QStringLiteral("OnClick"))), Click);

  SetOrdProp(&Probe, QStringLiteral("Double"), 8);
  EXPECT_EQ(Probe.FHalf, 4);
  EXPECT_EQ(GetOrdProp(&Probe, QStringLiteral("Double")), 8);
}

TEST_F(PropertyAccessTest, BadNamesKindsAndValuesRaise) {
  EXPECT_RAISES(GetOrdProp(&Probe, QStringLiteral("Nope")), EPropertyError, "Property Nope does not exist");
  EXPECT_RAISES(SetStrProp(&Probe, QStringLiteral("Nope"), QString()), EPropertyError, "Property Nope does not exist");
  EXPECT_RAISES(GetStrProp(&Probe, QStringLiteral("Width")), EPropertyError, "Invalid property type: Integer");
  EXPECT_RAISES(GetOrdProp(&Probe, QStringLiteral("Caption")), EPropertyError, "Invalid property type: String");
  EXPECT_RAISES(GetEnumProp(&Probe, QStringLiteral("Style")), EPropertyError,
                "Invalid property type: set of TProbeStyle");
  EXPECT_RAISES(SetOrdProp(&Probe, QStringLiteral("Count"), 1), EPropertyError, "Property Count is read-only");
  EXPECT_RAISES(SetEnumProp(&Probe, QStringLiteral("Align"), QStringLiteral("paLeft")), EPropertyConvertError,
                "Invalid property element: paLeft");
  EXPECT_RAISES(SetEnumProp(&Probe, QStringLiteral("Align"), QStringLiteral("1")), EPropertyConvertError,
                "Invalid property element: 1");
  EXPECT_RAISES(SetSetProp(&Probe, QStringLiteral("Style"), QStringLiteral("[psBold,psStrike]")),
                EPropertyConvertError, "Invalid property element: psStrike");
  EXPECT_EQ(Probe.FStyle, TProbeStyles({psBold})) << "a bad element changes nothing";
  TCollection NotAComponent(TCollectionItem::StaticClass());
  EXPECT_RAISES(SetObjectProp(&Probe, QStringLiteral("Buddy"), &NotAComponent), EInvalidCast,
                "Invalid class typecast");
  SetObjectProp(&Probe, QStringLiteral("Buddy"), nullptr);
}

TEST_F(PropertyAccessTest, VariantAccessByName) {
  EXPECT_EQ(VarType(GetPropValue(&Probe, QStringLiteral("Visible"))), varBoolean);
  EXPECT_EQ(VarToStr(GetPropValue(&Probe, QStringLiteral("Align"))), QStringLiteral("paNone"));
  EXPECT_EQ(GetPropValue(&Probe, QStringLiteral("Align"), /*PreferStrings=*/false).AsInteger(), 0);
  EXPECT_EQ(VarToStr(GetPropValue(&Probe, QStringLiteral("Style"))), QStringLiteral("psBold"));
  EXPECT_EQ(GetPropValue(&Probe, QStringLiteral("Width")).AsInteger(), 64);
  EXPECT_EQ(VarType(GetPropValue(&Probe, QStringLiteral("Tag"))), varInt64);
  EXPECT_EQ(VarType(GetPropValue(&Probe, QStringLiteral("Price"))), varCurrency);
  EXPECT_EQ(VarType(GetPropValue(&Probe, QStringLiteral("Started"))), varDate);
  EXPECT_EQ(VarType(GetPropValue(&Probe, QStringLiteral("Ratio"))), varDouble);

  SetPropValue(&Probe, QStringLiteral("Visible"), Variant(false));
  EXPECT_FALSE(Probe.GetVisible());
  SetPropValue(&Probe, QStringLiteral("Visible"), Variant(QStringLiteral("True")));
  EXPECT_TRUE(Probe.GetVisible());
  SetPropValue(&Probe, QStringLiteral("Align"), Variant(QStringLiteral("paTop")));
  EXPECT_EQ(Probe.FAlign, paTop);
  SetPropValue(&Probe, QStringLiteral("Align"), Variant(2));
  EXPECT_EQ(Probe.FAlign, paBottom);
  SetPropValue(&Probe, QStringLiteral("Style"), Variant(QStringLiteral("psItalic")));
  EXPECT_EQ(Probe.FStyle, TProbeStyles({psItalic}));
  SetPropValue(&Probe, QStringLiteral("Color"), Variant(QStringLiteral("clBlue")));
  EXPECT_EQ(Probe.FColor, 0xFF0000);
  SetPropValue(&Probe, QStringLiteral("Color"), Variant(QStringLiteral("12")));
  EXPECT_EQ(Probe.FColor, 12);
  SetPropValue(&Probe, QStringLiteral("Letter"), Variant(QStringLiteral("q")));
  EXPECT_EQ(Probe.FLetter, Char(u'q'));
  SetPropValue(&Probe, QStringLiteral("Caption"), Null());
  EXPECT_EQ(Probe.GetCaption(), QString());
  SetPropValue(&Probe, QStringLiteral("Started"), VarFromDateTime(45431.5));
  EXPECT_EQ(Probe.FStarted, 45431.5);
  SetPropValue(&Probe, QStringLiteral("Data"), Variant(7));
  EXPECT_EQ(GetPropValue(&Probe, QStringLiteral("Data")).AsInteger(), 7);
  EXPECT_THROW(SetPropValue(&Probe, QStringLiteral("Width"), Variant(QStringLiteral("wide"))), EVariantTypeCastError);
  EXPECT_RAISES(GetPropValue(&Probe, QStringLiteral("Buddy")), EPropertyError, "Invalid property type: TComponent");
}

TEST_F(PropertyAccessTest, StoredAndDefaultValues) {
  EXPECT_FALSE(IsStoredProp(&Probe, QStringLiteral("Name")));
  EXPECT_TRUE(IsStoredProp(&Probe, QStringLiteral("Width")));
  EXPECT_TRUE(IsStoredProp(&Probe, QStringLiteral("Hint")));
  Probe.FHint = QStringLiteral("auto");
  EXPECT_FALSE(IsStoredProp(&Probe, QStringLiteral("Hint")));

  auto IsDefault = [&](const char* Name) {
    return IsDefaultPropertyValue(&Probe, GetPropInfo(&Probe, QString::fromLatin1(Name)));
  };
  // A fresh probe: every property at its default except the nodefault Big.
  for (const char* Name : {"Tag", "Align", "Visible", "Style", "Width", "Letter", "Ratio", "Price", "Started",
                           "Caption", "Code", "Buddy", "OnClick", "Data", "Color", "Double"}) {
    SCOPED_TRACE(Name);
    EXPECT_TRUE(IsDefault(Name));
  }
  EXPECT_FALSE(IsDefault("Big"));

  Probe.SetWidth(65);
  Probe.FStyle = {};
  Probe.FRatio = 0.5;
  Probe.SetCaption(QStringLiteral("x"));
  Probe.FBuddy = &Probe;
  Probe.FOnClick = TNotifyEvent(&Probe, &TProbe::Click);
  Probe.FData = Null();
  for (const char* Name : {"Width", "Style", "Ratio", "Caption", "Buddy", "OnClick", "Data"}) {
    SCOPED_TRACE(Name);
    EXPECT_FALSE(IsDefault(Name));
  }
}

// A fresh instance of C made through the constructor its kind of class has;
// nullptr for an abstract class.
TObject* createFresh(TClass C) {
  try {
    if (C->InheritsFrom(TComponent::StaticClass())) return C->Create(static_cast<TComponent*>(nullptr));
    if (C->InheritsFrom(TCollectionItem::StaticClass())) return C->Create(static_cast<TCollection*>(nullptr));
    return C->Create();
  } catch (const EAbstractError&) {
    return nullptr;
  }
}

// The ordinal properties of a fresh instance of C whose values differ from
// their declared defaults, as "Name=value (default d)".
QStringList defaultMismatches(TClass C) {
  TObject* Instance = createFresh(C);
  if (!Instance) return {};
  QStringList Mismatches;
  for (const TPropInfo* P : GetPropList(C)) {
    if (!P->HasDefault) continue;
    const Int64 Value = GetOrdProp(Instance, P);
    if (Value != P->Default) Mismatches << QStringLiteral("%1=%2 (default %3)").arg(P->Name).arg(Value).arg(P->Default);
  }
  Instance->Free();
  return Mismatches;
}

// A transcription error: the constructor and the declared default disagree.
class TMisdeclared : public TComponent {
  RTL_CLASS(TMisdeclared, TComponent)
public:
  using TComponent::TComponent;
  Integer FHeight = 25;
  static void DescribeProperties(TPropertyTable& P) { P.Add("Height", &TMisdeclared::FHeight, &TMisdeclared::FHeight).Default(24); }
};

TEST(PropertyDefaultsTest, FreshInstancesOfEveryRegisteredClassHoldTheirDeclaredDefaults) {
  TClassRegistrationScope Scope({TComponent::StaticClass(), TProbe::StaticClass(), TWideProbe::StaticClass(),
                                 TPlainWideProbe::StaticClass(), TCollectionItem::StaticClass()});
  int Checked = 0;
  ForEachRegisteredClass([&](TClass C) {
    SCOPED_TRACE(C->ClassName().toStdString());
    EXPECT_EQ(defaultMismatches(C), QStringList());
    ++Checked;
  });
  EXPECT_GE(Checked, 5);

  EXPECT_EQ(defaultMismatches(TMisdeclared::StaticClass()), QStringList({"Height=25 (default 24)"}));
}

}  // namespace
