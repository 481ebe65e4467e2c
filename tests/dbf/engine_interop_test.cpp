// Files the engine writes must read the same in GDAL, and files GDAL writes
// must read the same in the engine. Skipped when GDAL's tools are absent.
#include <cstdio>
#include <map>

#include "engine_fixture.h"

namespace kelvarin::dbf::testing {
namespace {

bool HaveGdal() { return std::system("command -v ogrinfo >/dev/null 2>&1 && command -v ogr2ogr >/dev/null 2>&1") == 0; }

std::string RunTool(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

class InteropTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (!HaveGdal()) GTEST_SKIP() << "ogrinfo/ogr2ogr not installed (Debian gdal-bin)";
  }
};

TEST_F(InteropTest, GdalReadsWhatTheEngineWrites) {
  host.MutableLocale().shortDate = "M/d/yyyy";
  const int16_t h = Create("ENGINE.DBF", {{"C", 10, 0, "NAME"}, {"N", 6, 0, "QTY"},
                                          {"N", 8, 2, "PRICE"}, {"D", 8, 0, "WHEN"},
                                          {"L", 1, 0, "OK"}});
  Append(h, {"", "Widget", "12", "3.50", "11/15/1997", "T"});
  Append(h, {"", "Gadget 2", "-345", "1234.25", "2/29/2000", "F"});
  Append(h, {"", "Thing", "0", "0.00", "12/31/1999", "T"});
  Close(h);

  const auto lines = Lines(RunTool("ogrinfo -al '" + Path("ENGINE.DBF") + "'"));
  std::vector<std::string> schema, values;
  for (const auto& l : lines) {
    if (l.rfind("NAME:", 0) == 0 || l.rfind("QTY:", 0) == 0 || l.rfind("PRICE:", 0) == 0 ||
        l.rfind("WHEN:", 0) == 0 || l.rfind("OK:", 0) == 0)
      schema.push_back(l);
    if (l.rfind("  ", 0) == 0 && l.find(" = ") != std::string::npos) values.push_back(l.substr(2));
  }
  EXPECT_EQ(schema, (std::vector<std::string>{"NAME: String (10.0)", "QTY: Integer (6.0)",
                                              "PRICE: Real (8.2)", "WHEN: Date (10.0)",
                                              "OK: String (1.0)"}));
  EXPECT_EQ(values, (std::vector<std::string>{
                        "NAME (String) = Widget", "QTY (Integer) = 12", "PRICE (Real) = 3.50",
                        "WHEN (Date) = 1997/11/15", "OK (String) = T",
                        "NAME (String) = Gadget 2", "QTY (Integer) = -345",
                        "PRICE (Real) = 1234.25", "WHEN (Date) = 2000/02/29",
                        "OK (String) = F", "NAME (String) = Thing", "QTY (Integer) = 0",
                        "PRICE (Real) = 0.00", "WHEN (Date) = 1999/12/31",
                        "OK (String) = T"}));
  bool countSeen = false;
  for (const auto& l : lines) countSeen = countSeen || l == "Feature Count: 3";
  EXPECT_TRUE(countSeen);
}

TEST_F(InteropTest, TheEngineReadsWhatGdalWrites) {
  WriteAll(Path("in.csv"), "NAME,QTY,PRICE,WHEN,OK\nabc,12,3.50,1997-11-15,T\n\"x y\",-3,,,F\n");
  WriteAll(Path("in.csvt"), "\"String(10)\",\"Integer(6)\",\"Real(8.2)\",\"Date\",\"String(1)\"\n");
  RunTool("ogr2ogr -f 'ESRI Shapefile' '" + Path("gdal.dbf") + "' '" + Path("in.csv") + "'");
  ASSERT_TRUE(std::filesystem::exists(Path("gdal.dbf")));

  int16_t err = -1;
  const int16_t h = Open(Path("gdal.dbf"), 4, err);
  ASSERT_EQ(err, 0);
  std::vector<std::string> fields;
  for (int16_t i = 1; i <= 5; ++i) {
    int16_t fieldNo = i, length = 0, decimals = 0;
    std::string name, type;
    engine->DbfFieldInfo(h, err, fieldNo, name, type, length, decimals);
    ASSERT_EQ(err, 0);
    fields.push_back(name + " " + type + std::to_string(length) + "." + std::to_string(decimals));
  }
  EXPECT_EQ(fields, (std::vector<std::string>{"NAME C10.0", "QTY N6.0", "PRICE N8.2", "WHEN D8.0", "OK C1.0"}));

  std::vector<std::string> records;
  std::string buf;
  for (;;) {
    int32_t rec = 0;
    engine->DbfReadRecord(h, err, rec, buf);
    if (err != 0) break;
    records.push_back(buf);
  }
  EXPECT_EQ(err, 113);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0], " abc           12    3.5019971115T");
  // GDAL's empty number is stars and its empty date zeros; the engine keeps
  // the text as stored.
  EXPECT_EQ(records[1], " x y           -3********00000000F");
  Close(h);
}

}  // namespace
}  // namespace kelvarin::dbf::testing
