// The exception classes of the runtime and the "report and go on" hook.
//
// Every failure of the original platform's routines is an exception with a
// fixed class and text; callers tell failures apart by class (a cast error is
// not a conversion error), so the hierarchy below keeps the original parents.
#pragma once

#include "platform/rtl/system.h"

#include <QByteArray>
#include <exception>
#include <functional>
#include <initializer_list>

struct TVarRec;

class Exception : public std::exception {
public:
  explicit Exception(const String& Msg);
  // Formats Fmt with Args first (the original CreateFmt); defined with Format.
  Exception(const String& Fmt, std::initializer_list<TVarRec> Args);
  ~Exception() override;

  const char* what() const noexcept override;  // Message in UTF-8
  virtual String ClassName() const { return QStringLiteral("Exception"); }

  String Message;
  int HelpContext = 0;

private:
  mutable QByteArray FWhat;
};

// Declares an exception class that takes its parent's constructors and answers
// its own class name.  The only macro of the runtime's error model: C++ has no
// class names at run time.
#define RTL_DECLARE_EXCEPTION(Name, Base)                                   \
  class Name : public Base {                                                \
  public:                                                                   \
    using Base::Base;                                                       \
    String ClassName() const override { return QStringLiteral(#Name); }     \
  };

RTL_DECLARE_EXCEPTION(EAbort, Exception)
RTL_DECLARE_EXCEPTION(EConvertError, Exception)
RTL_DECLARE_EXCEPTION(EInvalidCast, Exception)
// An interface asked of an object that does not implement it ("Interface not
// supported").
RTL_DECLARE_EXCEPTION(EIntfCastError, Exception)
RTL_DECLARE_EXCEPTION(EAbstractError, Exception)
RTL_DECLARE_EXCEPTION(EInvalidPointer, Exception)
RTL_DECLARE_EXCEPTION(EOutOfMemory, Exception)
RTL_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory)
RTL_DECLARE_EXCEPTION(EInvalidOperation, Exception)
RTL_DECLARE_EXCEPTION(ENotSupportedException, Exception)
RTL_DECLARE_EXCEPTION(EThread, Exception)
RTL_DECLARE_EXCEPTION(EComponentError, Exception)
RTL_DECLARE_EXCEPTION(EParserError, Exception)

RTL_DECLARE_EXCEPTION(EArgumentException, Exception)
RTL_DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException)

RTL_DECLARE_EXCEPTION(EIntError, Exception)
RTL_DECLARE_EXCEPTION(EDivByZero, EIntError)
RTL_DECLARE_EXCEPTION(ERangeError, EIntError)
RTL_DECLARE_EXCEPTION(EIntOverflow, EIntError)
RTL_DECLARE_EXCEPTION(EMathError, Exception)
RTL_DECLARE_EXCEPTION(EInvalidOp, EMathError)
RTL_DECLARE_EXCEPTION(EZeroDivide, EMathError)
RTL_DECLARE_EXCEPTION(EOverflow, EMathError)
RTL_DECLARE_EXCEPTION(EUnderflow, EMathError)

RTL_DECLARE_EXCEPTION(EVariantError, Exception)
RTL_DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError)
RTL_DECLARE_EXCEPTION(EVariantInvalidOpError, EVariantError)
RTL_DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError)
RTL_DECLARE_EXCEPTION(EVariantOverflowError, EVariantError)
RTL_DECLARE_EXCEPTION(EVariantInvalidArgError, EVariantError)

RTL_DECLARE_EXCEPTION(EBcdException, Exception)
RTL_DECLARE_EXCEPTION(EBcdOverflowException, EBcdException)

RTL_DECLARE_EXCEPTION(EListError, Exception)
RTL_DECLARE_EXCEPTION(EStringListError, Exception)

RTL_DECLARE_EXCEPTION(EStreamError, Exception)
RTL_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
RTL_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
RTL_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
RTL_DECLARE_EXCEPTION(EFilerError, EStreamError)
RTL_DECLARE_EXCEPTION(EReadError, EFilerError)
RTL_DECLARE_EXCEPTION(EWriteError, EFilerError)
RTL_DECLARE_EXCEPTION(EClassNotFound, EFilerError)
RTL_DECLARE_EXCEPTION(EInvalidImage, EFilerError)

RTL_DECLARE_EXCEPTION(EPropertyError, Exception)
RTL_DECLARE_EXCEPTION(EPropertyConvertError, Exception)

// A text file could not be created or written; ErrorCode is the OS error.
class EInOutError : public Exception {
public:
  EInOutError(const String& Msg, int Code) : Exception(Msg), ErrorCode(Code) {}
  String ClassName() const override { return QStringLiteral("EInOutError"); }
  int ErrorCode;
};

// An OS call failed; ErrorCode is its errno value.
class EOSError : public Exception {
public:
  explicit EOSError(const String& Msg, int Code = 0) : Exception(Msg), ErrorCode(Code) {}
  String ClassName() const override { return QStringLiteral("EOSError"); }
  int ErrorCode;
};

// The OS text for an errno value ("No such file or directory").
String SysErrorMessage(int ErrorCode);

// Raises the silent EAbort ("Operation aborted"); report handlers ignore it.
[[noreturn]] void Abort();

// The "report and go on" path: code that must not let an exception escape
// (painting, timers, notifications) hands it here.  EAbort is dropped; the
// rest goes to the installed handler, by default a line on stderr.
using TExceptionHandler = std::function<void(std::exception_ptr)>;
void HandleException(std::exception_ptr E);
// Installs Handler (empty = the default) and returns the previous one.
TExceptionHandler SetExceptionHandler(TExceptionHandler Handler);

// The class name and message of any exception, for reports: a foreign
// std::exception gives its what() text.
String ExceptionClassName(std::exception_ptr E);
String ExceptionMessage(std::exception_ptr E);
