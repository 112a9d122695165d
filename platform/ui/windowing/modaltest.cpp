#include "platform/ui/windowing/modaltest.h"

#include "platform/rtl/format.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

struct windowing_detail::TFailureSeam {
  test::TFailureReporter Reporter;
};

namespace test {

namespace {

TFailureReporter& failureReporter() { return WindowingState().FailureSeam.Get().Reporter; }

void reportFailure(const String& Message) {
  if (const TFailureReporter& Reporter = failureReporter()) {
    Reporter(Message);
    return;
  }
  std::fprintf(stderr, "%s\n", qPrintable(Message));
  std::abort();
}

}  // namespace

TFailureReporter SetFailureReporter(TFailureReporter Reporter) {
  return std::exchange(failureReporter(), std::move(Reporter));
}

String DescribeModal(const TModalRequest& Request) {
  if (Request.Form) return QStringLiteral("form %1 '%2'").arg(Request.ClassName, Request.Caption);
  return QStringLiteral("%1 '%2'").arg(Request.Kind, Request.Text.isEmpty() ? Request.Caption : Request.Text);
}

ModalScript::ModalScript() {
  FPrevious = SetModalResponder([this](TModalRequest& Request) { respond(Request); });
}

ModalScript::~ModalScript() {
  SetModalResponder(std::move(FPrevious));
  if (!FSteps.empty() && std::uncaught_exceptions() == 0)
    reportFailure(QStringLiteral("ModalScript: %1 answer(s) left unused").arg(FSteps.size()));
}

ModalScript& ModalScript::Then(TStep Step) {
  FSteps.push_back(std::move(Step));
  return *this;
}

ModalScript& ModalScript::Answer(TModalResult Result) {
  return Then([Result](TModalRequest& Request) {
    if (Request.Form) Request.Form->SetModalResult(Result);
    Request.Result = Result;
  });
}

void ModalScript::respond(TModalRequest& Request) {
  const String Name = DescribeModal(Request);
  if (FSteps.empty()) throw EUnansweredModal(QStringLiteral("No answer scripted for %s"), {Name});
  TStep Step = std::move(FSteps.front());
  FSteps.pop_front();
  FLog.append(Name);
  Step(Request);
}

}  // namespace test
