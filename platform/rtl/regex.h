// A small regular-expression class over PCRE2.
//
// Patterns and subjects are UTF-16 units without Unicode properties: \d is
// 0-9 only and '.' matches one unit.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/system.h"

#include <memory>
#include <vector>

// A pattern that does not compile, or a match that PCRE2 gives up on:
// "Error in regular expression at offset 3: missing closing parenthesis".
RTL_DECLARE_EXCEPTION(ERegularExpressionError, Exception)

// The matched texts, in subject order.
using TMatchCollection = std::vector<String>;

class TRegEx {
public:
  // Compiles Pattern; raises ERegularExpressionError when it is invalid.
  explicit TRegEx(const String& Pattern);

  bool IsMatch(const String& Text) const;
  // Every match from left to right; after an empty match the search goes on
  // one char further, so it never stalls.
  TMatchCollection Matches(const String& Text) const;
  static TMatchCollection Matches(const String& Text, const String& Pattern);

private:
  struct TCompiled;
  // Compiled code is read-only once built, so copies share it.
  std::shared_ptr<const TCompiled> FCode;
};
