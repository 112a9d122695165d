// The binary component stream: TFiler, TWriter and TReader.
//
// A stream holds one root component with its published properties, the data
// its DefineProperties declares, and its children, recursively:
//
//   stream     = "TPF0" object
//   object     = [prefix] class-name object-name property* 00 object* 00
//   prefix     = F0|flags (1 byte; bit 0 inherited, bit 1 child position,
//                bit 2 inline), then the position as an integer value when
//                bit 1 is set
//   property   = name value
//   name       = short string: length byte + UTF-8 bytes ("Font.Name" for a
//                property of a sub-object, "Lines.Strings" for the lines of a
//                string list)
//
// Each value starts with a tag byte; multi-byte numbers are little-endian:
//
//   tag  name           payload
//    0   vaNull         none; also ends every list
//    1   vaList         values, then vaNull
//    2   vaInt8         1 byte, signed
//    3   vaInt16        2 bytes, signed
//    4   vaInt32        4 bytes, signed
//    5   vaExtended     10-byte x87 float (read only, becomes a double)
//    6   vaString       length byte + 8-bit chars of the ANSI code page
//    7   vaIdent        short string: an identifier
//    8   vaFalse        none
//    9   vaTrue         none
//   10   vaBinary       LE32 byte count + bytes
//   11   vaSet          short strings (element names), then an empty one
//   12   vaLString      LE32 length + 8-bit chars of the ANSI code page
//   13   vaNil          none
//   14   vaCollection   items, then vaNull; an item is an optional integer
//                       value (its index), vaList, its properties, vaNull
//   15   vaSingle       4-byte float
//   16   vaCurrency     8-byte integer, the amount times 10^4
//   17   vaDate         8-byte double, a TDateTime
//   18   vaWString      LE32 char count + UTF-16LE chars (read only)
//   19   vaInt64        8 bytes, signed
//   20   vaUTF8String   LE32 byte count + UTF-8 bytes
//   21   vaDouble       8-byte double
//
// The writer picks the shortest integer tag that holds a value, vaDouble for
// floats, vaString/vaLString for ASCII text and vaUTF8String for any other.
// Events are not streamed.  A reference to another component is written as
// its name and resolved when the whole root has been read.
//
// Stream content is untrusted input: every count and length read is checked
// against the bytes left, and nesting is bounded, before anything is
// allocated or recursed into; bad input raises EReadError.
//
// Both filers buffer.  A TWriter writes its buffer out and a TReader moves
// the stream back to the first byte it did not use when it is destroyed (or
// on FlushBuffer), so raw data may precede and follow a filer's run on the
// same stream.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/system.h"

#include <vector>

class Currency;
class TCollection;
class TStream;
class Variant;

// The value tags above, in their stored numbering.
enum TValueType : Byte {
  vaNull,
  vaList,
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaLString,
  vaNil,
  vaCollection,
  vaSingle,
  vaCurrency,
  vaDate,
  vaWString,
  vaInt64,
  vaUTF8String,
  vaDouble
};

// The flags of an object's prefix byte, in bit order.
enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

// Deeper nesting of objects, lists and collections is refused as bad input,
// so a hostile stream cannot exhaust the stack.
inline constexpr int MaxStreamNesting = 256;

// The bytes a filer buffers unless told otherwise: a table of hundreds of MB
// then reaches a file in a few thousand calls rather than tens of thousands.
inline constexpr int DefaultFilerBufSize = 0x10000;

using TReaderProc = TMethodPtr<void(TReader* Reader)>;
using TWriterProc = TMethodPtr<void(TWriter* Writer)>;
using TStreamProc = TMethodPtr<void(TStream* Stream)>;

// What TReader and TWriter share: the stream, the buffer and the roots.
class TFiler : public TObject {
  RTL_CLASS(TFiler, TObject)
public:
  // The stream is not owned; BufSize > 0 bytes are buffered.
  TFiler(TStream* AStream, int BufSize);
  ~TFiler() override;

  // Declares data of the persistent being streamed that is no published
  // property.  The reader calls ReadData when the stream holds Name; the
  // writer calls WriteData when HasData.
  virtual void DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc WriteData,
                              bool HasData) = 0;
  // The same for a block of bytes: the procs get a memory stream holding it.
  virtual void DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;
  // Brings the stream in line with the filer (see the top of this file).
  virtual void FlushBuffer() = 0;

  // properties
  TStream* Stream() const { return FStream; }
  // The component the stream is about (its root).
  TComponent* Root() const { return FRoot; }
  void SetRoot(TComponent* Value) { FRoot = Value; }
  // The component whose owned components references are named within.
  TComponent* LookupRoot() const { return FLookupRoot; }
  // While writing a descendant: the ancestor's counterpart of the object
  // being written, whose values need not be written again; nullptr otherwise.
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }
  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool Value) { FIgnoreChildren = Value; }

protected:
  TStream* FStream;
  std::vector<Byte> FBuffer;
  int FBufPos = 0;
  int FBufEnd = 0;  // reader: the end of the bytes buffered
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;
};

// Reader hooks.
// Names the class of a component the registry does not know; leave it
// nullptr to fail with EClassNotFound.
using TFindComponentClassEvent = TMethodPtr<void(TReader* Reader, const String& ClassName, TClass& ComponentClass)>;
// May create the component itself or answer an existing one; leave
// Component nullptr to let the reader create it with the class's
// constructor.  The reader never frees what the hook answered.
using TCreateComponentEvent = TMethodPtr<void(TReader* Reader, TClass ComponentClass, TComponent*& Component)>;
// An inherited component is missing from the root being read into; may name
// a stand-in (Component), else EReadError "Ancestor for '%s' not found".
// ComponentClass is nullptr when its class is not known either.
using TAncestorNotFoundEvent =
    TMethodPtr<void(TReader* Reader, const String& ComponentName, TClass ComponentClass, TComponent*& Component)>;
// May change the name a component is about to get.
using TSetNameEvent = TMethodPtr<void(TReader* Reader, TComponent* Component, String& Name)>;
// An error while reading a property or creating a component; set Handled to
// skip that property or component and go on.
using TReaderError = TMethodPtr<void(TReader* Reader, const String& Message, bool& Handled)>;
// A property name the instance does not publish (a renamed or retired
// property).  Change PropName to read the value into another property and
// set Handled, or set Skip to drop the value.  IsPath: the name is a part of
// a dotted path before its last part.
using TPropertyNotFoundEvent = TMethodPtr<void(TReader* Reader, TPersistent* Instance, String& PropName,
                                               bool IsPath, bool& Handled, bool& Skip)>;

// Reads component streams.  Bad input raises EReadError: "Stream read error"
// for a truncated stream or a count beyond the bytes left, "Invalid property
// value" for a tag that does not fit, "Invalid stream format" for a missing
// signature.  An error while reading a property is raised as "Error reading
// <component>.<property>: <message>" after OnError had its say.
class TReader : public TFiler {
  RTL_CLASS(TReader, TFiler)
public:
  explicit TReader(TStream* AStream, int BufSize = DefaultFilerBufSize);
  // Moves the stream back to the first byte not read.
  ~TReader() override;

  // reimplemented
  void DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;
  void FlushBuffer() override;

  // components
  // Reads the signature and the root: into Root, which must be of the
  // stream's class (else EReadError), or into a new component of the stream's
  // class, which the caller then owns.  References are resolved after the
  // whole root is read, then Loaded runs on the root and on every component
  // read, in the order their reads ended.  On failure a new root is freed.
  TComponent* ReadRootComponent(TComponent* Root);
  // Reads one object: into Component when given, else into the existing
  // component the stream says it inherits, else into a new one (owned by
  // Owner).  Answers nullptr when OnError had a failure skipped.
  TComponent* ReadComponent(TComponent* Component);
  // Reads Instance's properties and children; TComponent::ReadState calls it.
  void ReadData(TComponent* Instance);
  // Reads one (name, value) pair into AInstance or the sub-object its dotted
  // name leads to.
  void ReadProperty(TPersistent* AInstance);
  // Reads the items of a vaCollection value (after its tag) into Collection,
  // replacing its items.
  void ReadCollection(TCollection* Collection);
  // The class of ClassName: the registry's, else OnFindComponentClass's;
  // EClassNotFound "Class %s not found" when neither knows a component class.
  virtual TClass FindComponentClass(const String& ClassName);

  // structure
  // EReadError "Invalid stream format" unless the stream starts with "TPF0".
  void ReadSignature();
  void ReadPrefix(TFilerFlags& Flags, int& AChildPos);
  // The next tag, without reading it.
  TValueType NextValue();
  TValueType ReadValue();
  // Reads a tag that must be Value.
  void CheckValue(TValueType Value);
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  // Reads past the next value, whatever it is.
  void SkipValue();

  // values; each accepts the tags that can hold its type
  bool ReadBoolean();
  // A one-char string.
  Char ReadChar();
  Integer ReadInteger();  // vaInt8, vaInt16, vaInt32
  Int64 ReadInt64();      // these and vaInt64
  double ReadFloat();     // any float, currency, date or integer
  float ReadSingle();
  Currency ReadCurrency();
  TDateTime ReadDate();
  // A short string (names).
  String ReadStr();
  // Any of the four string tags.
  String ReadString();
  // vaIdent, or "False", "True", "nil" and "Null" for their own tags.
  String ReadIdent();
  // Any scalar value: vaNil gives Unassigned, vaNull gives Null.
  Variant ReadVariant();
  // A vaBinary value's bytes.
  TBytes ReadBinary();
  // Raw bytes.
  void Read(void* Buffer, Int64 Count);

  // The stream position of the next byte to read.
  Int64 Position();
  void SetPosition(Int64 Value);

  // properties: where the children being read go
  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }

  // events
  TFindComponentClassEvent OnFindComponentClass;
  TCreateComponentEvent OnCreateComponent;
  TAncestorNotFoundEvent OnAncestorNotFound;
  TSetNameEvent OnSetName;
  TReaderError OnError;
  TPropertyNotFoundEvent OnPropertyNotFound;

protected:
  // introduced virtuals
  // Asks OnError whether the failure Message may be skipped.
  virtual bool Error(const String& Message);
  // Gives Component its Name after OnSetName.
  virtual void SetName(TComponent* Component, String& Name);

private:
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* PropInfo;
    String Name;
    TComponent* LookupRoot;
  };

  Byte readByte();
  Byte peekByte();
  UInt64 readLittleEndian(int Bytes);
  // A LE32 count of units of UnitSize bytes, checked against the bytes left.
  Integer readCount(int UnitSize);
  // The next Count bytes (checked by the caller) in one piece, in the buffer
  // or in FScratch; valid until the next read.
  const char* readContiguous(Integer Count);
  Int64 bytesLeft();
  void skipBytes(Int64 Count);
  void fillBuffer();
  [[noreturn]] void propValueError();

  void readDataInner(TComponent* Instance);
  // The class FindComponentClass finds, or nullptr.
  TClass lookupComponentClass(const String& ClassName);
  // Created is set when the reader constructed the component itself.
  TComponent* createComponent(const String& ClassName, TFilerFlags Flags, TComponent*& Created);
  TComponent* findExistingComponent(const String& ClassName, const String& Name);
  void setComponentName(TComponent* Component, const String& Name);
  void skipComponent(bool SkipHeader);
  void skipProperty();
  // Finds the instance and property a dotted path names and reads the value.
  void readPropertyPath(TPersistent* AInstance, const String& PropPath);
  TPersistent* stepIntoSubObject(TPersistent* Instance, String& PropName);
  void readPropValue(TPersistent* Instance, const TPropInfo* PropInfo);
  void readObjectProp(TPersistent* Instance, const TPropInfo* PropInfo);
  UInt64 readSetBits(const TTypeInfo* CompType);
  void defineProperties(TPersistent* Instance);
  // Whether Instance is Container or reached from it through GetOwner.
  static bool isWithin(TPersistent* Instance, TPersistent* Container);
  void fixupReferences();
  TComponent* resolveReference(const TFixup& Fixup) const;

  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  String FPropName;                  // the property DefineProperty may claim; "" once claimed
  std::vector<TComponent*> FLoaded;  // components to call Loaded on, in that order
  std::vector<TFixup> FFixups;       // references waiting for the whole root
  bool FCollectingFixups = false;
  int FNesting = 0;
  std::vector<char> FScratch;  // a value longer than the bytes buffered
};

// Writes component streams.
class TWriter : public TFiler {
  RTL_CLASS(TWriter, TFiler)
public:
  explicit TWriter(TStream* AStream, int BufSize = DefaultFilerBufSize);
  // Writes out the buffer; a failure then goes to HandleException, so call
  // FlushBuffer first to see it raised.
  ~TWriter() override;

  // reimplemented
  void DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;
  // Writes the buffered bytes to the stream.
  void FlushBuffer() override;

  // components
  // Writes the signature and Root with what it owns.  With an Ancestor (an
  // instance Root descends from), only what differs from it: properties
  // whose values differ, inherited children marked and written with their
  // differences, new children whole.
  void WriteDescendent(TComponent* Root, TComponent* AAncestor);
  void WriteRootComponent(TComponent* Root);
  // Writes one object with its children (a child procedure of GetChildren).
  void WriteComponent(TComponent* Component);
  // Writes Instance's prefix, names, properties and children;
  // TComponent::WriteState calls it.
  void WriteData(TComponent* Instance);
  // Writes the published properties that are stored and differ from their
  // default (or the ancestor's value), then what DefineProperties declares.
  // A property without a setter is written only when it holds a sub-object,
  // a collection or a string list, which the reader fills in place; an empty
  // collection is written too ("Items = <>"), unless it equals the ancestor's.
  void WriteProperties(TPersistent* Instance);
  // Writes a vaCollection value: each item's properties, in order.
  void WriteCollection(TCollection* Value);

  // structure
  void WriteSignature();
  void WritePrefix(TFilerFlags Flags, int AChildPos);
  void WriteValue(TValueType Value);
  void WriteListBegin();
  void WriteListEnd();

  // values
  void WriteBoolean(bool Value);
  void WriteChar(Char Value);
  // In the shortest of vaInt8, vaInt16, vaInt32 and vaInt64.
  void WriteInteger(Int64 Value);
  void WriteFloat(double Value);  // vaDouble
  void WriteSingle(float Value);
  void WriteCurrency(Currency Value);
  void WriteDate(TDateTime Value);
  // A short string; EWriteError when its UTF-8 form exceeds 255 bytes.
  void WriteStr(const String& Value);
  // vaString or vaLString when Value is ASCII, else vaUTF8String.
  void WriteString(const String& Value);
  // "False", "True", "nil" and "Null" (any case) get their own tags.
  void WriteIdent(const String& Ident);
  // A scalar value; an array, an interface or another kind without a tag
  // raises EWriteError "Stream write error".
  void WriteVariant(const Variant& Value);
  void WriteBinary(const void* Data, Int64 Count);
  // Raw bytes.
  void Write(const void* Buffer, Int64 Count);

  // The stream position the next byte goes to.
  Int64 Position();

  // properties
  // The root of the ancestor while writing a descendant.
  TComponent* RootAncestor() const { return FRootAncestor; }
  void SetRootAncestor(TComponent* Value) { FRootAncestor = Value; }
  // What property names are prefixed with ("Font." inside a sub-object).
  // Defined data that writes whole objects clears it and restores it after.
  const String& PropPath() const { return FPropPath; }
  void SetPropPath(const String& Value) { FPropPath = Value; }

private:
  void writeByte(Byte Value);
  void writeLittleEndian(UInt64 Value, int Bytes);
  void writeNarrowed(const String& Ascii);
  void writePropName(const String& Name);
  void writeProperty(TPersistent* Instance, const TPropInfo* PropInfo);
  void writeOrdValue(const TPropInfo* PropInfo, Int64 Value);
  void writeObjectProp(TPersistent* Instance, const TPropInfo* PropInfo, const TPropInfo* AncestorProp);
  void writeReferenceProp(const TPropInfo* PropInfo, TComponent* Value, const TPropInfo* AncestorProp);
  void writeSubObject(const TPropInfo* PropInfo, TPersistent* Value, TObject* AncestorValue);
  bool collectionsEqual(TCollection* A, TCollection* B);
  void defineProperties(TPersistent* Instance);

  TComponent* FRootAncestor = nullptr;
  String FPropPath;  // "Font." while writing a sub-object's properties
  std::vector<TComponent*>* FAncestorList = nullptr;  // the ancestor's children, while writing children
  int FAncestorPos = 0;
  int FChildPos = 0;
};
