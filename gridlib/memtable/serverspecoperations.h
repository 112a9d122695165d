// What differs between SQL servers when an SQL data driver writes a record
// back: how a server-generated key (identity, sequence, generator) reaches
// the record, and the INSERT, UPDATE and DELETE statements generated for a
// record (dynamic SQL).
//
// Dynamic SQL, for update table T, key ID and update fields NAME, PRICE:
//
//   insert into T              update T                 delete from T
//     (ID, NAME, PRICE)        set                      where
//   values                      NAME = :NAME,            ID = :OLD_ID
//     (:ID, :NAME, :PRICE)      PRICE = :PRICE
//                              where
//                               ID = :OLD_ID
//
// Values always travel as parameters: ":NAME" carries the record's current
// value, ":OLD_NAME" its oldest one.  A table or column name that is not a
// plain identifier (a letter or "_", then letters, digits or "_") is written
// quoted ("my table"); a field name that must also be a parameter marker has
// to be plain, and any other raises EDatabaseError rather than splicing it.
// A column list wraps after 70 characters onto a line that starts "   , ".
//
// The operations objects hold no state: one object serves any number of
// drivers.  Each class registers its server type name at start-up.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/object.h"

#include <vector>

class TCustomSQLCommandEh;
class TCustomSQLDataDriverEh;
class TDataSet;
class TMemoryRecordEh;
class TMemTableDataEh;
class TServerSpecOperationsEh;
class TStrings;

// The metaclass of the operations classes: the class-level server type name.
class TServerSpecOperationsMetaEh : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual String GetServerTypeName() const = 0;
};

template <class T>
class TServerSpecOperationsClassOfEh : public TClassOf<T, TServerSpecOperationsMetaEh> {
public:
  using TClassOf<T, TServerSpecOperationsMetaEh>::TClassOf;
  String GetServerTypeName() const override { return T::GetServerTypeName(); }
};

using TServerSpecOperationsClassEh = const TServerSpecOperationsMetaEh*;

// The ANSI behaviour: no key fetching, the driver's own resolution.
class TServerSpecOperationsEh : public TObject {
  RTL_CLASS_META(TServerSpecOperationsEh, TObject, TServerSpecOperationsClassOfEh<TServerSpecOperationsEh>)
public:
  TServerSpecOperationsEh() = default;

  // introduced virtuals, in slot order
  // Appends "where" and one " KEY = :OLD_KEY" line per key of the comma
  // text KeyFields (" and" ending all but the last); nothing without keys.
  virtual void GenerateWhereClause(const String& KeyFields, TStrings* SQL);
  // The names of Fields whose old value differs from the current one.  A
  // name that is no field of the record raises
  // 'Invalid field name "X" in field list "A,X"'.
  virtual void GetChangedFields(TMemoryRecordEh* MemRec, TStrings* Fields, TStrings* ChangedFields);
  static String GetServerTypeName() { return QStringLiteral("AnsiServer"); }
  // Before, and instead of, the driver's resolution: the driver's
  // DoUpdateRecord here.
  virtual Integer UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                               TMemoryRecordEh* MemRec);
  // After the record's statement ran, with its result dataset: nothing here.
  virtual void GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command, TDataSet* ResDataSet);
  // Writes the statement for MemRec's change into Command, from Command's
  // driver's DynaSQLParams.
  virtual void GenerateDynaSQLCommand(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command);

protected:
  // Runs SQL directly in the driver's service command and answers the first
  // field of its cursor.  No cursor raises EDatabaseError.
  static Variant FetchServerValue(TCustomSQLDataDriverEh* SQLDataDriver, const String& SQL);
  // The value of the driver's special parameter Name ("" when not set).
  static String SpecParam(TCustomSQLDataDriverEh* SQLDataDriver, const char* Name);
  // Fetches SQL's value into MemRec's field FieldName, when the record's
  // structure has that field.
  static void FetchIntoField(TCustomSQLDataDriverEh* SQLDataDriver, TMemoryRecordEh* MemRec,
                             const String& FieldName, const String& SQL);
};

// Fills the SEQUENCE's current value into SEQUENCE_FIELD before an insert.
class TOracleSpecOperationsEh : public TServerSpecOperationsEh {
  RTL_CLASS_META(TOracleSpecOperationsEh, TServerSpecOperationsEh,
                 TServerSpecOperationsClassOfEh<TOracleSpecOperationsEh>)
public:
  TOracleSpecOperationsEh() = default;
  static String GetServerTypeName() { return QStringLiteral("Oracle"); }
  Integer UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                       TMemoryRecordEh* MemRec) override;
};

// Fetches the identity into AUTO_INCREMENT_FIELD after an insert.
class TMSSQLSpecOperationsEh : public TServerSpecOperationsEh {
  RTL_CLASS_META(TMSSQLSpecOperationsEh, TServerSpecOperationsEh,
                 TServerSpecOperationsClassOfEh<TMSSQLSpecOperationsEh>)
public:
  TMSSQLSpecOperationsEh() = default;
  static String GetServerTypeName() { return QStringLiteral("MSSQL"); }
  void GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command, TDataSet* ResDataSet) override;
};

// Takes the GENERATOR's next value into GENERATOR_FIELD before an insert,
// and reads it back (increment 0) after.
class TInterbaseSpecOperationsEh : public TServerSpecOperationsEh {
  RTL_CLASS_META(TInterbaseSpecOperationsEh, TServerSpecOperationsEh,
                 TServerSpecOperationsClassOfEh<TInterbaseSpecOperationsEh>)
public:
  TInterbaseSpecOperationsEh() = default;
  static String GetServerTypeName() { return QStringLiteral("Interbase"); }
  Integer UpdateRecord(TCustomSQLDataDriverEh* SQLDataDriver, TMemTableDataEh* MemTableData,
                       TMemoryRecordEh* MemRec) override;
  void GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command, TDataSet* ResDataSet) override;

private:
  static String generatorStatement(const String& Generator, Integer Increment);
};

// Fetches the identity into AUTO_INCREMENT_FIELD after an insert.
class TMSAccessSpecOperationsEh : public TServerSpecOperationsEh {
  RTL_CLASS_META(TMSAccessSpecOperationsEh, TServerSpecOperationsEh,
                 TServerSpecOperationsClassOfEh<TMSAccessSpecOperationsEh>)
public:
  TMSAccessSpecOperationsEh() = default;
  static String GetServerTypeName() { return QStringLiteral("MSAccess"); }
  void GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command, TDataSet* ResDataSet) override;
};

// Fetches the serial value into AUTO_INCREMENT_FIELD after an insert.
class TInformixSpecOperationsEh : public TServerSpecOperationsEh {
  RTL_CLASS_META(TInformixSpecOperationsEh, TServerSpecOperationsEh,
                 TServerSpecOperationsClassOfEh<TInformixSpecOperationsEh>)
public:
  TInformixSpecOperationsEh() = default;
  static String GetServerTypeName() { return QStringLiteral("Informix"); }
  void GetBackUpdatedValues(TMemoryRecordEh* MemRec, TCustomSQLCommandEh* Command, TDataSet* ResDataSet) override;
};

class TDB2SpecOperationsEh : public TServerSpecOperationsEh {
  RTL_CLASS_META(TDB2SpecOperationsEh, TServerSpecOperationsEh, TServerSpecOperationsClassOfEh<TDB2SpecOperationsEh>)
public:
  TDB2SpecOperationsEh() = default;
  static String GetServerTypeName() { return QStringLiteral("DB2"); }
};

class TSybaseSpecOperationsEh : public TServerSpecOperationsEh {
  RTL_CLASS_META(TSybaseSpecOperationsEh, TServerSpecOperationsEh,
                 TServerSpecOperationsClassOfEh<TSybaseSpecOperationsEh>)
public:
  TSybaseSpecOperationsEh() = default;
  static String GetServerTypeName() { return QStringLiteral("Sybase"); }
};

// ---------------------------------------------------------------------------
// the server-type registry and the default operations

// Adds OperationsClass under its server type name; a name already present
// (in any case) raises 'Server type w ith name: "X" is already registered'.
void RegisterServerSpecOperationsEh(TServerSpecOperationsClassEh OperationsClass);
// The registered classes in registration order.
const std::vector<TServerSpecOperationsClassEh>& ServerSpecOperationsClassesEh();
// The process-wide TServerSpecOperationsEh drivers fall back on (nullptr
// before start-up).
TServerSpecOperationsEh* DefaultServerSpecOperationsEh();

// Called by the SQL data driver unit (sqldatadriver.h): the registry with
// the eight classes in their fixed order, then the default operations.
void InitializeServerSpecOperationsEh();
void FinalizeServerSpecOperationsEh();
