#pragma once
// What the table tests share: a table subclass that opens up the engine underneath, the
// deleter that ends a table the way a host does, and a fixture that installs a fresh headless
// platform for every test and builds the table on it.

#include <gtest/gtest.h>

#include <memory>

#include "control/control.h"
#include "platform/headless/headless_platform.h"
#include "platform/platform.h"
#include "table/czat_psf1.h"

// A table as tests see it: the engine underneath and the modal flag.
class HeadlessTable : public CZAT_PSF1 {
 public:
  using CZAT_PSF1::CZAT_PSF1;
  engine::Control& Engine() { return Ctl(); }
  bool NoModalUp() const { return m_NoModalUp; }
};

// Destroys a table the way a host does; a table that refuses (a vetoing sink) is unregistered
// and destroyed again.
template <class Table>
struct TableDeleter {
  void operator()(Table* t) const {
    if (t == nullptr) return;
    if (!t->Destroy()) {
      t->UnRegisterNotify(0);
      t->Destroy();
    }
  }
};
template <class Table>
using TablePtrOf = std::unique_ptr<Table, TableDeleter<Table>>;

// A fresh headless platform per test, and a table as a host makes one (no parent, no file,
// frame mode with all file commands); the locale is the platform's en_US default unless
// ConfigurePlatform changes it.
template <class Table>
class HeadlessTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = std::make_shared<platform::HeadlessPlatform>();
    ConfigurePlatform(*platform_);
    platform::Install(platform_);
    table_.reset(new Table(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true));
    ASSERT_EQ(table_->IsValid(), 1);
  }
  void TearDown() override {
    table_.reset();
    platform::Install(nullptr);
  }
  virtual void ConfigurePlatform(platform::HeadlessPlatform&) {}

  Table& T() { return *table_; }
  engine::Control& E() { return table_->Engine(); }
  platform::HeadlessMessageBoxes& Boxes() { return platform_->MessageBoxScript(); }

  std::shared_ptr<platform::HeadlessPlatform> platform_;
  TablePtrOf<Table> table_;
};
