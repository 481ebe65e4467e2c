// A fresh program's store over a scripted host, in a temporary directory.
#pragma once

#include <gtest/gtest.h>

#include "platform/files/file_pool.h"
#include "platform/scripted/scripted_host.h"
#include "store/store.h"
#include "support/catalog_builder.h"
#include "support/scripted_expect.h"

namespace kelvarin::store {

class StoreTest : public ::testing::Test {
 protected:
  StoreTest() : dir_("store"), store_(host_, pool_) { store_.SetAppDir(dir_.path()); }
  ~StoreTest() override { test_support::ExpectScriptDone(host_); }

  std::string File(const std::string& name) const { return dir_.File(name); }

  test_support::TempDir dir_;
  platform::ScriptedHost host_;
  platform::FilePool pool_;
  Store store_;
};

}  // namespace kelvarin::store
