// TStrings, the abstract list of strings with an object per line, and
// TStringList, its sortable, notifying implementation.
//
// TStrings holds the text conventions every string list shares (Text,
// CommaText, Name=Value lines, file and stream I/O) on top of a few virtual
// accessors; a memo's lines or a list box's items implement those accessors
// and get the rest.  Indexes are 0-based.  A bad index raises
// EStringListError "List index out of bounds (%d)".
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/system.h"

#include <concepts>
#include <functional>
#include <vector>

class TEncoding;
class TStream;

class TStrings : public TPersistent {
  RTL_CLASS(TStrings, TPersistent)
public:
  TStrings() = default;
  ~TStrings() override;

  // From another TStrings: copies the lines, their objects and the text
  // settings (separators, quote char); the objects stay owned by whoever
  // owned them.  Any other Source goes to TPersistent (EConvertError).
  void Assign(TPersistent* Source) override;

  // editing
  // Appends S and returns its index (a sorted list answers where it went).
  virtual Integer Add(const String& S);
  virtual Integer AddObject(const String& S, TObject* AObject);
  void Append(const String& S);
  void AddStrings(TStrings* Strings);
  virtual void Insert(Integer Index, const String& S) = 0;
  virtual void InsertObject(Integer Index, const String& S, TObject* AObject);
  virtual void Delete(Integer Index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(Integer Index1, Integer Index2);
  // Moves the line and its object from CurIndex to NewIndex.
  virtual void Move(Integer CurIndex, Integer NewIndex);

  // searching: the first match or -1
  virtual Integer IndexOf(const String& S) const;
  Integer IndexOfName(const String& Name) const;
  Integer IndexOfObject(TObject* AObject) const;

  // Nested calls count; the outermost pair calls SetUpdateState(true/false).
  void BeginUpdate();
  void EndUpdate();

  // element access
  Integer Count() const { return GetCount(); }
  String Strings(Integer Index) const { return Get(Index); }
  void SetStrings(Integer Index, const String& S) { Put(Index, S); }
  TObject* Objects(Integer Index) const { return GetObject(Index); }
  void SetObjects(Integer Index, TObject* AObject) { PutObject(Index, AObject); }

  // Name=Value lines.  Names are compared as the list compares strings.
  // The text before the first separator; "" for a line without one.
  String Names(Integer Index) const;
  // The value of the first line named Name; "" when there is none.
  String Values(const String& Name) const;
  // Replaces the first line named Name or appends one; "" removes the line.
  void SetValues(const String& Name, const String& Value);
  // The text after the line's first separator; "" without one.
  String ValueFromIndex(Integer Index) const;

  // whole-list text
  // Every line followed by CR LF, the last one included.
  String Text() const { return GetTextStr(); }
  // Replaces the lines with Value split at CR, LF or CR LF; a break at the end
  // adds no empty line.
  void SetText(const String& Value) { SetTextStr(Value); }
  // Always ',' and '"' with blanks separating: see DelimitedText.
  String CommaText() const;
  void SetCommaText(const String& Value);
  // Writing quotes an item holding the delimiter, the quote char or (unless
  // StrictDelimiter) a char <= ' ', doubling inner quotes; a list of exactly
  // one empty item writes two quote chars.  Reading splits at the delimiter
  // and (unless StrictDelimiter) at blanks outside quotes; two quote chars
  // inside quotes are one; a trailing delimiter adds an empty item.
  String DelimitedText() const;
  void SetDelimitedText(const String& Value);

  // text settings
  Char Delimiter() const { return FDelimiter; }
  void SetDelimiter(Char Value) { FDelimiter = Value; }
  Char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(Char Value) { FQuoteChar = Value; }
  bool StrictDelimiter() const { return FStrictDelimiter; }
  void SetStrictDelimiter(bool Value) { FStrictDelimiter = Value; }
  Char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(Char Value) { FNameValueSeparator = Value; }

  // files and streams
  // Replaces the lines with the text from the stream's position to its end.
  // With Encoding nullptr a byte-order mark picks the encoding (else
  // TEncoding::Default); a given Encoding decodes, skipping its own mark.
  virtual void LoadFromStream(TStream* Stream, TEncoding* Encoding = nullptr);
  // Writes the encoding's preamble, then Text.  nullptr means the encoding of
  // the last load, else TEncoding::Default.
  virtual void SaveToStream(TStream* Stream, TEncoding* Encoding = nullptr);
  virtual void LoadFromFile(const String& FileName, TEncoding* Encoding = nullptr);
  virtual void SaveToFile(const String& FileName, TEncoding* Encoding = nullptr);
  // The encoding the last load found or was given; nullptr before any load.
  TEncoding* Encoding() const { return FEncoding; }

protected:
  Integer UpdateCount() const { return FUpdateCount; }

  // accessors an implementation provides
  virtual String Get(Integer Index) const = 0;
  virtual Integer GetCount() const = 0;
  virtual TObject* GetObject(Integer Index) const;       // nullptr by default
  virtual void Put(Integer Index, const String& S);      // Delete + InsertObject
  virtual void PutObject(Integer Index, TObject* AObject);  // ignored by default
  // Called when the outermost BeginUpdate starts and EndUpdate ends.
  virtual void SetUpdateState(bool Updating);
  virtual String GetTextStr() const;
  virtual void SetTextStr(const String& Value);
  // <0, 0, >0 as the list orders two strings: AnsiCompareText by default.
  virtual Integer CompareStrings(const String& S1, const String& S2) const;

private:
  String delimitedText(Char Delim, Char Quote, bool Strict) const;
  void setDelimitedText(const String& Value, Char Delim, Char Quote, bool Strict);

  Integer FUpdateCount = 0;
  Char FDelimiter = u',';
  Char FQuoteChar = u'"';
  Char FNameValueSeparator = u'=';
  bool FStrictDelimiter = false;
  TEncoding* FEncoding = nullptr;  // not owned: the encodings are process-wide
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList;
// Orders the items at Index1 and Index2 of List: <0, 0 or >0.
using TStringListSortCompare = std::function<Integer(TStringList* List, Integer Index1, Integer Index2)>;

// The string list proper.  A sorted list keeps its order on Add and refuses
// positional edits (Insert, Put, Exchange, Move) with EStringListError
// "Operation not allowed on sorted list".  Sorting is stable.  With
// OwnsObjects the list frees the objects of deleted lines, on Clear and in its
// destructor.  OnChanging/OnChange fire around each change outside an update,
// and once around a whole BeginUpdate/EndUpdate.
class TStringList : public TStrings {
  RTL_CLASS(TStringList, TStrings)
public:
  TStringList() = default;
  // Exactly bool: a pointer must not convert to this (the metaclass probes
  // for an owner or collection constructor).
  template <std::same_as<bool> B>
  explicit TStringList(B OwnsObjects) : FOwnsObjects(OwnsObjects) {}
  ~TStringList() override;

  // reimplemented
  Integer Add(const String& S) override;
  // On a sorted list a duplicate follows Duplicates: dupIgnore answers the
  // existing index (AObject is not stored), dupError raises EStringListError
  // "String list does not allow duplicates".
  Integer AddObject(const String& S, TObject* AObject) override;
  void Insert(Integer Index, const String& S) override;
  void InsertObject(Integer Index, const String& S, TObject* AObject) override;
  void Delete(Integer Index) override;
  void Clear() override;
  void Exchange(Integer Index1, Integer Index2) override;
  void Move(Integer CurIndex, Integer NewIndex) override;
  Integer IndexOf(const String& S) const override;

  // sorting
  // Binary search of a sorted list: true when S is there, Index is its first
  // occurrence, else where S would be inserted.
  bool Find(const String& S, Integer& Index) const;
  void Sort();
  // Sorts an unsorted list with Compare; a sorted list keeps its order.
  void CustomSort(const TStringListSortCompare& Compare);

  // properties
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  // false: AnsiCompareText; true: AnsiCompareStr.  Re-sorts a sorted list.
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  // events
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  // reimplemented
  String Get(Integer Index) const override;
  Integer GetCount() const override;
  TObject* GetObject(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  void PutObject(Integer Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  Integer CompareStrings(const String& S1, const String& S2) const override;

  // introduced virtuals: fire the events unless an update is running
  virtual void Changed();
  virtual void Changing();

private:
  struct TStringItem {
    String FString;
    TObject* FObject;
  };

  void checkIndex(Integer Index) const;
  void checkNotSorted() const;
  void insertItem(Integer Index, const String& S, TObject* AObject);
  void sortBy(const TStringListSortCompare& Compare);

  std::vector<TStringItem> FList;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = false;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
};
