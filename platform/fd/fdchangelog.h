// The change log of a dataset with cached updates, and its memory of applied
// changes for the transactions they were applied in.
//
// An entry describes one record's change against the database:
//
//   Kind     Old (the database's values)     the record's current row
//   Insert   -                               the values to insert
//   Modify   before the first change         the values to write
//   Delete   before the first change         -
//
// A record has at most one pending (not yet applied) entry; further posts
// merge into it (insert + edits = insert, edits + edits = one modify with the
// first old values, insert + delete = nothing, modify + delete = delete with
// the first old values).  Pending entries keep the order of first change.
//
// Applying marks entries applied with the transaction level; an applied
// entry is never run again.  CommitUpdates takes applied entries out of the
// log, but while their level is open they stay remembered: committing a
// nested level hands them to the parent level, the outermost commit forgets
// them, and rolling a level back turns what it applied into pending entries
// again (merged with later pending entries of the same records), because the
// database no longer holds those changes.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/fd/fdstore.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

enum class TFDChangeKind : std::uint8_t { Insert, Modify, Delete };

struct TFDChange {
  TFDRecordId Record = NoRecordId;
  TFDChangeKind Kind = TFDChangeKind::Modify;
  TFDRow Old;               // Modify, Delete: the database's values
  bool Applied = false;
  int Level = 0;            // applied entries: the level applied in (0: durable)
  std::uint64_t Order = 0;  // order of first change
  std::uint64_t AppliedOrder = 0;
};

class TFDChangeLog {
public:
  TFDChangeLog() = default;
  TFDChangeLog(const TFDChangeLog&) = delete;
  TFDChangeLog& operator=(const TFDChangeLog&) = delete;

  // Forgets everything, remembered entries included.
  void Clear();

  // recording posted changes
  void RecordInsert(TFDRecordId Id);
  // Current: the record's row before this change (the database's values
  // unless a pending entry already holds them).
  void RecordModify(TFDRecordId Id, const TFDRow& Current);
  // Answers true when the record never reached the database (a pending
  // insert), so it must simply disappear.
  bool RecordDelete(TFDRecordId Id, const TFDRow& Current);

  // the log
  // Entries in the log, pending or applied: UpdatesPending.
  bool Empty() const { return FLog.empty(); }
  int Count() const { return int(FLog.size()); }
  // The pending entry of a record; nullptr when none.
  TFDChange* Pending(TFDRecordId Id) const;
  // Pending entries in order of first change.
  std::vector<TFDChange*> PendingChanges() const;
  // The record's status by its latest entry in the log.
  TUpdateStatus StatusOf(TFDRecordId Id) const;
  // Whether any entry, in the log or remembered, refers to the record.
  bool Refers(TFDRecordId Id) const;

  // outcomes
  void MarkApplied(const std::vector<TFDChange*>& Changes, int Level);
  // Applied entries leave the log; those of an open level are remembered.
  void CommitUpdates();
  // Takes the pending entries out of the log (latest first) for the
  // dataset to revert its records.
  std::vector<std::unique_ptr<TFDChange>> TakePending();
  // Removes Id's pending entry (the caller reverts the record).
  std::unique_ptr<TFDChange> TakePending(TFDRecordId Id);

  // transactions
  void LevelCommitted(int Level);
  // Entries applied at Level or deeper become pending again.  Answers the
  // records whose insert and delete cancelled out: they must be removed.
  std::vector<TFDRecordId> LevelRolledBack(int Level);

  // For asserts and tests: the pending index and the log agree.
  bool CheckConsistency() const;

private:
  TFDChange* add(TFDRecordId Id, TFDChangeKind Kind, TFDRow Old);
  std::unique_ptr<TFDChange> takeFromLog(TFDChange* Change);
  void refer(TFDRecordId Id, int Delta);
  // Puts a reverted applied entry back as pending, merging a later pending
  // entry of the same record into it; answers false when they cancel out.
  bool restorePending(std::unique_ptr<TFDChange> Earlier);
  void sortLog();

  std::vector<std::unique_ptr<TFDChange>> FLog;      // pending and applied, by Order
  std::vector<std::unique_ptr<TFDChange>> FHistory;  // committed-away entries of open levels
  std::unordered_map<TFDRecordId, TFDChange*> FPending;
  std::unordered_map<TFDRecordId, int> FReferences;  // entries per record, log and history
  std::uint64_t FNextOrder = 1;
};
