// The answers the benchmarks give the program's dialogs, as a user would.
#pragma once

#include <string>

#include "platform/scripted/scripted_host.h"
#include "reports/dialogs/frmListRange.h"

namespace kelvarin::bench {

// The next List Range dialog asks for entries 1 to last, then OK.
inline void AnswerListRange(platform::ScriptedHost& host, int last) {
  host.OnShowAs<reports::frmListRange>("frmListRange", [last](reports::frmListRange& f) {
    f.txtStartRec.UserSetText("1");
    f.txtEndRec.UserSetText(std::to_string(last));
    f.cmdOK.UserClick();
  });
}

}  // namespace kelvarin::bench
