// Every real-world DBF of the shared test data that the engine opens becomes
// a catalog whose entries agree with what GDAL's ogr2ogr reads from the same
// file (its CSV output, with the text bytes left as the file holds them).
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "dbf/db3_exchange.h"
#include "dbf/db3_fixture.h"
#include "platform/text/codepage.h"

namespace kelvarin::test_support {
namespace {

// The build names the shared data beside the project; KV_SHARED_TESTDATA in
// the environment names another place.
const std::string kDbfData =
    std::string(std::getenv("KV_SHARED_TESTDATA") ? std::getenv("KV_SHARED_TESTDATA") : KV_SHARED_TESTDATA) + "/dbf";

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// RFC 4180 rows: quoted values may hold commas, quotes and line breaks.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string value;
  bool quoted = false, any = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        value += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        value += c;
      }
    } else if (c == '"') {
      quoted = true;
      any = true;
    } else if (c == ',') {
      row.push_back(value);
      value.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.push_back(value);
      rows.push_back(row);
      row.clear();
      value.clear();
      any = false;
    } else {
      value += c;
      any = true;
    }
  }
  if (any || !value.empty() || !row.empty()) {
    row.push_back(value);
    rows.push_back(row);
  }
  return rows;
}

bool AsNumber(const std::string& s, double* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  *out = std::strtod(s.c_str(), &end);
  return end != nullptr && *end == '\0';
}

// GDAL writes dates yyyy/mm/dd; the import writes them mm/dd/yy.
std::string ImportDatePattern(const std::string& gdal) {
  if (gdal.size() != 10 || gdal[4] != '/' || gdal[7] != '/') return gdal;
  return gdal.substr(5, 2) + "/" + gdal.substr(8, 2) + "/" + gdal.substr(2, 2);
}

// The catalog files hold code page 437: what a text becomes on its way
// through them.
std::string ThroughCatalogFile(const std::string& ansi) { return platform::OemToAnsi(platform::AnsiToOem(ansi)); }

class Db3RealFilesTest : public Db3Test {};

TEST_F(Db3RealFilesTest, EveryFileTheEngineOpensImportsAsGdalReadsIt) {
  if (!std::filesystem::exists(kDbfData)) GTEST_SKIP() << "shared DBF test data not found at " << kDbfData;
  if (std::system("command -v ogr2ogr >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "ogr2ogr not installed (Debian gdal-bin)";
  Start();
  dbf::DbfEngine& engine = program_->dbfEngine();
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(kDbfData)) {
    std::string ext = entry.path().extension().string();
    if (ext == ".dbf" || ext == ".DBF") files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 20u);

  int imported = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const std::string path = kDbfData + "/" + file;
    int16_t handle = 0, err = 0, type = 3;
    std::string name = path;
    engine.DbfOpen(handle, err, name, type, 12);
    if (err != 0) continue;
    engine.DbfClose(handle, err, 0);

    const auto raw = ParseDbf(ReadFileBytes(path));
    ASSERT_TRUE(raw);
    const std::string catalog = "REAL" + std::to_string(++imported);
    const size_t m = std::min<size_t>(raw->columns.size(), 20);
    host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains " + std::to_string(raw->recordCount) + " Records");
    // Characters code page 437 lacks are told, by the entries that held them.
    const auto replaced = std::count_if(raw->rows.begin(), raw->rows.end(), [&](const DbfRow& row) {
      for (size_t i = 0; i < m && i < row.values.size(); ++i)
        if (ThroughCatalogFile(row.values[i]) != row.values[i]) return true;
      return false;
    });
    if (replaced > 0)
      host_.AnswerMsgBox(platform::MsgAnswer::OK, "Characters the catalog cannot hold were replaced in " +
                                                      std::to_string(replaced) + " Entries");
    db3().ImportDb3Catalog(path, catalog);
    CatalogContents c;
    ASSERT_TRUE(ReadCatalog(catalog, &c));
    ASSERT_EQ(c.entries.size(), raw->recordCount);

    const std::string csvPath = dir_.File(catalog + ".csv");
    const std::string command = "ogr2ogr --config SHAPE_ENCODING '' -f CSV '" + csvPath + "' '" + path + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto csv = ParseCsv(ReadFileBytes(csvPath));
    ASSERT_FALSE(csv.empty());
    for (size_t i = 0; i < m; ++i) {
      EXPECT_EQ(Trim(c.defs[i].FieldName), ThroughCatalogFile(csv[0][i])) << "field " << i;
      EXPECT_EQ(c.header.FieldLength[i], raw->columns[i].length) << "field " << i;
    }

    // GDAL passes over deleted records; the import keeps them as active
    // entries.
    size_t row = 1;
    for (size_t r = 0; r < raw->rows.size(); ++r) {
      const store::EntryRecord& e = c.entries[r];
      EXPECT_EQ(e.Status, store::StatusActive);
      if (raw->rows[r].deleted) continue;
      ASSERT_LT(row, csv.size()) << "record " << r + 1;
      const auto& values = csv[row++];
      for (size_t i = 0; i < m; ++i) {
        const std::string ours = Trim(e.FieldText[i]);
        std::string theirs = i < values.size() ? values[i] : "";
        if (raw->columns[i].type == 'D') theirs = ImportDatePattern(theirs);
        theirs = ThroughCatalogFile(theirs);
        double a = 0, b = 0;
        if (AsNumber(ours, &a) && AsNumber(theirs, &b)) {
          // GDAL writes a number with the decimals its field declares; the
          // file may hold more.
          const double tolerance = 0.5 * std::pow(10.0, -raw->columns[i].decimals) * (raw->columns[i].decimals > 0) +
                                   1e-9 * std::max(1.0, std::fabs(b));
          EXPECT_NEAR(a, b, tolerance) << "record " << r + 1 << " field " << i;
        } else {
          EXPECT_EQ(ours, theirs) << "record " << r + 1 << " field " << i;
        }
      }
    }
    EXPECT_EQ(row, csv.size());
  }
  EXPECT_EQ(imported, 12);
}

TEST_F(Db3RealFilesTest, AccentedLettersKeepTheirBytes) {
  const std::string path = kDbfData + "/latin1.dbf";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "shared DBF test data not found at " << kDbfData;
  Start();
  host_.AnswerMsgBox(platform::MsgAnswer::OK, "DBASE contains 1 Records");
  db3().ImportDb3Catalog(path, "LATIN");
  CatalogContents c;
  ASSERT_TRUE(ReadCatalog("LATIN", &c));
  ASSERT_EQ(c.entries.size(), 1u);
  EXPECT_EQ(Trim(c.entries[0].FieldText[1]), "\xD1" "and\xFA");
  EXPECT_EQ(c.entries[0].FieldText[1].size(), 100u);
}

}  // namespace
}  // namespace kelvarin::test_support
