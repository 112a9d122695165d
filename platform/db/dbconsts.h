// EDatabaseError and the dataset layer's message texts, kept in one table so a
// text is written once and every caller raises it the same way.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

class TComponent;

RTL_DECLARE_EXCEPTION(EDatabaseError, Exception)

namespace DBConsts {
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SDataSetMissing = "Field '%s' has no dataset";
inline constexpr const char* SRecordNotFound = "Record not found";
inline constexpr const char* SIndexNotFound = "Index '%s' not found";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SUnknownFieldType = "Field '%s' is of an unknown type";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldNameMissing = "Field name missing";
inline constexpr const char* SInvalidFieldSize = "Invalid field size";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SInvalidIntegerValue = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* SInvalidFloatValue = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* SInvalidBoolValue = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SFieldRangeError =
    "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SFieldAccessError = "Cannot access field '%s' as type %s";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
inline constexpr const char* SInvalidKeyValueCount = "Invalid key value count for fields '%s'";
inline constexpr const char* SNotSupported = "Operation not supported";
inline constexpr const char* SExprUnterminatedString = "Unterminated string constant at position %d";
inline constexpr const char* SExprSyntaxError = "Syntax error in filter expression at position %d: %s";
inline constexpr const char* SExprNumberOutOfRange = "Number out of range in filter expression at position %d: %s";
inline constexpr const char* SExprTypeMismatch = "Type mismatch in expression";
inline constexpr const char* SExprAggregateNotAllowed = "Aggregate function %s is not allowed here";
inline constexpr const char* SExprBadOperator = "Operator <%d:%d> not supported.";
inline constexpr const char* SExprUnsupportedFunction = "Unsupported function: %s";
inline constexpr const char* SExprArgumentCount = "Incorrect number of arguments in function <%s>";
inline constexpr const char* SExprUnsupportedDataType = "Unsupported data type: [%d].";
}  // namespace DBConsts

// Raises EDatabaseError with Message, prefixed "Name: " when Component has a
// name.
[[noreturn]] void DatabaseError(const String& Message, TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(const String& Fmt, std::initializer_list<TVarRec> Args,
                                   TComponent* Component = nullptr);
