// The option groups of connections and datasets.
//
// A dataset's UpdateOptions inherit from its connection's: a value the
// dataset never set reads as the connection's (and the connection's unset
// values as the defaults), so the data module sets a policy once.
#pragma once

#include "platform/rtl/component.h"

#include <optional>

RTL_ENUM(TFDTxAction, xdNone, xdCommit, xdRollback)
RTL_ENUM(TFDUpdateMode, upWhereAll, upWhereChanged, upWhereKeyOnly)
RTL_ENUM(TFDFetchMode, fmManual, fmOnDemand, fmAll, fmExactRecsMax)

// Transaction options of a connection.
class TFDTxOptions : public TPersistent {
  RTL_CLASS(TFDTxOptions, TPersistent)
public:
  TFDTxOptions() = default;
  // AutoStop, DisconnectAction.
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  // Stored only: explicit transactions last until committed or rolled back.
  bool AutoStop() const { return FAutoStop; }
  void SetAutoStop(bool Value) { FAutoStop = Value; }
  // What disconnecting does with open levels: xdCommit releases every nested
  // level and commits; xdRollback rolls everything back; xdNone leaves it to
  // the engine, which rolls back.
  TFDTxAction DisconnectAction() const { return FDisconnectAction; }
  void SetDisconnectAction(TFDTxAction Value) { FDisconnectAction = Value; }

private:
  bool FAutoStop = false;
  TFDTxAction FDisconnectAction = xdCommit;
};

// How cached changes are written back.
class TFDUpdateOptions : public TPersistent {
  RTL_CLASS(TFDUpdateOptions, TPersistent)
public:
  // Parent (not owned) supplies the values not set here; nullptr: defaults.
  explicit TFDUpdateOptions(TFDUpdateOptions* Parent = nullptr) : FParent(Parent) {}
  // UpdateMode, KeyFields, UpdateTableName, ReadOnly, AutoCommitUpdates.
  static void DescribeProperties(TPropertyTable& Props);
  // Copies the values set in Source.
  void Assign(TPersistent* Source) override;

  TFDUpdateOptions* Parent() const { return FParent; }
  void SetParent(TFDUpdateOptions* Value) { FParent = Value; }

  // The WHERE of generated UPDATE and DELETE statements; default
  // upWhereKeyOnly.
  TFDUpdateMode UpdateMode() const;
  void SetUpdateMode(TFDUpdateMode Value) { FUpdateMode = Value; }
  // ";"-list of the key field names; "" = the fields flagged pfInKey.
  String KeyFields() const;
  void SetKeyFields(const String& Value) { FKeyFields = Value; }
  // The table written to; "" = the table of the first result column that
  // has one.
  String UpdateTableName() const;
  void SetUpdateTableName(const String& Value) { FUpdateTableName = Value; }
  bool ReadOnly() const;
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  // Clear the change log after every successful apply; default false.
  bool AutoCommitUpdates() const;
  void SetAutoCommitUpdates(bool Value) { FAutoCommitUpdates = Value; }

private:
  TFDUpdateOptions* FParent;
  std::optional<TFDUpdateMode> FUpdateMode;
  std::optional<String> FKeyFields;
  std::optional<String> FUpdateTableName;
  std::optional<bool> FReadOnly;
  std::optional<bool> FAutoCommitUpdates;
};

// How rows are fetched.
class TFDFetchOptions : public TPersistent {
  RTL_CLASS(TFDFetchOptions, TPersistent)
public:
  TFDFetchOptions() = default;
  // Mode, DetailCascade.
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  // Stored only: every query fetches all its rows when it opens.
  TFDFetchMode Mode() const { return FMode; }
  void SetMode(TFDFetchMode Value) { FMode = Value; }
  // Stored only: details always follow their master at once.
  bool DetailCascade() const { return FDetailCascade; }
  void SetDetailCascade(bool Value) { FDetailCascade = Value; }

private:
  TFDFetchMode FMode = fmAll;
  bool FDetailCascade = false;
};

// What the layer does with a statement's text.
class TFDResourceOptions : public TPersistent {
  RTL_CLASS(TFDResourceOptions, TPersistent)
public:
  TFDResourceOptions() = default;
  // ParamCreate.
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  // Off: ":name" markers are not made into Params (the text is taken
  // literally).
  bool ParamCreate() const { return FParamCreate; }
  void SetParamCreate(bool Value) { FParamCreate = Value; }

private:
  bool FParamCreate = true;
};
