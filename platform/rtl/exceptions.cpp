#include "platform/rtl/exceptions.h"

#include <cstdio>
#include <cstring>

Exception::Exception(const String& Msg) : Message(Msg) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept {
  FWhat = Message.toUtf8();
  return FWhat.constData();
}

String SysErrorMessage(int ErrorCode) {
  char Buffer[256];
  // The GNU strerror_r answers a pointer that need not be Buffer.
  return QString::fromLocal8Bit(strerror_r(ErrorCode, Buffer, sizeof Buffer));
}

void Abort() { throw EAbort(QStringLiteral("Operation aborted")); }

namespace {

TExceptionHandler& installedHandler() {
  static TExceptionHandler Handler;
  return Handler;
}

void reportToStderr(std::exception_ptr E) {
  const QByteArray Line =
      (ExceptionClassName(E) + QStringLiteral(": ") + ExceptionMessage(E)).toUtf8();
  std::fprintf(stderr, "%s\n", Line.constData());
}

}  // namespace

void HandleException(std::exception_ptr E) {
  if (!E) return;
  try {
    std::rethrow_exception(E);
  } catch (const EAbort&) {
    return;
  } catch (...) {
  }
  if (installedHandler())
    installedHandler()(E);
  else
    reportToStderr(E);
}

TExceptionHandler SetExceptionHandler(TExceptionHandler Handler) {
  TExceptionHandler Previous = std::move(installedHandler());
  installedHandler() = std::move(Handler);
  return Previous;
}

String ExceptionClassName(std::exception_ptr E) {
  try {
    std::rethrow_exception(E);
  } catch (const Exception& X) {
    return X.ClassName();
  } catch (const std::exception&) {
    return QStringLiteral("std::exception");
  } catch (...) {
    return QStringLiteral("unknown exception");
  }
}

String ExceptionMessage(std::exception_ptr E) {
  try {
    std::rethrow_exception(E);
  } catch (const Exception& X) {
    return X.Message;
  } catch (const std::exception& X) {
    return String::fromUtf8(X.what());
  } catch (...) {
    return String();
  }
}
