// A dBase III file exported by a run reads the same in other programs'
// readers: GDAL's ogrinfo, Debian's python3-dbfread and the npm package
// dbffile. Each test skips when its reader is not installed; dbffile is
// looked for under $KV_DBFFILE_DIR/node_modules (tests/interop/db3_interop.sh
// installs it into a temporary folder).
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "dbf/db3_fixture.h"
#include "platform/text/codepage.h"
#include "reports/dialogs/frmListRange.h"

namespace kelvarin::test_support {
namespace {

bool Installed(const std::string& command) {
  return std::system(("command -v " + command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return out;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

class Db3InteropTest : public Db3Test {
 protected:
  // Exports the catalog through List Range; returns the file's path.
  std::string Export() {
    CatalogBuilder cat(dir_.path(), "SHOP");
    cat.Field(0, "Item No.", 6, store::KindKey).Field(1, "Name", 20).Field(4, "Price", 8, store::KindSummed);
    cat.Field(7, "Total", 10).Formula(7, 4, store::OpPlus, 4);
    cat.Entry({"A1", "Caf\xE9 cr\xE8me", "", "", "2.50"});
    cat.DeletedEntry({"B22", "Tea, green", "", "", "1"});
    cat.Entry({"C333", "\"Quoted\"", "", "", "12"});
    Start(&cat, store::rdDbase);
    host_.OnShowAs<reports::frmListRange>("frmListRange", [](reports::frmListRange& f) {
      f.txtStartRec.UserSetText("1");
      f.txtEndRec.UserSetText("3");
      f.cmdOK.UserClick();
    });
    NameExport("SHOP");
    const std::string path = dir_.File("SHOP.DBF");
    host_.AnswerMsgBox(platform::MsgAnswer::OK);
    main().mnuVListRange.UserClick();
    return path;
  }
  // What every reader should give, in UTF-8: the names, then one line per
  // record, values separated by "|".
  static std::vector<std::string> Expected() {
    return {"ITEM_NO_|NAME|PRICE|TOTAL", "A1|Caf\xC3\xA9 cr\xC3\xA8me|2.50|5", "B22|Tea, green|1|2",
            "C333|\"Quoted\"|12|24"};
  }
};

TEST_F(Db3InteropTest, GdalReadsTheSameNamesAndValues) {
  if (!Installed("ogrinfo")) GTEST_SKIP() << "ogrinfo not installed (Debian gdal-bin)";
  const std::string path = Export();
  // ogrinfo lists each record as "  NAME (String) = value" lines.
  const auto lines = Lines(Output("ogrinfo -ro -al -q --config SHAPE_ENCODING CP1252 '" + path + "' 2>/dev/null"));
  std::vector<std::string> names, records;
  for (const std::string& line : lines) {
    if (line.rfind("OGRFeature", 0) == 0) {
      records.emplace_back();
      continue;
    }
    const size_t type = line.find(" (String) = ");
    if (type == std::string::npos || records.empty() || line.size() < 2) continue;
    if (records.size() == 1) names.push_back(line.substr(2, type - 2));
    if (!records.back().empty()) records.back() += '|';
    records.back() += line.substr(type + 12);
  }
  std::string header;
  for (const auto& n : names) header += (header.empty() ? "" : "|") + n;
  std::vector<std::string> got{header};
  got.insert(got.end(), records.begin(), records.end());
  EXPECT_EQ(got, Expected());
}

TEST_F(Db3InteropTest, DbfreadReadsTheSameNamesAndValues) {
  const std::string python = "/usr/bin/python3";
  if (std::system((python + " -c 'import dbfread' >/dev/null 2>&1").c_str()) != 0)
    GTEST_SKIP() << "dbfread not installed (Debian python3-dbfread)";
  const std::string path = Export();
  const std::string script =
      "import sys, dbfread\n"
      "t = dbfread.DBF(sys.argv[1], encoding='cp1252', load=True)\n"
      "print('|'.join(t.field_names))\n"
      "for r in t.records: print('|'.join(str(r[f]).strip() for f in t.field_names))\n";
  const auto lines = Lines(Output(python + " -c \"" + script + "\" '" + path + "' 2>&1"));
  EXPECT_EQ(lines, Expected());
}

TEST_F(Db3InteropTest, DbffileReadsTheSameNamesAndValues) {
  const char* dir = std::getenv("KV_DBFFILE_DIR");
  if (dir == nullptr || !Installed("node"))
    GTEST_SKIP() << "dbffile not installed: tests/interop/db3_interop.sh installs it with npm";
  const std::string path = Export();
  const std::string script =
      "const {DBFFile} = require('dbffile');"
      "(async () => {"
      "  const d = await DBFFile.open(process.argv[1], {encoding: 'win1252'});"
      "  console.log(d.fields.map(f => f.name).join('|'));"
      "  for (const r of await d.readRecords())"
      "    console.log(d.fields.map(f => String(r[f.name]).trim()).join('|'));"
      "})().catch(e => { console.log('ERROR ' + e.message); });";
  const auto lines = Lines(Output("NODE_PATH='" + std::string(dir) + "/node_modules' node -e \"" + script + "\" '" + path +
                               "' 2>&1"));
  EXPECT_EQ(lines, Expected());
}

}  // namespace
}  // namespace kelvarin::test_support
