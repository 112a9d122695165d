#include "platform/rtl/stringlist.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/streams.h"

#include "tests/support/testing.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace {

// The lines of L, for whole-list comparisons.
QStringList linesOf(const TStrings& L) {
  QStringList Result;
  for (Integer I = 0; I < L.Count(); ++I) Result << L.Strings(I);
  return Result;
}

void setLines(TStrings& L, const QStringList& Lines) {
  L.Clear();
  for (const String& S : Lines) L.Add(S);
}

// Counts its own destruction.
class TTracked : public TObject {
public:
  explicit TTracked(int& AFreed) : FFreed(AFreed) {}
  ~TTracked() override { ++FFreed; }

private:
  int& FFreed;
};

// Counts the change events of a list.
struct TEventCounter {
  int Changing = 0;
  int Change = 0;
  explicit TEventCounter(TStringList& L) {
    L.OnChanging = TNotifyEvent([this](TObject*) { ++Changing; });
    L.OnChange = TNotifyEvent([this](TObject*) { ++Change; });
  }
};

TEST(StringListTest, EditingAndIndexErrors) {
  TStringList L;
  L.Add("b");
  L.Insert(0, "a");
  L.Insert(2, "d");
  L.Insert(2, "c");
  EXPECT_EQ(linesOf(L), QStringList({"a", "b", "c", "d"}));
  L.Delete(1);
  L.Exchange(0, 2);
  EXPECT_EQ(linesOf(L), QStringList({"d", "c", "a"}));
  L.Move(0, 2);
  EXPECT_EQ(linesOf(L), QStringList({"c", "a", "d"}));
  L.SetStrings(1, "x");
  EXPECT_EQ(L.IndexOf("X"), 1);  // case-insensitive by default
  EXPECT_EQ(L.IndexOf("zz"), -1);

  struct Case {
    const char* Name;
    std::function<void()> Call;
    const char* Message;
  } Cases[] = {
      {"get at count", [&] { L.Strings(3); }, "List index out of bounds (3)"},
      {"get negative", [&] { L.Strings(-1); }, "List index out of bounds (-1)"},
      {"object at count", [&] { L.Objects(3); }, "List index out of bounds (3)"},
      {"insert past count", [&] { L.Insert(4, "e"); }, "List index out of bounds (4)"},
      {"delete at count", [&] { L.Delete(3); }, "List index out of bounds (3)"},
      {"put at count", [&] { L.SetStrings(3, "e"); }, "List index out of bounds (3)"},
      {"exchange", [&] { L.Exchange(0, 3); }, "List index out of bounds (3)"},
      {"move", [&] { L.Move(-1, 0); }, "List index out of bounds (-1)"},
  };
  for (const Case& T : Cases) {
    SCOPED_TRACE(T.Name);
    EXPECT_RAISES(T.Call(), EStringListError, T.Message);
  }
  EXPECT_EQ(linesOf(L), QStringList({"c", "x", "d"}));
}

TEST(StringListTest, ObjectsTravelWithTheirLines) {
  TObject X, Y;
  TStringList L;
  L.AddObject("x", &X);
  L.Add("none");
  L.InsertObject(0, "y", &Y);
  L.Exchange(0, 2);
  L.Move(2, 1);
  EXPECT_EQ(linesOf(L), QStringList({"none", "y", "x"}));
  EXPECT_EQ(L.Objects(0), nullptr);
  EXPECT_EQ(L.Objects(1), &Y);
  EXPECT_EQ(L.IndexOfObject(&X), 2);
  L.CustomSort([](TStringList* List, Integer I1, Integer I2) {
    return Integer(List->Strings(I1).size() - List->Strings(I2).size());
  });
  EXPECT_EQ(linesOf(L), QStringList({"y", "x", "none"}));
  EXPECT_EQ(L.Objects(0), &Y);

  TStringList Copy;
  Copy.SetDelimiter(u';');
  Copy.Add("old");
  Copy.Assign(&L);
  EXPECT_EQ(linesOf(Copy), linesOf(L));
  EXPECT_EQ(Copy.Objects(1), &X);
  EXPECT_EQ(Copy.Delimiter(), Char(u','));

  TPersistent NotAList;
  EXPECT_RAISES(Copy.Assign(&NotAList), EConvertError, "Cannot assign a TPersistent to a TStringList");
  EXPECT_RAISES(Copy.Assign(nullptr), EConvertError, "Cannot assign a nil to a TStringList");
  EXPECT_EQ(Copy.Count(), 3);
}

TEST(StringListTest, TextSplitsAtEveryLineBreak) {
  struct Case {
    const char* Name;
    String Text;
    QStringList Lines;
  } Cases[] = {
      {"mixed breaks", "a\nb\rc", {"a", "b", "c"}},
      {"crlf", "a\r\nb", {"a", "b"}},
      {"trailing break adds no line", "a\r\n", {"a"}},
      {"empty", "", {}},
      {"one break", "\r\n", {""}},
      {"cr then crlf", "a\r\r\nb", {"a", "", "b"}},
      {"lf then cr", "a\n\rb", {"a", "", "b"}},
      {"blank lines kept", "\n\n x \n", {"", "", " x "}},
  };
  TStringList L;
  for (const Case& T : Cases) {
    SCOPED_TRACE(T.Name);
    L.SetText(T.Text);
    EXPECT_EQ(linesOf(L), T.Lines);
  }
  setLines(L, {"a", "", "b"});
  EXPECT_EQ(L.Text(), "a\r\n\r\nb\r\n");
  L.Clear();
  EXPECT_EQ(L.Text(), "");
}

TEST(StringListTest, CommaTextWritesAndReadsBack) {
  struct Case {
    const char* Name;
    QStringList Lines;
    String Text;
  } Cases[] = {
      {"blank, empty and quote", {"a b", "", "x\"y", "c"}, "\"a b\",,\"x\"\"y\",c"},
      {"one empty item", {""}, "\"\""},
      {"two empty items", {"", ""}, ","},
      {"no items", {}, ""},
      {"delimiter inside", {"a,b", "c"}, "\"a,b\",c"},
      {"control char", {"t\tu"}, "\"t\tu\""},
      {"leading quote", {"\"q"}, "\"\"\"q\""},
      {"plain", {"x", "y"}, "x,y"},
  };
  TStringList L;
  for (const Case& T : Cases) {
    SCOPED_TRACE(T.Name);
    setLines(L, T.Lines);
    EXPECT_EQ(L.CommaText(), T.Text);
    L.SetCommaText(T.Text);
    EXPECT_EQ(linesOf(L), T.Lines);
  }
}

TEST(StringListTest, CommaTextReadsLooseInput) {
  struct Case {
    const char* Name;
    String Text;
    QStringList Lines;
  } Cases[] = {
      {"blanks separate", "a b", {"a", "b"}},
      {"blanks around delimiters", "  a ,  b  ", {"a", "b"}},
      {"trailing delimiter", "a,", {"a", ""}},
      {"trailing delimiter after blank", "a, ", {"a"}},
      {"lone delimiter", ",", {"", ""}},
      {"quoted blanks and commas", "\"a, b\" c", {"a, b", "c"}},
      {"text after closing quote", "\"a\"b,c", {"a", "b", "c"}},
      {"unterminated quote", "\"ab,c", {"ab,c"}},
      {"only blanks", " \t ", {}},
  };
  TStringList L;
  for (const Case& T : Cases) {
    SCOPED_TRACE(T.Name);
    L.SetCommaText(T.Text);
    EXPECT_EQ(linesOf(L), T.Lines);
  }
}

TEST(StringListTest, DelimitedTextFollowsTheSettings) {
  TStringList L;
  L.SetDelimiter(u';');
  L.SetQuoteChar(u'\'');
  setLines(L, {"a b", "c;d", "e,f"});
  EXPECT_EQ(L.DelimitedText(), "'a b';'c;d';e,f");
  EXPECT_EQ(L.CommaText(), "\"a b\",c;d,\"e,f\"");  // CommaText keeps its own settings

  L.SetStrictDelimiter(true);
  EXPECT_EQ(L.DelimitedText(), "a b;'c;d';e,f");
  L.SetDelimitedText(" a b ;'x;y' ; ");
  EXPECT_EQ(linesOf(L), QStringList({" a b ", "x;y", " ", " "}));
  L.SetDelimitedText("a;");
  EXPECT_EQ(linesOf(L), QStringList({"a", ""}));
}

TEST(StringListTest, NamesAndValues) {
  TStringList L;
  setLines(L, {"Alpha=1", "Beta=", "Gamma", "Delta=x=y", "Алфавит=я"});
  EXPECT_EQ(L.Names(0), "Alpha");
  EXPECT_EQ(L.Names(2), "");
  EXPECT_EQ(L.Values("ALPHA"), "1");
  EXPECT_EQ(L.Values("Delta"), "x=y");
  EXPECT_EQ(L.Values("алфавит"), "я");
  EXPECT_EQ(L.Values("Gamma"), "");  // a line without a separator has no name
  EXPECT_EQ(L.IndexOfName("gamma"), -1);
  EXPECT_EQ(L.IndexOfName("beta"), 1);
  EXPECT_EQ(L.ValueFromIndex(3), "x=y");
  EXPECT_EQ(L.ValueFromIndex(2), "");
  EXPECT_EQ(L.ValueFromIndex(-1), "");

  L.SetValues("beta", "2");
  EXPECT_EQ(L.Strings(1), "beta=2");
  L.SetValues("Eps", "5");
  EXPECT_EQ(L.Strings(5), "Eps=5");
  L.SetValues("Alpha", "");
  L.SetValues("Missing", "");
  EXPECT_EQ(linesOf(L), QStringList({"beta=2", "Gamma", "Delta=x=y", "Алфавит=я", "Eps=5"}));

  L.SetNameValueSeparator(u':');
  L.Add("Key:v=w");
  EXPECT_EQ(L.Values("key"), "v=w");
  EXPECT_EQ(L.Values("beta"), "");

  TStringList Sorted;
  Sorted.SetSorted(true);
  Sorted.SetValues("b", "1");
  Sorted.SetValues("a", "2");
  EXPECT_EQ(linesOf(Sorted), QStringList({"a=2", "b=1"}));
}

TEST(StringListTest, SortedListPlacesAndRefuses) {
  TStringList L;
  L.SetSorted(true);
  EXPECT_EQ(L.Add("m"), 0);
  EXPECT_EQ(L.Add("c"), 0);
  EXPECT_EQ(L.Add("x"), 2);
  EXPECT_EQ(L.Add("M"), 1);  // dupIgnore: the existing index
  EXPECT_EQ(linesOf(L), QStringList({"c", "m", "x"}));

  L.SetDuplicates(dupError);
  EXPECT_RAISES(L.Add("C"), EStringListError, "String list does not allow duplicates");
  L.SetDuplicates(dupAccept);
  EXPECT_EQ(L.Add("C"), 0);  // before the equal key already there
  EXPECT_EQ(L.Count(), 4);

  const char* Refused = "Operation not allowed on sorted list";
  EXPECT_RAISES(L.Insert(0, "a"), EStringListError, Refused);
  EXPECT_RAISES(L.SetStrings(0, "a"), EStringListError, Refused);
  EXPECT_RAISES(L.Exchange(0, 1), EStringListError, Refused);
  EXPECT_RAISES(L.Move(0, 1), EStringListError, Refused);
  EXPECT_EQ(linesOf(L), QStringList({"C", "c", "m", "x"}));

  L.SetSorted(false);
  L.Insert(0, "z");
  L.SetSorted(true);
  EXPECT_EQ(linesOf(L), QStringList({"C", "c", "m", "x", "z"}));
}

TEST(StringListTest, FindIsCaseInsensitiveForCyrillic) {
  TStringList L;
  setLines(L, {"ёлка", "Арбуз", "банан", "Ёж", "ВИШНЯ"});
  L.SetSorted(true);
  Integer Index = -1;
  EXPECT_TRUE(L.Find("ЁЛКА", Index));
  EXPECT_EQ(L.Strings(Index), "ёлка");
  EXPECT_TRUE(L.Find("вишня", Index));
  EXPECT_EQ(L.IndexOf("БАНАН"), L.IndexOf("банан"));
  EXPECT_FALSE(L.Find("Виноград", Index));
  EXPECT_EQ(L.Strings(Index - 1), "банан");  // where it would go
  EXPECT_EQ(L.Strings(Index), "ВИШНЯ");

  L.SetCaseSensitive(true);
  EXPECT_FALSE(L.Find("ЁЛКА", Index));
  EXPECT_TRUE(L.Find("Ёж", Index));
  EXPECT_EQ(L.IndexOf("вишня"), -1);
}

TEST(StringListTest, SortIsStableForEqualKeys) {
  TStringList L;
  setLines(L, {"b", "A", "a", "B", "Ё", "ё", "е"});
  L.Sort();
  EXPECT_EQ(linesOf(L), QStringList({"A", "a", "b", "B", "е", "Ё", "ё"}));
  L.SetSorted(true);
  L.SetCaseSensitive(true);
  EXPECT_EQ(L.IndexOf("B"), L.IndexOf("b") + 1);
}

TEST(StringListTest, OnChangeFiresPerChangeOrOncePerUpdate) {
  TStringList L;
  TEventCounter Events(L);
  L.BeginUpdate();
  L.Add("a");
  L.Add("b");
  L.Add("c");
  EXPECT_EQ(Events.Change, 0);
  L.EndUpdate();
  EXPECT_EQ(Events.Changing, 1);
  EXPECT_EQ(Events.Change, 1);

  L.BeginUpdate();
  L.BeginUpdate();
  L.Delete(0);
  L.EndUpdate();
  EXPECT_EQ(Events.Change, 1);
  L.EndUpdate();
  EXPECT_EQ(Events.Change, 2);

  L.Add("d");
  L.SetStrings(0, "x");
  L.SetObjects(0, nullptr);
  EXPECT_EQ(Events.Change, 5);

  struct Case {
    const char* Name;
    std::function<void()> Call;
  } Whole[] = {
      {"text", [&] { L.SetText("1\r\n2\r\n3"); }},
      {"comma text", [&] { L.SetCommaText("1,2,3"); }},
      {"assign", [&] { TStringList Other; Other.Add("q"); L.Assign(&Other); }},
      {"add strings", [&] { TStringList Other; setLines(Other, {"q", "r"}); L.AddStrings(&Other); }},
  };
  for (const Case& T : Whole) {
    SCOPED_TRACE(T.Name);
    const int Before = Events.Change;
    T.Call();
    EXPECT_EQ(Events.Change, Before + 1);
  }
  EXPECT_EQ(Events.Changing, Events.Change);
}

TEST(StringListTest, OwnedObjectsAreFreedWithTheirLines) {
  int Freed = 0;
  auto* L = new TStringList(true);
  for (const char* S : {"a", "b", "c", "d"}) L->AddObject(S, new TTracked(Freed));
  L->Move(0, 3);
  L->Exchange(0, 1);
  EXPECT_EQ(Freed, 0);
  L->Delete(0);
  EXPECT_EQ(Freed, 1);
  L->Clear();
  EXPECT_EQ(Freed, 4);
  L->AddObject("e", new TTracked(Freed));
  L->Free();
  EXPECT_EQ(Freed, 5);

  TTracked Kept(Freed);
  {
    TStringList NotOwning;
    NotOwning.AddObject("k", &Kept);
    NotOwning.Delete(0);
    NotOwning.AddObject("k", &Kept);
  }
  EXPECT_EQ(Freed, 5);
}

TEST(StringListTest, FilesKeepTheirEncoding) {
  QTemporaryDir Dir;
  ASSERT_TRUE(Dir.isValid());
  const String Bom = Dir.filePath("bom.txt");
  const QByteArray BomBytes = QByteArray("\xEF\xBB\xBF") + QString("Привет\r\nмир\r\n").toUtf8();
  WriteFileBytes(Bom, BomBytes);

  TStringList L;
  L.LoadFromFile(Bom);
  EXPECT_EQ(linesOf(L), QStringList({"Привет", "мир"}));
  EXPECT_EQ(L.Encoding(), TEncoding::UTF8());
  const String Copy = Dir.filePath("copy.txt");
  L.SaveToFile(Copy);
  EXPECT_EQ(FileBytes(Copy), BomBytes);

  // Without a mark the given encoding (or the ANSI code page) decodes.
  const String Ansi = Dir.filePath("ansi.txt");
  WriteFileBytes(Ansi, QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2\n"));
  L.LoadFromFile(Ansi);
  EXPECT_EQ(linesOf(L), QStringList({"Привет"}));
  L.LoadFromFile(Bom, TEncoding::Default());
  EXPECT_EQ(L.Count(), 2);
  EXPECT_NE(L.Strings(0), "Привет");

  L.SaveToFile(Copy, TEncoding::Unicode());
  // The mark's first byte EF, read as 1251, was 'п' (U+043F).
  EXPECT_EQ(FileBytes(Copy).left(4), QByteArray("\xFF\xFE\x3F\x04", 4));
  L.LoadFromFile(Copy);
  EXPECT_EQ(L.Encoding(), TEncoding::Unicode());

  EXPECT_THROW(L.LoadFromFile(Dir.filePath("missing.txt")), EFOpenError);
}

TEST(StringListTest, StreamLoadStartsAtThePosition) {
  TStringStream Stream("skip|one\ntwo", TEncoding::UTF8());
  Stream.SetPosition(5);
  TStringList L;
  L.LoadFromStream(&Stream, TEncoding::UTF8());
  EXPECT_EQ(linesOf(L), QStringList({"one", "two"}));

  TMemoryStream Out;
  L.SaveToStream(&Out, TEncoding::ASCII());
  EXPECT_EQ(QByteArray(static_cast<const char*>(Out.Memory()), int(Out.Size())), "one\r\ntwo\r\n");
}

}  // namespace
