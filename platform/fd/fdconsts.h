// The exceptions of the data-access layer and its message texts, kept in one
// table so each text is written once and raised the same way everywhere.
#pragma once

#include "platform/db/dbconsts.h"

// A misuse of the layer (no connection, an unusable statement text, a
// missing parameter).  A database error is EFDDBEngineException.
RTL_DECLARE_EXCEPTION(EFDException, EDatabaseError)

// An error reported by the database engine.  Message is the engine's own text,
// ErrorCode its extended result code (0 for the layer's row-count check).
class EFDDBEngineException : public EFDException {
public:
  EFDDBEngineException(const String& Msg, int Code) : EFDException(Msg), ErrorCode(Code) {}
  String ClassName() const override { return QStringLiteral("EFDDBEngineException"); }
  int ErrorCode;
};

namespace FDConsts {
inline constexpr const char* SEmptyCommand = "Command text must not be empty";
inline constexpr const char* SNoResultSet = "The statement returns no result set; use ExecSQL";
inline constexpr const char* SRowTooLarge = "A row of the result is larger than %s bytes and cannot be held";
inline constexpr const char* SOneStatement = "Only one SQL statement can be executed at a time";
inline constexpr const char* STransactionStatement = "Use the connection's transaction methods";
inline constexpr const char* STransactionRolledBack = "The transaction was rolled back by the database";
inline constexpr const char* SUpdateRowCount = "Update of table \"%s\" affected %d rows instead of 1";
inline constexpr const char* SConnectionMissing = "Connection is not assigned for [%s]";
inline constexpr const char* SActiveConnectionParams = "Cannot change parameters of an active connection";
inline constexpr const char* SDriverNotSupported = "Driver '%s' is not supported";
inline constexpr const char* SInvalidParamValue = "Invalid value '%s' of connection parameter '%s'";
inline constexpr const char* SParamNotFound = "Parameter '%s' not found";
inline constexpr const char* SParamNoValue = "Parameter '%s' has no value";
inline constexpr const char* SInvalidIndexOption = "Invalid index field option '%s'";
inline constexpr const char* SStoredProcNotSupported = "Stored procedures are not supported by SQLite";
}  // namespace FDConsts

// Raise EFDException with Msg, or with Fmt formatted by Args.
[[noreturn]] void FDException(const String& Msg);
[[noreturn]] void FDExceptionFmt(const String& Fmt, std::initializer_list<TVarRec> Args);
