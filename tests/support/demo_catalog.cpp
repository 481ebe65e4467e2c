#include "support/demo_catalog.h"

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <system_error>
#include <vector>

#include "platform/files/file_pool.h"
#include "platform/profile.h"
#include "platform/scripted/scripted_host.h"
#include "platform/text/codepage.h"
#include "store/store.h"
#include "support/catalog_builder.h"

namespace kelvarin::test_support {

using namespace kelvarin::store;

bool MakeDemoAppDir(const std::string& dir) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);

  CatalogBuilder cat(dir, "BOOKS");
  cat.Field(0, "Title", 30, KindKey)
      .Field(1, "Author", 20, KindKey)
      .Field(2, "Year", 4)
      .Field(3, "Price", 8, KindSummed)
      .Field(4, "Copies", 4, KindSummed)
      .Field(5, "Value", 10, KindSummed)
      .Field(6, "Shelf", 6)
      .Field(20, "Media", 40);
  cat.Formula(5, 3, OpTimes, 4);

  struct Book {
    const char* title;
    const char* author;
    const char* year;
    const char* price;
    const char* copies;
    const char* shelf;
    bool deleted;
  };
  const Book books[] = {
      {"The Long Winter", "Ingalls, L.", "1940", "8.95", "2", "A-12", false},
      {"dune", "Herbert, F.", "1965", "12.50", "3", "SF-01", false},
      {"Caf\xE9 Stories", "M\xFCller, K.", "1988", "15.00", "1", "B-03", false},
      {"Brave New World", "Huxley, A.", "1932", "9.99", "4", "SF-02", false},
      {"Atlas of Rivers", "Okafor, N.", "2004", "39.00", "1", "R-07", true},
      {"Moby Dick", "Melville, H.", "1851", "7.25", "2", "C-11", false},
      {"Emma", "Austen, J.", "1815", "6.50", "5", "C-02", false},
      {"Foundation", "Asimov, I.", "1951", "11.00", "2", "SF-03", false},
      {"Garden Birds", "Lind, S.", "1999", "18.75", "1", "N-04", true},
      {"Hamlet", "Shakespeare, W.", "1603", "4.99", "6", "D-01", false},
      {"\xC9tude in Blue", "Dubois, C.", "2011", "22.00", "1", "M-09", false},
      {"Kon-Tiki", "Heyerdahl, T.", "1948", "10.40", "2", "T-05", false},
  };
  // The computed field holds its formula's value, as the program stores it,
  // so that searches find the value the window shows.
  platform::ScriptedHost host;
  platform::FilePool files;
  Store evaluator(host, files);
  evaluator.Formulas = cat.formulas();
  std::vector<std::string> titles;
  for (const Book& b : books) {
    std::vector<std::string> texts{b.title, b.author, b.year, b.price, b.copies, "", b.shelf};
    EntryRecord operands;
    for (size_t i = 0; i < texts.size(); ++i) operands.FieldText[i] = texts[i];
    texts[5] = evaluator.EvalFormula(operands, 5);
    float n = b.deleted ? cat.DeletedEntry(texts) : cat.Entry(texts);
    (void)n;
    titles.push_back(platform::AnsiUpperString(b.title));
  }
  cat.Memo(2, "A desert planet, a spice and a great house.\rFirst of a series.");
  cat.Memo(6, "Signed copy.");
  cat.Memo(9, "Withdrawn: water damage.");

  std::vector<float> order(titles.size());
  std::iota(order.begin(), order.end(), 1.0f);
  std::stable_sort(order.begin(), order.end(), [&](float a, float b) {
    return titles[static_cast<size_t>(a) - 1] < titles[static_cast<size_t>(b) - 1];
  });
  cat.SortChain(order);
  cat.Settings([](CatalogSettings& s) {
    s.ReportName = "BOOKLIST";
    s.ReportSelected = 2;
    s.PageNumbers = 2;
  });
  if (!cat.Write()) return false;

  // BOOKLIST: entry number, title, author and price on one line.
  ReportLayout list{};
  for (auto& c : list) c.LinesPerEntry = 1;
  list[kEntryNumberColumn] = {5, 1, 1, 1};
  list[0] = {30, 1, 7, 1};
  list[1] = {20, 1, 38, 1};
  list[3] = {8, 1, 59, 1};
  if (!WriteReportFormatFile(dir, "BOOKLIST", list, ReportHeader{0})) return false;

  // CARDS: three lines with field names.
  ReportLayout cards{};
  for (auto& c : cards) c.LinesPerEntry = 3;
  cards[0] = {30, 1, 1, 3};
  cards[1] = {20, 2, 1, 3};
  cards[2] = {4, 2, 40, 3};
  cards[5] = {10, 3, 1, 3};
  cards[6] = {6, 3, 40, 3};
  if (!WriteReportFormatFile(dir, "CARDS", cards, ReportHeader{1})) return false;

  const std::string ini = dir + "/QAV.INI";
  return platform::WritePrivateProfileString("Database", "CurrentDB", "BOOKS", ini) &&
         platform::WritePrivateProfileString("Reports", "ReportDest", "0", ini) &&
         platform::WritePrivateProfileString("Search", "SearchMode", "0", ini);
}

}  // namespace kelvarin::test_support
