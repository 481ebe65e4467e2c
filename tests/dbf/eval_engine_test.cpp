#include <gtest/gtest.h>

#include "dbf/dbf_eval.h"
#include "dbf/dbf_eval_engine.h"
#include "engine_fixture.h"
#include "eval_fake_context.h"

namespace kelvarin::dbf {
namespace {

class EvalEngine : public testing::EngineTest {
 protected:
  std::string Eval(DbfEvalContext& context, const std::string& code, const std::string& record) {
    int16_t err = 0;
    const std::string value = DbfEvalExprCode(context, err, code, 1, record);
    return err != 0 ? "#" + std::to_string(err) : value;
  }
};

TEST_F(EvalEngine, EvaluatesAgainstARecordOfAnOpenFile) {
  WriteAll(Path("PEOPLE.DBF"), testing::MakeDbf(0x03, {{"NAME", 'C', 6, 0}, {"BORN", 'D', 8, 0}},
                                                {" Smith 19971115", "*Jones 20000229"}));
  int16_t err = -1;
  const int16_t handle = Open(Path("PEOPLE.DBF"), 4, err);
  ASSERT_EQ(err, 0);
  std::string record;
  int32_t recNo = 2;
  engine->DbfReadRecord(handle, err, recNo, record);
  ASSERT_EQ(err, 0);

  host.MutableLocale().dateSeparator = "-";
  DbfEngineEvalContext context(*engine);
  using testing::Call;
  using testing::CompiledExpression;
  using testing::FieldRef;
  EXPECT_EQ(Eval(context, CompiledExpression(handle, 2, Call(42, "", FieldRef(2))), record),
            "02-29-00");
  EXPECT_EQ(Eval(context, CompiledExpression(handle, 3, Call(33, FieldRef(1)) + Call(26, "")),
                 record),
            "JONES T");
  EXPECT_EQ(Eval(context, CompiledExpression(handle, 1, FieldRef(3)), record), "#106");
  EXPECT_EQ(Eval(context, CompiledExpression(handle + 1, 1, FieldRef(1)), record), "#106");
  Close(handle);
  // The closed file's descriptors are no longer its fields.
  EXPECT_EQ(Eval(context, CompiledExpression(handle, 1, FieldRef(1)), record), "#106");
}

TEST_F(EvalEngine, StartsTheEngineAndChecksHandlesAgainstVbFiles) {
  DbfEngineEvalContext context(*engine);
  ASSERT_FALSE(engine->EngineReady());
  EXPECT_EQ(Eval(context, testing::CompiledExpression(1, 0, "x"), " "), "x");
  EXPECT_TRUE(engine->EngineReady());
  EXPECT_EQ(Eval(context, testing::CompiledExpression(engine->VbFiles() + 1, 0, "x"), " "),
            "#104");
}

}  // namespace
}  // namespace kelvarin::dbf
