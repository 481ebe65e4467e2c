// A program over the scripted host with a catalog of books whose first two
// field slots are unused: Title (key, 20) in slot 2, Author (12) in slot 3,
// Code (key, 6) in slot 5 and Media (12) in slot 20. Tests add entries,
// start the program on the catalog and play the user through View, Search
// and Replace; they read the results back from the files.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "reports/replace/frmSearchReplace.h"
#include "support/catalog_program.h"

namespace kelvarin::test_support {

inline constexpr int kTitle = 2;
inline constexpr int kAuthor = 3;
inline constexpr int kCode = 5;
inline constexpr int kMedia = 20;

class ReplaceTest : public CatalogProgramTest {
 protected:
  ReplaceTest() : CatalogProgramTest("replace", "BOOKS") {
    cat_.Field(kTitle, "Title", 20, store::KindKey).Field(kAuthor, "Author", 12);
    cat_.Field(kCode, "Code", 6, store::KindKey).Field(kMedia, "Media", 12);
  }

  // An entry by its four texts.
  float Book(const std::string& title, const std::string& author, const std::string& code = "",
             const std::string& media = "", float status = store::StatusActive) {
    std::vector<std::string> texts(21);
    texts[kTitle] = title;
    texts[kAuthor] = author;
    texts[kCode] = code;
    texts[kMedia] = media;
    return cat_.Entry(texts, status);
  }

  reports::ReplaceRequest& request() { return program_->searchReplace().request(); }

  // The user's answers to the dialog. field: the list entry chosen (-1
  // leaves the first); start "" leaves the box as it opens.
  void Dialog(const std::string& search, const std::string& replacement, bool global = false,
              int field = -1, const std::string& start = "") {
    host_.OnShowAs<reports::frmSearchReplace>(
        "frmSearchReplace", [=](reports::frmSearchReplace& f) {
          f.txtSearchString.UserSetText(search);
          f.txtReplaceString.UserSetText(replacement);
          if (!start.empty()) f.txtStartRec.UserSetText(start);
          if (global) f.optGlobal.UserClick();
          if (field >= 0) f.cboFields.UserSelect(field);
          f.cmdOK.UserClick();
        });
  }
  void Replace(const std::string& search, const std::string& replacement, bool global = false,
               int field = -1, const std::string& start = "") {
    Dialog(search, replacement, global, field, start);
    main().mnuVReplace.UserClick();
  }
  void ExpectBox(const std::string& text) { host_.AnswerMsgBox(platform::MsgAnswer::OK, text); }

  // Entry n as the data file holds it now.
  store::EntryRecord Stored(float n) {
    store::EntryRecord e;
    EXPECT_TRUE(st().ReadEntry(e, st().CatalogHeader, n, st().DatFile));
    return e;
  }
  std::string Field(float n, int slot) { return Stored(n).FieldText[static_cast<size_t>(slot)]; }
  // The entry the key index of a slot gives for a key; 0 when the index
  // holds no key not below it that begins with it.
  float FoundByKey(int slot, const std::string& key) {
    int16_t h = st().OpenIndex(slot, st().CatalogHeader, st().CatalogName, 0);
    EXPECT_GE(h, 0);
    float n = st().IndexFind(h, key);
    if (n > 0 && store::Store::EntryKey(Stored(n), slot).rfind(key, 0) != 0) n = 0;
    st().IndexClose(h);
    return n;
  }

  // Every (key, entry) pair of a slot's index, in index order.
  std::vector<std::pair<std::string, int32_t>> IndexPairs(int slot) {
    std::vector<std::pair<std::string, int32_t>> out;
    int16_t h = st().OpenIndex(slot, st().CatalogHeader, st().CatalogName, 0);
    platform::KeyEntry e;
    auto& lib = st().indexLibrary();
    for (int rc = lib.GetFirst(h, &e); rc == platform::kKeyOk; rc = lib.GetNext(h, &e)) out.emplace_back(e.key, e.entry);
    st().IndexClose(h);
    return out;
  }
};

}  // namespace kelvarin::test_support
