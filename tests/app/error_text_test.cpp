#include "app/error_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

extern "C" {
#include <libavutil/error.h>
}

namespace klemora::app {
namespace {

TEST(DxErrorText, NamesTheCodesOfTheMessages) {
    struct Case {
        uint32_t code;
        const char* name;
    } cases[] = {
        {0, "S_OK"},
        {1, "S_FALSE"},
        {2, "ERROR_FILE_NOT_FOUND"},
        {0x80004005u, "E_FAIL"},
        {0x80004004u, "E_ABORT"},
        {0x80004002u, "E_NOINTERFACE"},
        {0x80040154u, "REGDB_E_CLASSNOTREG"},
        {0x80040110u, "CLASS_E_NOAGGREGATION"},
        {0x80040216u, "VFW_E_NOT_FOUND"},
        {0x12345678u, "Unknown"},
        {0xFFFFFFFFu - 0x100000u, "Unknown"},
    };
    for (const Case& c : cases) EXPECT_STREQ(DxErrorText(c.code), c.name) << std::hex << c.code;
}

TEST(DxErrorText, NamesTheCodesOfTheMediaLayer) {
    EXPECT_STREQ(DxErrorText(AVERROR_EOF), "AVERROR_EOF");
    EXPECT_STREQ(DxErrorText(AVERROR_INVALIDDATA), "AVERROR_INVALIDDATA");
    EXPECT_STREQ(DxErrorText(AVERROR(ENOENT)), "ENOENT");
    EXPECT_STREQ(DxErrorText(AVERROR(ENOMEM)), "ENOMEM");
}

TEST(DxErrorText, TableIsSortedUniqueAndLarge) {
    auto table = dxErrorTable();
    ASSERT_GT(table.size(), 4000u);
    int families = 0;
    for (const char* prefix : {"ERROR_", "VFW_E_", "DDERR_", "D3DERR_", "DSERR_", "DMUS_", "DPNERR_", "RPC_", "WBEM_",
                               "CO_E_", "STG_", "SEC_"}) {
        for (const auto& entry : table) {
            if (std::strncmp(entry.name, prefix, std::strlen(prefix)) == 0) {
                ++families;
                break;
            }
        }
    }
    EXPECT_EQ(families, 12);
    for (size_t i = 1; i < table.size(); ++i) ASSERT_LT(table[i - 1].code, table[i].code) << table[i].name;
    // Every entry is found by the lookup itself, not only the test's samples.
    for (const auto& entry : table) ASSERT_STREQ(DxErrorText(entry.code), entry.name);
}

}  // namespace
}  // namespace klemora::app
