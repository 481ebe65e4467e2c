// Turns the scripted host's failures into test failures.
//
//   ScriptedHost host;
//   ScriptedExpect expect(host);   // checks at the end of the test
//   ...
#pragma once

#include <gtest/gtest.h>

#include "platform/scripted/scripted_host.h"

namespace kelvarin::test_support {

// Fails the current test when the host recorded a failure or holds an answer
// or script that was never used.
inline void ExpectScriptDone(platform::ScriptedHost& host) {
  std::string failures = host.ExpectAllConsumed();
  if (!failures.empty()) ADD_FAILURE() << "scripted host:\n" << failures;
}

// Runs ExpectScriptDone when it goes out of scope.
class ScriptedExpect {
 public:
  explicit ScriptedExpect(platform::ScriptedHost& host) : host_(host) {}
  ~ScriptedExpect() { ExpectScriptDone(host_); }
  ScriptedExpect(const ScriptedExpect&) = delete;
  ScriptedExpect& operator=(const ScriptedExpect&) = delete;

 private:
  platform::ScriptedHost& host_;
};

}  // namespace kelvarin::test_support
