#include "Setup/base/RegKeys.h"

#include <gtest/gtest.h>

// Each root name opens its own predefined key, and messages name that key by the same name: a
// root read from or written to the wrong hive would pass every text check.
TEST(ParseRootKey, EachNameReachesItsOwnPredefinedKey)
{
    struct {
        const char* Text;
        HKEY Key;
        const char* Name;
    } Cases[] = {
        {"HKLM", HKEY_LOCAL_MACHINE, "HKLM"}, {"hklm", HKEY_LOCAL_MACHINE, "HKLM"},
        {"HKCU", HKEY_CURRENT_USER, "HKCU"},  {"HkCu", HKEY_CURRENT_USER, "HKCU"},
        {"HKCR", HKEY_CLASSES_ROOT, "HKCR"},  {"hkcr", HKEY_CLASSES_ROOT, "HKCR"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Key, ParseRootKey(Case.Text));
        EXPECT_STREQ(Case.Name, RootKeyName(Case.Key));
    }
    EXPECT_STREQ("????", RootKeyName(HKEY_USERS));
}
