// The texts the installer stub carries packed are the table's, code for code.
#include "app/packed_system_errors.h"

#include "common/error_tables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(PackedSystemErrors, HoldExactlyTheTablesTexts) {
    std::size_t found = 0;
    for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
        const char* table = FindSystemErrorText(code);
        const char* packed = FindPackedSystemErrorText(code);
        ASSERT_EQ(table == nullptr, packed == nullptr)
            << "code " << code << ": regenerate app/packed_system_errors.inc with build/native/bin/pack-error-texts";
        if (table == nullptr) continue;
        EXPECT_STREQ(packed, table) << code;
        ++found;
    }
    EXPECT_EQ(found, kSystemErrorTextCount);
}

} // namespace
