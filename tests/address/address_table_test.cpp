#include "address/address_table.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace cw::address {
namespace {

constexpr Declaration kDecls[] = {{100, 1100, Form::kRelative},
                                  {200, 1200, Form::kAbsolute},
                                  {300, 1300, Form::kRelative},
                                  {400, 1400, Form::kAbsolute}};
constexpr Numbering kSE = Numbering::kSE;

FindOffset From(const std::map<std::uint64_t, std::uint64_t>& table) {
  return [table](std::uint64_t id) -> std::optional<std::uint64_t> {
    auto it = table.find(id);
    if (it == table.end()) return std::nullopt;
    return it->second;
  };
}

TEST(AddressTable, ResolvesBothForms) {
  AddressTable t;
  t.ResolveAll(kDecls, kSE, From({{100, 0x10}, {200, 0x20}, {300, 0}, {400, 0x40}}), 0x1000,
               0x5000);
  EXPECT_FALSE(t.HasBadQuery());
  EXPECT_EQ(t.AddressOf(0), 0x5010u);  // relative: the executable base at use
  EXPECT_EQ(t.AddressOf(1), 0x1020u);  // absolute: the database's module base
  EXPECT_EQ(t.AddressOf(2), 0x5000u);  // an offset of 0 resolves
  EXPECT_EQ(t.SlotValue(3), 0x1040u);
}

TEST(AddressTable, AMissingIdentifierSetsTheFlagButOthersStillResolve) {
  AddressTable t;
  t.ResolveAll(kDecls, kSE, From({{100, 0x10}, {400, 0x40}}), 0x1000, 0x5000);
  EXPECT_TRUE(t.HasBadQuery());
  EXPECT_EQ(t.SlotValue(0), 0x10u);
  EXPECT_EQ(t.SlotValue(1), 0u);
  EXPECT_EQ(t.SlotValue(2), 0u);
  EXPECT_EQ(t.SlotValue(3), 0x1040u);
  EXPECT_EQ(t.Missing(), (std::vector<std::uint64_t>{200, 300}));
}

TEST(AddressTable, ResolvesTheIdentifiersOfTheNumberingAsked) {
  const auto table = From({{100, 0x10}, {1100, 0x11}, {200, 0x20}, {1200, 0x21}, {1300, 0x31}});
  AddressTable t;
  t.ResolveAll(kDecls, Numbering::kAE, table, 0x1000, 0x5000);
  EXPECT_EQ(t.SlotValue(0), 0x11u);
  EXPECT_EQ(t.SlotValue(1), 0x1021u);
  EXPECT_EQ(t.SlotValue(2), 0x31u);
  EXPECT_EQ(t.Missing(), (std::vector<std::uint64_t>{1400}));
  EXPECT_TRUE(t.HasBadQuery());
}

TEST(AddressTable, WithoutADatabaseNothingResolves) {
  AddressTable t;
  t.ResolveAll(kDecls, kSE, From({}), 0, 0x5000);
  EXPECT_TRUE(t.HasBadQuery());
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(t.SlotValue(i), 0u);
}

TEST(AddressTable, AbsoluteNeedsAModuleBaseAndANonNullSum) {
  AddressTable noBase;
  noBase.ResolveAll(kDecls, kSE, From({{100, 1}, {200, 2}, {300, 3}, {400, 4}}), 0, 0x5000);
  EXPECT_TRUE(noBase.HasBadQuery());
  EXPECT_EQ(noBase.SlotValue(0), 1u);
  EXPECT_EQ(noBase.SlotValue(1), 0u);

  AddressTable wraps;
  wraps.ResolveAll(kDecls, kSE, From({{100, 1}, {200, 0 - 0x1000ull}, {300, 3}, {400, 4}}), 0x1000,
                   0x5000);
  EXPECT_TRUE(wraps.HasBadQuery());
  EXPECT_EQ(wraps.SlotValue(1), 0u);
}

}  // namespace
}  // namespace cw::address
