#include "platform/fd/fdoptions.h"

// ---------------------------------------------------------------------------
// TFDTxOptions

void TFDTxOptions::DescribeProperties(TPropertyTable& Props) {
  Props.Add("AutoStop", &TFDTxOptions::AutoStop, &TFDTxOptions::SetAutoStop).Default(false);
  Props.Add("DisconnectAction", &TFDTxOptions::DisconnectAction, &TFDTxOptions::SetDisconnectAction)
      .Default(xdCommit);
}

void TFDTxOptions::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TFDTxOptions*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FAutoStop = Other->FAutoStop;
  FDisconnectAction = Other->FDisconnectAction;
}

// ---------------------------------------------------------------------------
// TFDUpdateOptions

void TFDUpdateOptions::DescribeProperties(TPropertyTable& Props) {
  Props.Add("UpdateMode", &TFDUpdateOptions::UpdateMode, &TFDUpdateOptions::SetUpdateMode)
      .Default(upWhereKeyOnly);
  Props.Add("KeyFields", &TFDUpdateOptions::KeyFields, &TFDUpdateOptions::SetKeyFields);
  Props.Add("UpdateTableName", &TFDUpdateOptions::UpdateTableName, &TFDUpdateOptions::SetUpdateTableName);
  Props.Add("ReadOnly", &TFDUpdateOptions::ReadOnly, &TFDUpdateOptions::SetReadOnly).Default(false);
  Props.Add("AutoCommitUpdates", &TFDUpdateOptions::AutoCommitUpdates, &TFDUpdateOptions::SetAutoCommitUpdates)
      .Default(false);
}

void TFDUpdateOptions::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TFDUpdateOptions*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FUpdateMode = Other->FUpdateMode;
  FKeyFields = Other->FKeyFields;
  FUpdateTableName = Other->FUpdateTableName;
  FReadOnly = Other->FReadOnly;
  FAutoCommitUpdates = Other->FAutoCommitUpdates;
}

TFDUpdateMode TFDUpdateOptions::UpdateMode() const {
  if (FUpdateMode) return *FUpdateMode;
  return FParent ? FParent->UpdateMode() : upWhereKeyOnly;
}

String TFDUpdateOptions::KeyFields() const {
  if (FKeyFields) return *FKeyFields;
  return FParent ? FParent->KeyFields() : String();
}

String TFDUpdateOptions::UpdateTableName() const {
  if (FUpdateTableName) return *FUpdateTableName;
  return FParent ? FParent->UpdateTableName() : String();
}

bool TFDUpdateOptions::ReadOnly() const {
  if (FReadOnly) return *FReadOnly;
  return FParent && FParent->ReadOnly();
}

bool TFDUpdateOptions::AutoCommitUpdates() const {
  if (FAutoCommitUpdates) return *FAutoCommitUpdates;
  return FParent && FParent->AutoCommitUpdates();
}

// ---------------------------------------------------------------------------
// TFDFetchOptions, TFDResourceOptions

void TFDFetchOptions::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Mode", &TFDFetchOptions::Mode, &TFDFetchOptions::SetMode).Default(fmAll);
  Props.Add("DetailCascade", &TFDFetchOptions::DetailCascade, &TFDFetchOptions::SetDetailCascade).Default(false);
}

void TFDFetchOptions::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TFDFetchOptions*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FMode = Other->FMode;
  FDetailCascade = Other->FDetailCascade;
}

void TFDResourceOptions::DescribeProperties(TPropertyTable& Props) {
  Props.Add("ParamCreate", &TFDResourceOptions::ParamCreate, &TFDResourceOptions::SetParamCreate).Default(true);
}

void TFDResourceOptions::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TFDResourceOptions*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  FParamCreate = Other->FParamCreate;
}
