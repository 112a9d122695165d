#include "platform/fd/fdchangelog.h"

#include <algorithm>
#include <cassert>

namespace {

TUpdateStatus statusOf(TFDChangeKind Kind) {
  switch (Kind) {
    case TFDChangeKind::Insert: return usInserted;
    case TFDChangeKind::Modify: return usModified;
    case TFDChangeKind::Delete: return usDeleted;
  }
  return usUnmodified;
}

}  // namespace

void TFDChangeLog::Clear() {
  FLog.clear();
  FHistory.clear();
  FPending.clear();
  FReferences.clear();
}

void TFDChangeLog::refer(TFDRecordId Id, int Delta) {
  int& Count = FReferences[Id];
  Count += Delta;
  if (Count == 0) FReferences.erase(Id);
}

TFDChange* TFDChangeLog::add(TFDRecordId Id, TFDChangeKind Kind, TFDRow Old) {
  auto Change = std::make_unique<TFDChange>();
  Change->Record = Id;
  Change->Kind = Kind;
  Change->Old = std::move(Old);
  Change->Order = FNextOrder++;
  TFDChange* Result = Change.get();
  FLog.push_back(std::move(Change));
  FPending[Id] = Result;
  refer(Id, +1);
  return Result;
}

std::unique_ptr<TFDChange> TFDChangeLog::takeFromLog(TFDChange* Change) {
  const auto Found = std::find_if(FLog.begin(), FLog.end(), [Change](const auto& C) { return C.get() == Change; });
  assert(Found != FLog.end() && "the entry is not in the log");
  std::unique_ptr<TFDChange> Result = std::move(*Found);
  FLog.erase(Found);
  return Result;
}

// ---------------------------------------------------------------------------
// recording

void TFDChangeLog::RecordInsert(TFDRecordId Id) {
  assert(!Pending(Id) && "a new record with a pending entry");
  add(Id, TFDChangeKind::Insert, TFDRow());
}

void TFDChangeLog::RecordModify(TFDRecordId Id, const TFDRow& Current) {
  if (Pending(Id)) {
    assert(Pending(Id)->Kind != TFDChangeKind::Delete && "a deleted record was edited");
    return;
  }
  add(Id, TFDChangeKind::Modify, Current.Clone());
}

bool TFDChangeLog::RecordDelete(TFDRecordId Id, const TFDRow& Current) {
  TFDChange* Existing = Pending(Id);
  if (!Existing) {
    add(Id, TFDChangeKind::Delete, Current.Clone());
    return false;
  }
  if (Existing->Kind == TFDChangeKind::Insert) {
    TakePending(Id);
    return true;
  }
  Existing->Kind = TFDChangeKind::Delete;
  return false;
}

// ---------------------------------------------------------------------------
// the log

TFDChange* TFDChangeLog::Pending(TFDRecordId Id) const {
  const auto Found = FPending.find(Id);
  return Found == FPending.end() ? nullptr : Found->second;
}

std::vector<TFDChange*> TFDChangeLog::PendingChanges() const {
  std::vector<TFDChange*> Result;
  Result.reserve(FPending.size());
  for (const auto& Change : FLog)
    if (!Change->Applied) Result.push_back(Change.get());
  return Result;
}

TUpdateStatus TFDChangeLog::StatusOf(TFDRecordId Id) const {
  if (const TFDChange* Change = Pending(Id)) return statusOf(Change->Kind);
  if (!Refers(Id)) return usUnmodified;
  const TFDChange* Latest = nullptr;
  for (const auto& Change : FLog)
    if (Change->Record == Id && (!Latest || Change->AppliedOrder > Latest->AppliedOrder)) Latest = Change.get();
  return Latest ? statusOf(Latest->Kind) : usUnmodified;
}

bool TFDChangeLog::Refers(TFDRecordId Id) const { return FReferences.count(Id) != 0; }

// ---------------------------------------------------------------------------
// outcomes

void TFDChangeLog::MarkApplied(const std::vector<TFDChange*>& Changes, int Level) {
  for (TFDChange* Change : Changes) {
    assert(!Change->Applied && "an entry applied twice");
    Change->Applied = true;
    Change->Level = Level;
    Change->AppliedOrder = FNextOrder++;
    FPending.erase(Change->Record);
  }
}

void TFDChangeLog::CommitUpdates() {
  std::vector<std::unique_ptr<TFDChange>> Kept;
  for (auto& Change : FLog) {
    if (!Change->Applied) {
      Kept.push_back(std::move(Change));
    } else if (Change->Level > 0) {
      FHistory.push_back(std::move(Change));
    } else {
      refer(Change->Record, -1);
    }
  }
  FLog = std::move(Kept);
}

std::vector<std::unique_ptr<TFDChange>> TFDChangeLog::TakePending() {
  std::vector<std::unique_ptr<TFDChange>> Taken;
  std::vector<std::unique_ptr<TFDChange>> Kept;
  for (auto& Change : FLog) (Change->Applied ? Kept : Taken).push_back(std::move(Change));
  FLog = std::move(Kept);
  for (const auto& Change : Taken) {
    FPending.erase(Change->Record);
    refer(Change->Record, -1);
  }
  std::reverse(Taken.begin(), Taken.end());
  return Taken;
}

std::unique_ptr<TFDChange> TFDChangeLog::TakePending(TFDRecordId Id) {
  TFDChange* Change = Pending(Id);
  if (!Change) return nullptr;
  std::unique_ptr<TFDChange> Result = takeFromLog(Change);
  FPending.erase(Id);
  refer(Id, -1);
  return Result;
}

// ---------------------------------------------------------------------------
// transactions

void TFDChangeLog::LevelCommitted(int Level) {
  auto Hand = [Level](TFDChange& Change) {
    if (Change.Applied && Change.Level >= Level) Change.Level = Level - 1;
  };
  for (auto& Change : FLog) Hand(*Change);
  std::vector<std::unique_ptr<TFDChange>> Kept;
  for (auto& Change : FHistory) {
    Hand(*Change);
    // Durable now: nothing can undo it any more.
    if (Change->Level == 0)
      refer(Change->Record, -1);
    else
      Kept.push_back(std::move(Change));
  }
  FHistory = std::move(Kept);
}

std::vector<TFDRecordId> TFDChangeLog::LevelRolledBack(int Level) {
  std::vector<std::unique_ptr<TFDChange>> Undone;
  auto Collect = [&](std::vector<std::unique_ptr<TFDChange>>& From) {
    std::vector<std::unique_ptr<TFDChange>> Kept;
    for (auto& Change : From)
      (Change->Applied && Change->Level >= Level ? Undone : Kept).push_back(std::move(Change));
    From = std::move(Kept);
  };
  Collect(FLog);
  Collect(FHistory);
  // Latest first: each reverted entry is earlier than what is pending now.
  std::sort(Undone.begin(), Undone.end(),
            [](const auto& A, const auto& B) { return A->AppliedOrder > B->AppliedOrder; });
  std::vector<TFDRecordId> Removed;
  for (auto& Change : Undone) {
    const TFDRecordId Id = Change->Record;
    if (!restorePending(std::move(Change))) Removed.push_back(Id);
  }
  sortLog();
  return Removed;
}

bool TFDChangeLog::restorePending(std::unique_ptr<TFDChange> Earlier) {
  Earlier->Applied = false;
  Earlier->Level = 0;
  const TFDRecordId Id = Earlier->Record;
  TFDChange* Later = Pending(Id);
  if (!Later) {
    FPending[Id] = Earlier.get();
    FLog.push_back(std::move(Earlier));
    return true;
  }
  assert(Earlier->Kind != TFDChangeKind::Delete && "a deleted record changed later");
  refer(Id, -1);  // the two entries become one
  if (Earlier->Kind == TFDChangeKind::Insert) {
    if (Later->Kind == TFDChangeKind::Delete) {
      TakePending(Id);
      return false;
    }
    Later->Kind = TFDChangeKind::Insert;
    Later->Old = TFDRow();
  } else {
    Later->Old = std::move(Earlier->Old);
  }
  Later->Order = Earlier->Order;
  return true;
}

void TFDChangeLog::sortLog() {
  std::sort(FLog.begin(), FLog.end(), [](const auto& A, const auto& B) { return A->Order < B->Order; });
}

bool TFDChangeLog::CheckConsistency() const {
  std::unordered_map<TFDRecordId, int> Counted;
  std::size_t PendingCount = 0;
  for (std::size_t I = 0; I < FLog.size(); ++I) {
    const TFDChange& Change = *FLog[I];
    if (I > 0 && FLog[I - 1]->Order >= Change.Order) return false;
    if (!Change.Applied) {
      ++PendingCount;
      if (Pending(Change.Record) != &Change) return false;
    }
    ++Counted[Change.Record];
  }
  for (const auto& Change : FHistory) {
    if (!Change->Applied || Change->Level == 0) return false;
    ++Counted[Change->Record];
  }
  return PendingCount == FPending.size() && Counted == FReferences;
}
