#include "dbf/dbf_eval.h"

#include <algorithm>
#include <vector>

#include "dbf/dbf_engine.h"
#include "dbf/dbf_error_codes.h"
#include "dbf/dbf_eval_codes.h"
#include "dbf/dbf_eval_ops.h"

namespace kelvarin::dbf {
namespace {

// The body is held as symbols: bytes of text 0..255, and the three
// delimiters of the code marked above that range so that data can never be
// mistaken for them.
using Symbol = uint16_t;
constexpr Symbol kMarked = 0x100;
constexpr Symbol kSeparator = kMarked | 253;
constexpr Symbol kOpen = kMarked | 254;
constexpr Symbol kClose = kMarked | 255;

constexpr unsigned char kFieldMark = 254;

Symbol CodeSymbol(unsigned char byte) { return byte >= 253 ? Symbol(kMarked | byte) : byte; }

void AppendData(std::vector<Symbol>& body, std::string_view text) {
  for (char c : text) body.push_back(static_cast<unsigned char>(c));
}

std::string ToText(std::vector<Symbol>::const_iterator from, std::vector<Symbol>::const_iterator to) {
  std::string text;
  text.reserve(static_cast<size_t>(to - from));
  for (auto it = from; it != to; ++it) text.push_back(static_cast<char>(*it & 0xFF));
  return text;
}

// Replaces the field references of the code's body; -1 when a reference
// fails. count loses one per reference.
int16_t FieldPass(const DbfEvalContext& context, int16_t handle, std::string_view code,
                  std::string_view record, int& count, std::vector<Symbol>& body) {
  body.reserve(code.size());
  size_t k = 0;
  while (k < code.size()) {
    const auto byte = static_cast<unsigned char>(code[k]);
    if (byte != kFieldMark || k + 1 >= code.size() || code[k + 1] != '\0') {
      body.push_back(CodeSymbol(byte));
      ++k;
      continue;
    }
    if (k + 2 >= code.size()) return kEvalErrFieldPass;
    const int fieldNumber = static_cast<unsigned char>(code[k + 2]);
    const DbfFieldDesc* desc = context.FieldDescAt(handle, fieldNumber);
    if (desc == nullptr || desc->Offset < 1 || desc->FieldLength < 0) return kEvalErrFieldPass;
    const auto offset = static_cast<size_t>(desc->Offset - 1);
    const std::string_view text =
        offset < record.size() ? record.substr(offset, static_cast<size_t>(desc->FieldLength))
                               : std::string_view();
    if (body.size() + text.size() > kEvalMaxText) return kEvalErrFieldPass;
    AppendData(body, text);
    --count;
    k += 3;
  }
  return 0;
}

int16_t CallPass(const DbfEvalContext& context, std::string_view record, int32_t recNo, int count,
                 std::vector<Symbol>& body) {
  const ExprOpEnv env{&context, record, recNo};
  std::string result;
  for (--count; count >= 0; --count) {
    const auto close = std::find(body.begin(), body.end(), kClose);
    if (close == body.end()) return kEvalErrFunction;
    const auto open = std::find(std::make_reverse_iterator(close), body.rend(), kOpen);
    if (open == body.rend()) return kEvalErrFunction;
    const auto argsBegin = open.base();  // just after the Chr(254)
    const auto openPos = argsBegin - 1;
    if (openPos == body.begin()) return kEvalErrFunction;
    const auto opPos = openPos - 1;
    const int op = *opPos & 0xFF;

    std::string args[3];
    auto from = argsBegin;
    for (int n = 0; n < 2; ++n) {
      const auto sep = std::find(from, close, kSeparator);
      args[n] = ToText(from, sep);
      from = sep == close ? close : sep + 1;
    }
    args[2] = ToText(from, close);

    if (int16_t err = RunExprOp(op, args[0], args[1], args[2], env, result); err != 0) return err;
    if (body.size() - static_cast<size_t>(close + 1 - opPos) + result.size() > kEvalMaxText) {
      return kEvalErrFunction;
    }
    std::vector<Symbol> replacement;
    replacement.reserve(result.size());
    AppendData(replacement, result);
    const auto at = body.erase(opPos, close + 1);
    body.insert(at, replacement.begin(), replacement.end());
  }
  return 0;
}

}  // namespace

std::string DbfEvalExprCode(DbfEvalContext& context, int16_t& err, std::string_view code,
                            int32_t recNo, std::string_view record) {
  err = context.EnsureReady();
  if (err != 0) return "";
  const int16_t length = DbfEngine::DbfStrToInteger(std::string(code.substr(0, 2)));
  if (static_cast<int64_t>(length) != static_cast<int64_t>(code.size())) {
    err = kEvalErrCorrupted;
    return "";
  }
  if (code.size() < 5) {
    err = kEvalErrInvalidCall;
    return "";
  }
  const auto handle = static_cast<int16_t>(static_cast<unsigned char>(code[3]));
  if (handle < 1 || handle > context.VbFiles()) {
    err = kErrHandle;
    return "";
  }
  int count = static_cast<unsigned char>(code[4]);

  std::vector<Symbol> body;
  err = FieldPass(context, handle, code.substr(5), record, count, body);
  if (err == 0) err = CallPass(context, record, recNo, count, body);
  if (err == 0 && body.size() < 2) err = kEvalErrCorrupted;
  if (err != 0) return "";
  return ToText(body.begin() + 1, body.end() - 1);
}

}  // namespace kelvarin::dbf
