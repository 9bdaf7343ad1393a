// A test fixture that loads the library against a fresh fake for each test and unloads it after.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "client/WLIntf.h"
#include "tests/fake/fake_services.h"
#include "udf/module.h"

namespace wl::fake {

class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override { Load(); }
  void TearDown() override { Unload(); }

  void Load(std::uint8_t assertionMode = 0) {
    os = std::make_unique<FakeServices>();
    Configure(*os);
    udf::WrenbridgeLoad(*os, assertionMode);
  }
  void Unload() {
    if (GlobalClient != nullptr || ObjectManager != nullptr) udf::WrenbridgeUnload();
  }
  // Runs before the library loads: a test fixture can set the locale or the zone here.
  virtual void Configure(FakeServices&) {}

  TWrenlog& client() { return *GlobalClient; }
  std::vector<Packet> packets() const { return os->Packets(); }

  std::unique_ptr<FakeServices> os;
};

}  // namespace wl::fake
