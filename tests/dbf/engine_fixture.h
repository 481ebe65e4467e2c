// Shared set-up for the engine tests: a fresh engine over a fresh file pool
// and a temporary folder, and small helpers to build and inspect files.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "dbf/dbf_engine.h"
#include "platform/files/file_pool.h"
#include "platform/scripted/scripted_host.h"

namespace kelvarin::dbf::testing {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvdbfXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    engine = std::make_unique<DbfEngine>(host, pool);
  }
  void TearDown() override {
    engine.reset();
    std::filesystem::remove_all(dir);
  }

  std::string Path(const std::string& name) const { return (dir / name).string(); }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  // Field rows as the export builds them: {type, length, decimals, name}.
  struct Def {
    std::string type;
    int length;
    int decimals;
    std::string name;
  };
  static DbfFieldDefs Defs(const std::vector<Def>& fields, size_t rows = 0) {
    DbfFieldDefs defs(std::max(rows, fields.size() + 1));
    defs[0][0] = std::to_string(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
      defs[i + 1][1] = std::to_string(fields[i].decimals);
      defs[i + 1][2] = std::to_string(fields[i].length);
      defs[i + 1][3] = fields[i].type;
      defs[i + 1][4] = fields[i].name;
    }
    return defs;
  }

  // Creates name with the fields and returns the open handle (request 6).
  int16_t Create(const std::string& name, const std::vector<Def>& fields, int16_t request = 6) {
    int16_t handle = 0, err = -1;
    engine->DbfCreate(Path(name), handle, Defs(fields), request, err);
    EXPECT_EQ(err, 0) << "creating " << name;
    return handle;
  }

  int16_t Open(const std::string& path, int16_t request, int16_t& err) {
    int16_t handle = 0, type = 3;
    std::string name = path;
    engine->DbfOpen(handle, err, name, type, request);
    return handle;
  }

  void Close(int16_t handle) {
    int16_t err = -1;
    engine->DbfClose(handle, err, 0);
    EXPECT_EQ(err, 0);
  }

  int32_t Append(int16_t handle, std::vector<std::string> values, int16_t* errOut = nullptr) {
    int16_t err = -1;
    int32_t recNo = 0;
    engine->DbfAppendFields(handle, err, 0, values, recNo);
    if (errOut) *errOut = err;
    else EXPECT_EQ(err, 0);
    return recNo;
  }

  platform::ScriptedHost host;
  platform::FilePool pool;
  std::unique_ptr<DbfEngine> engine;
  std::filesystem::path dir;
};

// The 32-byte header and descriptors of a file, for building odd files.
std::string MakeDbf(uint8_t version, const std::vector<std::tuple<std::string, char, int, int>>& fields,
                    const std::vector<std::string>& records, int extraHeaderBytes = 0,
                    bool endMarker = true);

}  // namespace kelvarin::dbf::testing
