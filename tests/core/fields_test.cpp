#include "data/core/fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace velmoran;

TEST(ListingFields, HundredAndTwoUniqueFieldsOfWhichFortyThreeAreFlags) {
    const TableSpec& tableSpec = listingsTable();
    std::set<std::string> names;
    int flags = 0;
    for (std::size_t i = 0; i < tableSpec.fieldCount; ++i) {
        names.insert(tableSpec.fields[i].name);
        flags += tableSpec.fields[i].kind == FieldKind::Flag;
    }
    EXPECT_EQ(names.size(), 102u);
    EXPECT_EQ(flags, 43);
    EXPECT_EQ(tableSpec.indexOf("KHAB0"), tableSpec.indexOf("khab0"));
    EXPECT_GE(tableSpec.indexOf("tedadehvahedeh02"), 0);
    EXPECT_EQ(tableSpec.indexOf("khab01"), -1);
}
