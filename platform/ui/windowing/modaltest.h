// The modal test seam: a scripted responder for every modal run.
//
// A ModalScript installs itself as the modal responder (forms.h) while it
// lives and answers the modal runs in order, each with its next answer: a
// step given the request (for a form: the form, shown and modal; fill its
// controls, inject input, set ModalResult) or a canned result.  A run with no
// answer left raises EUnansweredModal naming the form class or the dialog
// text, so a test fails instead of hanging; answers left unused when the
// script ends are reported as a failure.
#pragma once

#include "platform/ui/windowing/forms.h"

#include <QStringList>
#include <deque>
#include <functional>

namespace test {

class ModalScript {
public:
  using TStep = std::function<void(TModalRequest& Request)>;

  ModalScript();
  // Reports the unused answers (through the failure reporter) and restores
  // the previous responder.
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  // The next answer runs Step.
  ModalScript& Then(TStep Step);
  // The next answer is Result (a form's ModalResult, a dialog's answer).
  ModalScript& Answer(TModalResult Result);
  // The answers not used yet.
  int Remaining() const { return int(FSteps.size()); }
  // The requests answered so far, in order ("form TMyDialog", "dialog text").
  const QStringList& Log() const { return FLog; }

private:
  void respond(TModalRequest& Request);

  std::deque<TStep> FSteps;
  QStringList FLog;
  TModalResponder FPrevious;
};

// Where ModalScript reports a failure it cannot raise (answers left unused);
// empty: a line on stderr and abort.  Test suites install their framework's
// failure call.  Returns the previous reporter.
using TFailureReporter = std::function<void(const String& Message)>;
TFailureReporter SetFailureReporter(TFailureReporter Reporter);

// A readable name of a modal request: "form <class> '<caption>'" or
// "<kind> '<text>'".
String DescribeModal(const TModalRequest& Request);

}  // namespace test
